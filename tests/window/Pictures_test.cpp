// The picture layer against real GDI, WIC, files and clipboard.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "TestSupport.h"
#include "platform/BmpFormat.h"
#include "platform/BmpWriter_win.h"
#include "platform/Clipboard_win.h"
#include "platform/JpegWriter_win.h"
#include "platform/PictureLoader_win.h"

namespace trovell {
namespace {

using test::Pattern;
using test::Pixels;
using test::TempFolder;

TEST(PictureSurface, WhiteTopDownPixelsSharedWithItsDc) {
    DibSurface s;
    EXPECT_TRUE(s.empty());
    ASSERT_TRUE(s.Resize(37, 23));
    const HDC dc = s.dc();
    EXPECT_EQ(Pixels(s), std::vector<uint32_t>(37 * 23, 0x00FFFFFF));
    ::SetPixel(dc, 5, 0, RGB(0xFF, 0x01, 0x02));
    ::SetPixel(dc, 0, 22, RGB(0x03, 0x04, 0xFF));
    EXPECT_EQ(s.bits()[5], 0x00FF0102u);  // row 0 is the top row, red in the third byte
    EXPECT_EQ(s.bits()[22 * 37], 0x000304FFu);

    ASSERT_TRUE(s.Resize(4, 3));
    EXPECT_EQ(s.dc(), dc);
    EXPECT_EQ(Pixels(s), std::vector<uint32_t>(12, 0x00FFFFFF));
    EXPECT_FALSE(s.Resize(0, 5));
    EXPECT_EQ(s.width(), 4);  // a refused size keeps the picture
    DibSurface moved(std::move(s));
    EXPECT_TRUE(s.empty());
    EXPECT_EQ(moved.dc(), dc);
}

TEST(BmpWriter, SavedFileDecodesToSamePixels_ReplacesOldFile_FailureLeavesNone) {
    TempFolder dir;
    const std::wstring path = dir / L"pattern.bmp";
    test::WriteFileBytes(path, std::string(20000, 'x'));
    // Taller than one written block of rows, with padded rows.
    const DibSurface s = Pattern(37, 9000, 1);
    ASSERT_TRUE(SaveBmp(s, path).ok());
    EXPECT_EQ(test::ReadFileBytes(path).size(), 54u + 9000 * DibStride(37, 24));
    DibSurface back;
    ASSERT_TRUE(LoadPicture(path, back));
    EXPECT_EQ(Pixels(back), Pixels(s));

    const std::wstring missing = dir / L"missing\\a.bmp";
    EXPECT_EQ(SaveBmp(s, missing).code(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(test::PathExists(missing));
}

// Mean and worst channel difference between a JPEG file and what it should show.
void ExpectCloseJpeg(const std::wstring& path, const DibSurface& expected, double meanBound,
                     int worstBound) {
    DibSurface back;
    ASSERT_TRUE(LoadPicture(path, back));
    ASSERT_EQ(back.width(), expected.width());
    ASSERT_EQ(back.height(), expected.height());
    const auto* a = reinterpret_cast<const uint8_t*>(expected.bits());
    const auto* b = reinterpret_cast<const uint8_t*>(back.bits());
    const size_t n = static_cast<size_t>(expected.width()) * expected.height() * 4;
    int worst = 0;
    double sum = 0;
    for (size_t i = 0; i < n; ++i) {
        if (i % 4 == 3) continue;
        const int d = std::abs(a[i] - b[i]);
        worst = std::max(worst, d);
        sum += d;
    }
    // Wine encodes at about quality 76 with 4:2:0 whatever is asked; a one-pixel shift, a
    // channel swap or a white picture gives a mean far above the bounds.
    EXPECT_LT(sum / (n / 4 * 3), meanBound);
    EXPECT_LE(worst, worstBound);
}

DibSurface Gradient(int w, int h) {
    DibSurface s;
    if (!s.Resize(w, h)) return s;
    uint32_t* bits = s.bits();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bits[static_cast<size_t>(y) * w + x] =
                (x * 255 / (w - 1)) << 16 | (y * 255 / (h - 1)) << 8 | (128 + (x - y) / 2);
    return s;
}

TEST(JpegWriter, DibSectionAndWindowDcSourcesComeBackCloseToTheSource) {
    TempFolder dir;
    const int w = 101, h = 67;  // not whole 8x8 / 16x16 blocks: edge blocks are exercised
    const DibSurface s = Gradient(w, h);
    const std::wstring path = dir / L"gradient.jpg";
    ASSERT_EQ(DCSavetoJPEG(s.dc(), w, h, path.c_str(), 100, 0), kJpegOk);
    ExpectCloseJpeg(path, s, 2.0, 24);

    // A bottom-up DIB section is read in place too; its top row is last in memory.
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    UniqueBitmap upside(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueDc dc(::CreateCompatibleDC(nullptr));
    ASSERT_TRUE(upside && dc);
    SelectGuard select(dc.get(), upside.get());
    ::BitBlt(dc.get(), 0, 0, w, h, s.dc(), 0, 0, SRCCOPY);
    ASSERT_EQ(DCSavetoJPEG(dc.get(), w, h, path.c_str(), 100, 0), kJpegOk);
    ExpectCloseJpeg(path, s, 2.0, 24);
}

TEST(JpegWriter, FailuresGiveTheirCodesAndLeaveNoFile) {
    TempFolder dir;
    const DibSurface s = Pattern(8, 8);
    const std::wstring missing = dir / L"missing\\a.jpg";
    ::SetLastError(0);
    EXPECT_EQ(DCSavetoJPEG(s.dc(), 8, 8, missing.c_str(), 100, 0), kJpegCannotOpen);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));  // the system's why
    EXPECT_FALSE(test::PathExists(missing));

    const std::wstring path = dir / L"a.jpg";
    EXPECT_EQ(DCSavetoJPEG(s.dc(), 0, 8, path.c_str(), 100, 0), kJpegFormatError);
    EXPECT_EQ(DCSavetoJPEG(s.dc(), 8, -1, path.c_str(), 100, 0), kJpegFormatError);
    UniqueDc bare(::CreateCompatibleDC(nullptr));  // only the 1x1 placeholder selected
    EXPECT_EQ(DCSavetoJPEG(bare.get(), 8, 8, path.c_str(), 100, 0), kJpegNoBitmap);
    EXPECT_EQ(DCSavetoJPEG(nullptr, 8, 8, path.c_str(), 100, 0), kJpegNoBitmap);
    EXPECT_FALSE(test::PathExists(path));
}

TEST(PictureLoader, FileOrBytes_TransparencyOverWhite_UnreadableKeepsTarget) {
    TempFolder dir;
    // BGRA: opaque red, fully transparent black, half-transparent black.
    const uint32_t source[] = {0xFFFF0000, 0x00000000, 0x80000000};
    const std::string png = test::EncodePng(source, 3, 1);
    ASSERT_FALSE(png.empty());
    test::WriteFileBytes(dir / L"alpha.png", png);
    DibSurface fromFile, fromBytes;
    ASSERT_TRUE(LoadPicture(dir / L"alpha.png", fromFile));
    ASSERT_TRUE(LoadPictureFromMemory(reinterpret_cast<const uint8_t*>(png.data()), png.size(),
                                      fromBytes));
    for (const DibSurface* target : {&fromFile, &fromBytes}) {
        ASSERT_EQ(Pixels(*target).size(), 3u);
        EXPECT_EQ(target->bits()[0], 0x00FF0000u);
        EXPECT_EQ(target->bits()[1], 0x00FFFFFFu);
        EXPECT_NEAR(static_cast<int>(target->bits()[2] & 0xFF), 0x7F, 1);
    }

    test::WriteFileBytes(dir / L"text.png", "plain text");
    DibSurface kept = Pattern(2, 2, 5);
    EXPECT_FALSE(LoadPicture(dir / L"text.png", kept));
    EXPECT_FALSE(LoadPicture(dir / L"nothing.bmp", kept));
    EXPECT_FALSE(LoadPictureFromMemory(reinterpret_cast<const uint8_t*>("text"), 4, kept));
    EXPECT_EQ(Pixels(kept), Pixels(Pattern(2, 2, 5)));
}

// A packed DIB: header (a V5 one cut to headerSize), `table` (masks or colours), bits.
std::string Dib(DWORD headerSize, int width, int height, WORD bitCount, DWORD compression,
                const std::vector<uint32_t>& table, const std::vector<uint8_t>& bits) {
    BITMAPV5HEADER header{};
    header.bV5Size = headerSize;
    header.bV5Width = width;
    header.bV5Height = height;
    header.bV5Planes = 1;
    header.bV5BitCount = bitCount;
    header.bV5Compression = compression;
    header.bV5ClrUsed = bitCount <= 8 ? static_cast<DWORD>(table.size()) : 0;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    std::string out(headerSize + table.size() * 4, '\0');
    std::memcpy(out.data(), &header, headerSize);
    std::memcpy(out.data() + headerSize, table.data(), table.size() * 4);
    out.append(bits.begin(), bits.end());
    return out;
}

std::vector<uint32_t> ReadClipboard() {
    DibSurface target;
    const Status read = ReadClipboardPicture(target);
    EXPECT_TRUE(read.ok()) << read.code();
    return Pixels(target);
}

TEST(Clipboard, EveryDibLayoutGdiDrawsIsReadExactly) {
    // 24 bpp bottom-up, 37 wide: rows padded with bytes that must not show.
    const int w = 37, h = 23;
    const size_t stride = DibStride(w, 24);
    std::vector<uint8_t> bits(stride * h, 0xEE);
    const DibSurface expected = Pattern(w, h, 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            std::memcpy(&bits[(h - 1 - y) * stride + x * 3], &expected.bits()[y * w + x], 3);
    test::PutOnClipboard(CF_DIB, Dib(40, w, h, 24, BI_RGB, {}, bits));
    EXPECT_TRUE(ClipboardHasPicture());
    EXPECT_EQ(ReadClipboard(), Pixels(expected));

    // 3x2, 32 bpp, top-down, alpha bytes set: the picture keeps colours only. Masks after a
    // 40-byte header, then inside a V5 one: a wrong offset shifts the pixels.
    const std::vector<uint32_t> colours = {0x80102030, 0xFF405060, 0x00708090,
                                           0x12A0B0C0, 0x34D0E0F0, 0x56010203};
    std::vector<uint8_t> bits32(colours.size() * 4);
    std::memcpy(bits32.data(), colours.data(), bits32.size());
    std::vector<uint32_t> opaque;
    for (uint32_t c : colours) opaque.push_back(c & 0x00FFFFFF);
    const std::vector<uint32_t> masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    for (const std::string& dib :
         {Dib(40, 3, -2, 32, BI_BITFIELDS, masks, bits32),
          Dib(sizeof(BITMAPV5HEADER), 3, -2, 32, BI_BITFIELDS, {}, bits32),
          Dib(40, 3, -2, 32, BI_RGB, {}, bits32)}) {
        test::PutOnClipboard(CF_DIB, dib);
        EXPECT_EQ(ReadClipboard(), opaque);
    }

    // 8 bpp with a four-entry colour table, bottom-up, rows of 5 pixels padded to 8 bytes.
    const uint32_t red = 0xFF0000, green = 0xFF00, blue = 0xFF, other = 0x123456;
    test::PutOnClipboard(CF_DIB, Dib(40, 5, 2, 8, BI_RGB, {red, green, blue, other},
                                     {0, 1, 2, 3, 0, 9, 9, 9, 3, 3, 2, 1, 1, 9, 9, 9}));
    EXPECT_EQ(ReadClipboard(), (std::vector<uint32_t>{other, other, blue, green, green,  //
                                                      red, green, blue, other, red}));
}

TEST(Clipboard, PngOnlyIsRead_TextOnlyIsNoPictureAndKeepsTarget) {
    const DibSurface picture = Pattern(9, 4, 7);
    std::vector<uint32_t> bgra;
    for (uint32_t c : Pixels(picture)) bgra.push_back(c | 0xFF000000);
    test::PutOnClipboard(::RegisterClipboardFormatW(L"PNG"), test::EncodePng(bgra.data(), 9, 4));
    EXPECT_TRUE(ClipboardHasPicture());
    EXPECT_EQ(ReadClipboard(), Pixels(picture));

    test::PutOnClipboard(CF_TEXT, std::string("text", 5));
    EXPECT_FALSE(ClipboardHasPicture());
    DibSurface target = Pattern(2, 2);
    EXPECT_EQ(ReadClipboardPicture(target).code(), kErrorNoClipboardPicture);
    EXPECT_EQ(target.width(), 2);
}

// Another program that has just put a bitmap on the clipboard keeps it open for `ms` while
// serving its messages. Under Wine both matter: a second OpenClipboard(nullptr) gets through
// while another thread holds the clipboard without a window, and every OpenClipboard sends
// a message to the clipboard owner, waiting up to 5 s for an owner that does not pump.
std::thread HoldClipboard(DWORD ms, HANDLE opened) {
    return std::thread([ms, opened] {
        HWND window =
            ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        const BOOL ok = ::OpenClipboard(window);
        ::EmptyClipboard();
        ::SetClipboardData(CF_BITMAP, ::CreateBitmap(4, 4, 1, 32, nullptr));
        ::SetEvent(opened);
        for (const DWORD end = ::GetTickCount() + ms;
             static_cast<LONG>(end - ::GetTickCount()) > 0;) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, end - ::GetTickCount(), QS_ALLINPUT);
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        }
        if (ok) ::CloseClipboard();
        ::DestroyWindow(window);
    });
}

TEST(Clipboard, HeldElsewhereBeyondTheRetriesFails_ABriefHoldIsWaitedOut) {
    HANDLE opened = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    DibSurface target;
    std::thread longHold = HoldClipboard(1500, opened);
    ::WaitForSingleObject(opened, INFINITE);
    EXPECT_FALSE(ReadClipboardPicture(target).ok());
    EXPECT_TRUE(target.empty());
    longHold.join();

    std::thread shortHold = HoldClipboard(100, opened);
    ::WaitForSingleObject(opened, INFINITE);
    EXPECT_TRUE(ReadClipboardPicture(target).ok());
    EXPECT_EQ(target.width(), 4);
    shortHold.join();
    ::CloseHandle(opened);
}

}  // namespace
}  // namespace trovell
