// The picture layer against real GDI, WIC, files and clipboard.
#include <windows.h>

#include <wincodec.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/BmpFormat.h"
#include "platform/BmpWriter_win.h"
#include "platform/Clipboard_win.h"
#include "platform/Dib_win.h"
#include "platform/JpegWriter_win.h"
#include "platform/PictureLoader_win.h"

namespace trovell {
namespace {

class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH];
        ::GetTempPathW(MAX_PATH, base);
        path_ = base + (L"trovell-pictures-" + std::to_wstring(::GetCurrentProcessId()) + L"\\");
        ::CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder() {
        WIN32_FIND_DATAW found;
        HANDLE find = ::FindFirstFileW((path_ + L"*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do ::DeleteFileW((path_ + found.cFileName).c_str());
            while (::FindNextFileW(find, &found));
            ::FindClose(find);
        }
        ::RemoveDirectoryW(path_.c_str());
    }
    std::wstring operator/(const wchar_t* name) const { return path_ + name; }

private:
    std::wstring path_;
};

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteText(const std::wstring& path, const char* text) {
    FILE* f = _wfopen(path.c_str(), L"wb");
    fputs(text, f);
    fclose(f);
}

std::vector<uint32_t> Pixels(const DibSurface& s) {
    return {s.bits(), s.bits() + static_cast<size_t>(s.width()) * s.height()};
}

// Distinct colours in every channel: an odd multiplier is a bijection modulo 2^24.
uint32_t Distinct(size_t i) {
    return static_cast<uint32_t>(i * 2654435761u) & 0x00FFFFFF;
}

void FillDistinct(DibSurface& s) {
    for (size_t i = 0; i < static_cast<size_t>(s.width()) * s.height(); ++i)
        s.bits()[i] = Distinct(i);
}

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
    s.bits()[37 + 2] = 0x00123456;
    EXPECT_EQ(::GetPixel(dc, 2, 1), RGB(0x12, 0x34, 0x56));

    ASSERT_TRUE(s.Resize(4, 3));
    EXPECT_EQ(s.dc(), dc);
    EXPECT_EQ(Pixels(s), std::vector<uint32_t>(12, 0x00FFFFFF));
    EXPECT_FALSE(s.Resize(0, 5));
    EXPECT_EQ(s.width(), 4);  // a refused size keeps the picture
    DibSurface moved(std::move(s));
    EXPECT_TRUE(s.empty());
    EXPECT_EQ(moved.dc(), dc);
}

