// The picture layer against real GDI, WIC, files and clipboard.
#include <windows.h>

#include <gtest/gtest.h>

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

// How close a JPEG comes is checked by the large store and end to end; here the writers'
// failures.
TEST(Writers, BmpDecodesToTheSamePixelsOverAnOldFile_FailuresGiveTheirCodesAndLeaveNoFile) {
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

    const std::wstring missing = dir / L"missing\\a", jpeg = dir / L"a.jpg";
    EXPECT_EQ(SaveBmp(s, missing).code(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    ::SetLastError(0);
    EXPECT_EQ(DCSavetoJPEG(s.dc(), 8, 8, missing.c_str(), 100, 0), kJpegCannotOpen);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));  // the system's why
    EXPECT_EQ(DCSavetoJPEG(s.dc(), 0, 8, jpeg.c_str(), 100, 0), kJpegFormatError);
    EXPECT_EQ(DCSavetoJPEG(s.dc(), 8, -1, jpeg.c_str(), 100, 0), kJpegFormatError);
    UniqueDc bare(::CreateCompatibleDC(nullptr));  // only the 1x1 placeholder selected
    EXPECT_EQ(DCSavetoJPEG(bare.get(), 8, 8, jpeg.c_str(), 100, 0), kJpegNoBitmap);
    EXPECT_EQ(DCSavetoJPEG(nullptr, 8, 8, jpeg.c_str(), 100, 0), kJpegNoBitmap);
    EXPECT_EQ(test::ListFolder(dir.path()), std::vector<std::wstring>{L"pattern.bmp"});
}

// A 3 x 1 PNG of BGRA pixels: opaque red, fully transparent black, half-transparent black.
const std::string kAlphaPng(
    "\x89\x50\x4E\x47\x0D\x0A\x1A\x0A\x00\x00\x00\x0D\x49\x48\x44\x52\x00\x00\x00\x03\x00\x00"
    "\x00\x01\x08\x06\x00\x00\x00\x1B\xE0\x14\xB4\x00\x00\x00\x10\x49\x44\x41\x54\x78\xDA\x63"
    "\xF8\xCF\xC0\x00\x44\x60\xD0\x00\x00\x15\x78\x02\x7F\x05\x12\x45\x29\x00\x00\x00\x00\x49"
    "\x45\x4E\x44\xAE\x42\x60\x82",
    73);

// A PNG on the clipboard, as browsers offer it, is decoded by the same code from memory and
// stored end to end.
TEST(PictureLoader, PngTransparencyOverWhite_UnreadableKeepsTarget) {
    TempFolder dir;
    test::WriteFileBytes(dir / L"alpha.png", kAlphaPng);
    DibSurface png;
    ASSERT_TRUE(LoadPicture(dir / L"alpha.png", png));
    ASSERT_EQ(Pixels(png).size(), 3u);
    EXPECT_EQ(png.bits()[0], 0x00FF0000u);
    EXPECT_EQ(png.bits()[1], 0x00FFFFFFu);
    EXPECT_NEAR(static_cast<int>(png.bits()[2] & 0xFF), 0x7F, 1);

    test::WriteFileBytes(dir / L"text.png", "plain text");
    test::PutOnClipboard(CF_TEXT, std::string("text", 5));
    EXPECT_FALSE(ClipboardHasPicture());
    DibSurface kept = Pattern(2, 2, 5);
    EXPECT_FALSE(LoadPicture(dir / L"text.png", kept));
    EXPECT_FALSE(LoadPicture(dir / L"nothing.bmp", kept));
    EXPECT_FALSE(LoadPictureFromMemory(reinterpret_cast<const uint8_t*>("text"), 4, kept));
    EXPECT_EQ(ReadClipboardPicture(kept).code(), kErrorNoClipboardPicture);
    EXPECT_EQ(Pixels(kept), Pixels(Pattern(2, 2, 5)));
}

using test::Dib;

std::vector<uint32_t> ReadClipboard() {
    DibSurface target;
    const Status read = ReadClipboardPicture(target);
    EXPECT_TRUE(read.ok()) << read.code();
    return Pixels(target);
}

// A 24 bpp bottom-up DIB with padded rows comes from X programs and is read end to end.
TEST(Clipboard, EveryDibLayoutGdiDrawsIsReadExactly) {
    // 3x2, 32 bpp, top-down, alpha bytes set: the picture keeps colours only. Masks after a
    // 40-byte header, then inside a V5 one: a wrong offset shifts the pixels.
    const std::vector<uint32_t> colours = {0x80102030, 0xFF405060, 0x00708090,
                                           0x12A0B0C0, 0x34D0E0F0, 0x56010203};
    std::vector<uint8_t> bits32(colours.size() * 4);
    std::memcpy(bits32.data(), colours.data(), bits32.size());
    std::vector<uint32_t> opaque;
    for (uint32_t c : colours) opaque.push_back(c & 0x00FFFFFF);
    const std::vector<uint32_t> masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    for (const std::string& dib : {Dib(40, 3, -2, 32, BI_BITFIELDS, masks, bits32),
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
        test::PumpUntil([] { return false; }, ms);  // held, the messages served
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