TEST(BmpWriter, SavedFileDecodesThroughWicToSamePixelsAndReplacesOldFile) {
    TempFolder dir;
    const std::wstring path = dir / L"pattern.bmp";
    WriteText(path, std::string(20000, 'x').c_str());
    DibSurface s;
    ASSERT_TRUE(s.Resize(37, 23));
    FillDistinct(s);
    const Status saved = SaveBmp(s, path);
    ASSERT_TRUE(saved.ok()) << saved.code();

    WIN32_FILE_ATTRIBUTE_DATA info{};
    ASSERT_TRUE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info));
    EXPECT_EQ(info.nFileSizeLow, 54u + 23 * DibStride(37, 24));
    DibSurface back;
    ASSERT_TRUE(LoadPicture(path, back));
    EXPECT_EQ(back.width(), 37);
    EXPECT_EQ(back.height(), 23);
    EXPECT_EQ(Pixels(back), Pixels(s));

    const std::wstring missing = dir / L"missing\\a.bmp";
    EXPECT_EQ(SaveBmp(s, missing).code(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(Exists(missing));
}

TEST(JpegWriter, GradientWrittenAndReadBackCloseToSource) {
    TempFolder dir;
    const std::wstring path = dir / L"gradient.jpg";
    const int w = 101, h = 67;  // not whole 8x8 / 16x16 blocks: edge blocks are exercised
    DibSurface s;
    ASSERT_TRUE(s.Resize(w, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.bits()[y * w + x] =
                (x * 255 / (w - 1)) << 16 | (y * 255 / (h - 1)) << 8 | (128 + (x - y) / 2);
    ASSERT_EQ(DCSavetoJPEG(s.dc(), w, h, path.c_str(), 100, 0), kJpegOk);

    DibSurface back;
    ASSERT_TRUE(LoadPicture(path, back));
    ASSERT_EQ(back.width(), w);
    ASSERT_EQ(back.height(), h);
    int worst = 0;
    double sum = 0;
    for (int i = 0; i < w * h * 4; ++i) {
        if (i % 4 == 3) continue;
        const int d = std::abs(reinterpret_cast<const uint8_t*>(s.bits())[i] -
                               reinterpret_cast<const uint8_t*>(back.bits())[i]);
        worst = std::max(worst, d);
        sum += d;
    }
    const double mean = sum / (w * h * 3);
    std::printf("JPEG round trip %dx%d: max channel error %d, mean %.3f\n", w, h, worst, mean);
    // Wine encodes at about quality 76 with 4:2:0 whatever is asked; a one-pixel shift or a
    // channel swap gives a mean far above this.
    EXPECT_LT(mean, 2.0);
    EXPECT_LE(worst, 24);
}

TEST(JpegWriter, FailuresGiveTheirCodesAndLeaveNoFile) {
    TempFolder dir;
    DibSurface s;
    ASSERT_TRUE(s.Resize(8, 8));
    const std::wstring missing = dir / L"missing\\a.jpg";
    EXPECT_EQ(DCSavetoJPEG(s.dc(), 8, 8, missing.c_str(), 100, 0), kJpegCannotOpen);
    EXPECT_FALSE(Exists(missing));

    const std::wstring path = dir / L"a.jpg";
    EXPECT_EQ(DCSavetoJPEG(s.dc(), 0, 8, path.c_str(), 100, 0), kJpegFormatError);
    EXPECT_EQ(DCSavetoJPEG(s.dc(), 8, -1, path.c_str(), 100, 0), kJpegFormatError);
    HDC bare = ::CreateCompatibleDC(nullptr);  // only the 1x1 placeholder selected
    EXPECT_EQ(DCSavetoJPEG(bare, 8, 8, path.c_str(), 100, 0), kJpegNoBitmap);
    ::DeleteDC(bare);
    EXPECT_EQ(DCSavetoJPEG(nullptr, 8, 8, path.c_str(), 100, 0), kJpegNoBitmap);
    EXPECT_FALSE(Exists(path));
    // Wider than JPEG allows (65535): the encoder refuses after the file was created.
    const int16_t tooWide = DCSavetoJPEG(s.dc(), 70000, 1, path.c_str(), 100, 0);
    EXPECT_TRUE(tooWide == kJpegFormatError || tooWide == kJpegCannotWrite) << tooWide;
    EXPECT_FALSE(Exists(path));
}

TEST(PictureLoader, TransparencyLaidOverWhite_UnreadableFileKeepsTarget) {
    TempFolder dir;
    const std::wstring path = dir / L"alpha.png";
    // BGRA: opaque red, fully transparent black, half-transparent black.
    uint32_t source[] = {0xFFFF0000, 0x00000000, 0x80000000};
    {
        ComPtr<IWICImagingFactory> wic;
        ComPtr<IWICStream> stream;
        ComPtr<IWICBitmapEncoder> png;
        ComPtr<IWICBitmapFrameEncode> frame;
        WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
        ASSERT_TRUE(
            SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IWICImagingFactory, wic.put_void())) &&
            SUCCEEDED(wic->CreateStream(stream.put())) &&
            SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
            SUCCEEDED(wic->CreateEncoder(GUID_ContainerFormatPng, nullptr, png.put())) &&
            SUCCEEDED(png->Initialize(stream.get(), WICBitmapEncoderNoCache)) &&
            SUCCEEDED(png->CreateNewFrame(frame.put(), nullptr)) &&
            SUCCEEDED(frame->Initialize(nullptr)) && SUCCEEDED(frame->SetSize(3, 1)) &&
            SUCCEEDED(frame->SetPixelFormat(&format)) && format == GUID_WICPixelFormat32bppBGRA &&
            SUCCEEDED(frame->WritePixels(1, 12, 12, reinterpret_cast<BYTE*>(source))) &&
            SUCCEEDED(frame->Commit()) && SUCCEEDED(png->Commit()));
    }
    DibSurface target;
    ASSERT_TRUE(LoadPicture(path, target));
    ASSERT_EQ(Pixels(target).size(), 3u);
    EXPECT_EQ(target.bits()[0], 0x00FF0000u);
    EXPECT_EQ(target.bits()[1], 0x00FFFFFFu);
    EXPECT_NEAR(static_cast<int>(target.bits()[2] & 0xFF), 0x7F, 1);

    WriteText(dir / L"text.png", "plain text");
    FillDistinct(target);
    EXPECT_FALSE(LoadPicture(dir / L"text.png", target));
    EXPECT_FALSE(LoadPicture(dir / L"nothing.bmp", target));
    EXPECT_EQ(target.bits()[1], Distinct(1));
}

// The clipboard tests own a hidden window: SetClipboardData is documented to fail without.
class Clipboard : public testing::Test {
protected:
    void SetUp() override {
        owner_ =
            ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override { ::DestroyWindow(owner_); }

    void Put(UINT format, const std::vector<uint8_t>& bytes) {
        HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        std::memcpy(::GlobalLock(h), bytes.data(), bytes.size());
        ::GlobalUnlock(h);
        ASSERT_TRUE(::OpenClipboard(owner_));
        ::EmptyClipboard();
        EXPECT_NE(::SetClipboardData(format, h), nullptr);
        ::CloseClipboard();
    }

    // A packed DIB: header (a V5 one cut to headerSize), `table` (masks or colours), bits.
    static std::vector<uint8_t> Dib(DWORD headerSize, int width, int height, WORD bitCount,
                                    DWORD compression, const std::vector<uint32_t>& table,
                                    const std::vector<uint8_t>& bits) {
        BITMAPV5HEADER header{headerSize, width, height, 1, bitCount, compression};
        header.bV5ClrUsed = bitCount <= 8 ? static_cast<DWORD>(table.size()) : 0;
        header.bV5RedMask = 0x00FF0000;
        header.bV5GreenMask = 0x0000FF00;
        header.bV5BlueMask = 0x000000FF;
        std::vector<uint8_t> out(headerSize + table.size() * 4);
        std::memcpy(out.data(), &header, headerSize);
        std::memcpy(out.data() + headerSize, table.data(), table.size() * 4);
        out.insert(out.end(), bits.begin(), bits.end());
        return out;
    }

    std::vector<uint32_t> Read() {
        DibSurface target;
        const Status read = ReadClipboardPicture(target);
        EXPECT_TRUE(read.ok()) << read.code();
        return Pixels(target);
    }

    HWND owner_ = nullptr;
};

TEST_F(Clipboard, TwentyFourBitBottomUpDibReadExactly) {
    const int w = 37, h = 23;
    const size_t stride = DibStride(w, 24);
    std::vector<uint8_t> bits(stride * h, 0xEE);  // padding bytes must not show
    std::vector<uint32_t> expected(w * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            expected[y * w + x] = Distinct(y * w + x);
            std::memcpy(&bits[(h - 1 - y) * stride + x * 3], &expected[y * w + x], 3);
        }
    Put(CF_DIB, Dib(40, w, h, 24, BI_RGB, {}, bits));
    EXPECT_TRUE(ClipboardHasPicture());
    DibSurface target;
    const Status read = ReadClipboardPicture(target);
    ASSERT_TRUE(read.ok()) << read.code();
    EXPECT_EQ(target.width(), w);
    EXPECT_EQ(target.height(), h);
    EXPECT_EQ(Pixels(target), expected);
}

TEST_F(Clipboard, TopDownBitfieldsAndPaletteDibsReadExactly) {
    // 3x2, 32 bpp, top-down, alpha bytes set: the picture keeps colours only.
    const std::vector<uint32_t> colours = {0x80102030, 0xFF405060, 0x00708090,
                                           0x12A0B0C0, 0x34D0E0F0, 0x56010203};
    std::vector<uint8_t> bits(colours.size() * 4);
    std::memcpy(bits.data(), colours.data(), bits.size());
    std::vector<uint32_t> expected;
    for (uint32_t c : colours) expected.push_back(c & 0x00FFFFFF);
    // Masks after a 40-byte header, then inside a V5 one: a wrong offset shifts the pixels.
    Put(CF_DIB, Dib(40, 3, -2, 32, BI_BITFIELDS, {0x00FF0000, 0x0000FF00, 0x000000FF}, bits));
    EXPECT_EQ(Read(), expected);
    Put(CF_DIB, Dib(sizeof(BITMAPV5HEADER), 3, -2, 32, BI_BITFIELDS, {}, bits));
    EXPECT_EQ(Read(), expected);
    Put(CF_DIB, Dib(40, 3, -2, 32, BI_RGB, {}, bits));
    EXPECT_EQ(Read(), expected);

    // 8 bpp with a four-entry colour table, bottom-up, rows of 5 pixels padded to 8 bytes.
    const uint32_t red = 0xFF0000, green = 0xFF00, blue = 0xFF, other = 0x123456;
    Put(CF_DIB, Dib(40, 5, 2, 8, BI_RGB, {red, green, blue, other},
                    {0, 1, 2, 3, 0, 9, 9, 9, 3, 3, 2, 1, 1, 9, 9, 9}));
    EXPECT_EQ(Read(), (std::vector<uint32_t>{other, other, blue, green, green,  //
                                             red, green, blue, other, red}));
}

TEST_F(Clipboard, TextOnlyGivesNoBitmapAndKeepsTarget) {
    Put(CF_TEXT, {'t', 'e', 'x', 't', 0});
    EXPECT_FALSE(ClipboardHasPicture());
    DibSurface target;
    ASSERT_TRUE(target.Resize(2, 2));
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

TEST_F(Clipboard, HeldElsewhereBeyondRetryIsBusy_BriefHoldIsWaitedOut) {
    HANDLE opened = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    DibSurface target;
    std::thread longHold = HoldClipboard(700, opened);
    ::WaitForSingleObject(opened, INFINITE);
    const DWORD start = ::GetTickCount();
    const Status busy = ReadClipboardPicture(target);
    const DWORD waited = ::GetTickCount() - start;
    EXPECT_FALSE(busy.ok());
    EXPECT_NE(busy.code(), kErrorNoClipboardPicture);
    EXPECT_TRUE(target.empty());
    EXPECT_GE(waited, 200u);  // it did retry, for about a quarter of a second
    EXPECT_LT(waited, 600u);
    longHold.join();

    std::thread shortHold = HoldClipboard(100, opened);
    ::WaitForSingleObject(opened, INFINITE);
    EXPECT_TRUE(ReadClipboardPicture(target).ok());
    EXPECT_EQ(target.width(), 4);
    shortHold.join();
    ::CloseHandle(opened);
}

TEST_F(Clipboard, WrittenBitmapReadsBackExactly) {
    DibSurface picture;
    ASSERT_TRUE(picture.Resize(37, 23));
    FillDistinct(picture);
    const Status written = WriteClipboardBitmap(picture, owner_);
    ASSERT_TRUE(written.ok()) << written.code();
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_BITMAP));
    EXPECT_EQ(Read(), Pixels(picture));
}

}  // namespace
}  // namespace trovell
