// Storing the clipboard picture through the tray's left click, checked on disk.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "platform/Clipboard_win.h"
#include "platform/Dib_win.h"
#include "platform/FileOps_win.h"
#include "platform/JpegWriter_win.h"
#include "platform/PictureLoader_win.h"
#include "shell/JpegErrors.h"
#include "shell/StoreNames.h"
#include "shell/frmMain_win.h"

using namespace trovell;
using trovell::test::TempFolder;

namespace {
constexpr LocalTime kLastSecond{2002, 12, 31, 23, 59, 59};

DibSurface Pattern(int width, int height, uint32_t seed) {
    DibSurface s;
    s.Resize(width, height);
    for (int i = 0; i < width * height; ++i)
        s.bits()[i] = static_cast<uint32_t>((i + seed) * 2654435761u) & 0x00FFFFFF;
    return s;
}

std::vector<uint32_t> Pixels(const DibSurface& s) {
    return {s.bits(), s.bits() + static_cast<size_t>(s.width()) * s.height()};
}

void PutOnClipboard(const DibSurface& picture) {
    const Status written = WriteClipboardBitmap(picture);
    ASSERT_TRUE(written.ok()) << written.code();
}

void PutTextOnClipboard(const std::wstring& text) {
    ClipboardGuard clipboard;
    ASSERT_TRUE(clipboard);
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(::GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_UNICODETEXT, memory);
}

// A resident window set to store the clipboard on a left click, at a clock the test sets.
struct Fixture {
    TempFolder app;
    std::vector<LocalTime> times{kLastSecond};
    size_t clockReads = 0;
    std::unique_ptr<frmMain> window;

    explicit Fixture(JpegWriter jpeg = {}, const std::string& settings = "") {
        if (!settings.empty())
            test::WriteFileBytes(app / L"trovell.ini", test::IniSection(settings));
        frmMain::Options o;
        o.appFolder = app.path();
        o.exePath = app / L"trovell.exe";
        o.quitWithWindow = false;
        o.clock = [this] {
            LocalTime t = times[clockReads < times.size() ? clockReads : times.size() - 1];
            ++clockReads;
            return t;
        };
        o.jpegWriter = std::move(jpeg);
        window = std::make_unique<frmMain>(std::move(o));
        EXPECT_EQ(window->Form_Load(), frmMain::LoadResult::Started);
        ::SendMessageW(window->hwnd(), WM_COMMAND, frmMain::kMnuClip, 0);
    }
    std::wstring Root() const { return window->StoreRoot(); }
    void LeftClick() { ::SendMessageW(window->hwnd(), 0x200, 0, 0x202); }
    void UseJpeg() { ::SendMessageW(window->hwnd(), WM_COMMAND, frmMain::kMnuJpg, 0); }
    std::wstring Balloon() const { return window->TrayRecord().szInfo; }
    std::wstring BalloonTitle() const { return window->TrayRecord().szInfoTitle; }
};

const std::wstring kFailed = L"画像を保存できませんでした。\n";
}  // namespace

TEST(SaveClipboard, TextOnlyClipboardStoresNothingAndMakesNoFolder) {
    Fixture f;
    PutTextOnClipboard(L"ただの文字");
    f.LeftClick();
    EXPECT_TRUE(test::ListFolder(f.Root()).empty());
    EXPECT_EQ(f.Balloon(), L"");
}

TEST(SaveClipboard, BitmapBecomesABmpWithExactlyItsPixelsInANewDayFolder) {
    Fixture f;
    DibSurface source = Pattern(37, 23, 1);
    PutOnClipboard(source);
    ASSERT_FALSE(FolderExists(f.Root() + L"021231"));
    f.LeftClick();

    EXPECT_EQ(test::ListFolder(f.Root()), std::vector<std::wstring>{L"021231"});
    ASSERT_EQ(test::ListFolder(f.Root() + L"021231\\"),
              std::vector<std::wstring>{L"021231235959.bmp"});
    DibSurface stored;
    ASSERT_TRUE(LoadPicture(f.Root() + L"021231\\021231235959.bmp", stored));
    EXPECT_EQ(stored.width(), 37);
    EXPECT_EQ(stored.height(), 23);
    EXPECT_EQ(Pixels(stored), Pixels(source));
    EXPECT_EQ(f.Balloon(), L"");
}

TEST(SaveClipboard, JpegIsAskedForAtQuality100AndTheHoldersSize) {
    struct Call {
        int width, height;
        uint8_t quality;
        int32_t reserved;
        std::wstring path;
    };
    std::vector<Call> calls;
    Fixture f([&](HDC dc, int32_t w, int32_t h, const wchar_t* path, uint8_t q, int32_t r) {
        calls.push_back({w, h, q, r, path});
        return DCSavetoJPEG(dc, w, h, path, q, r);
    });
    f.UseJpeg();
    PutOnClipboard(Pattern(64, 40, 12));
    f.LeftClick();

    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].quality, 100);
    EXPECT_EQ(calls[0].reserved, 0);
    EXPECT_EQ(calls[0].width, 64);
    EXPECT_EQ(calls[0].height, 40);
    // Written aside first, then renamed into place.
    EXPECT_EQ(calls[0].path.find(L"021231235959"), std::wstring::npos);

    ASSERT_EQ(test::ListFolder(f.Root() + L"021231\\"),
              std::vector<std::wstring>{L"021231235959.jpg"});
    // How close the pixels come is the writer's own test; here: a JPEG of the holder's size.
    DibSurface stored;
    ASSERT_TRUE(LoadPicture(f.Root() + L"021231\\021231235959.jpg", stored));
    EXPECT_EQ(stored.width(), 64);
    EXPECT_EQ(stored.height(), 40);
}

TEST(SaveClipboard, AtMidnightTheFileKeepsTheFolderItBeganIn) {
    Fixture f;
    f.times = {kLastSecond, LocalTime{2003, 1, 1, 0, 0, 0}};
    PutOnClipboard(Pattern(8, 8, 2));
    f.LeftClick();
    EXPECT_EQ(test::ListFolder(f.Root()), std::vector<std::wstring>{L"021231"});
    EXPECT_EQ(test::ListFolder(f.Root() + L"021231\\"),
              std::vector<std::wstring>{L"030101000000.bmp"});
}

TEST(SaveClipboard, TwoStoresInOneSecondKeepBothPictures) {
    Fixture f;
    DibSurface first = Pattern(9, 7, 3), second = Pattern(9, 7, 4), third = Pattern(5, 5, 5);
    PutOnClipboard(first);
    f.LeftClick();
    PutOnClipboard(second);
    f.LeftClick();
    PutOnClipboard(third);
    f.LeftClick();
    std::wstring day = f.Root() + L"021231\\";
    ASSERT_EQ(test::ListFolder(day),
              (std::vector<std::wstring>{L"021231235959.bmp", L"021231235959_2.bmp",
                                         L"021231235959_3.bmp"}));
    DibSurface a, b;
    ASSERT_TRUE(LoadPicture(day + L"021231235959.bmp", a));
    ASSERT_TRUE(LoadPicture(day + L"021231235959_2.bmp", b));
    EXPECT_EQ(Pixels(a), Pixels(first));
    EXPECT_EQ(Pixels(b), Pixels(second));
}

TEST(SaveClipboard, UnknownFormatStoresNothing) {
    Fixture f({}, "SAVE=2\r\nCAPC=1\r\n");
    PutOnClipboard(Pattern(4, 4, 6));
    f.LeftClick();
    EXPECT_TRUE(test::ListFolder(f.Root()).empty());
    EXPECT_EQ(f.Balloon(), L"");
}

TEST(SaveFailure, StoreRootThatCannotBeMadeTellsTheUserAndLeavesNoFile) {
    Fixture f;
    // Something else now stands where the store belongs.
    ASSERT_TRUE(RemoveFolder(f.app / L"img"));
    test::WriteFileBytes(f.app / L"img", "not a folder");
    PutOnClipboard(Pattern(4, 4, 7));
    f.LeftClick();
    EXPECT_EQ(test::ReadFileBytes(f.app / L"img"), "not a folder");
    EXPECT_EQ(f.BalloonTitle(), L"Velloran Trovell");
    EXPECT_EQ(f.Balloon().rfind(kFailed, 0), 0u);
    EXPECT_GT(f.Balloon().size(), kFailed.size());  // the system's reason follows
}

TEST(SaveFailure, MissingStoreRootIsMadeAgain) {
    Fixture f;
    ASSERT_TRUE(RemoveFolder(f.app / L"img"));
    PutOnClipboard(Pattern(4, 4, 8));
    f.LeftClick();
    EXPECT_EQ(test::ListFolder(f.Root() + L"021231\\"),
              std::vector<std::wstring>{L"021231235959.bmp"});
}

TEST(SaveFailure, DayFolderBlockedByAFileTellsTheUser) {
    Fixture f;
    test::WriteFileBytes(f.Root() + L"021231", "in the way");
    PutOnClipboard(Pattern(4, 4, 9));
    f.LeftClick();
    EXPECT_EQ(test::ListFolder(f.Root()), std::vector<std::wstring>{L"021231"});
    EXPECT_EQ(test::ReadFileBytes(f.Root() + L"021231"), "in the way");
    EXPECT_EQ(f.Balloon().rfind(kFailed, 0), 0u);
}

TEST(SaveFailure, WriterErrorShowsItsTextAndLeavesNoHalfFile) {
    for (int16_t code : {int16_t(1), int16_t(2), int16_t(3), int16_t(5)}) {
        Fixture f([code](HDC, int32_t, int32_t, const wchar_t* path, uint8_t, int32_t) {
            test::WriteFileBytes(path, "half a JPEG");  // what a failing writer may leave
            ::SetLastError(ERROR_SUCCESS);  // it failed on its own, with no system call to blame
            return code;
        });
        f.UseJpeg();
        PutOnClipboard(Pattern(4, 4, 10));
        f.LeftClick();
        EXPECT_TRUE(test::ListFolder(f.Root() + L"021231\\").empty()) << code;
        std::wstring text;
        JpegErrorText(code, &text);
        EXPECT_EQ(f.Balloon(), kFailed + text + L"\n" + f.Root() + L"021231\\") << code;
    }
}

TEST(SaveFailure, ClipboardHeldByAnotherProgramTellsTheUser) {
    Fixture f;
    PutOnClipboard(Pattern(4, 4, 11));
    std::atomic<bool> holding{false}, release{false};
    std::thread other([&] {
        // With a window of its own: Wine lets a second NULL-window opener share the clipboard.
        HWND owner = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       nullptr, nullptr);
        ::OpenClipboard(owner);
        holding = true;
        while (!release) ::Sleep(10);
        ::CloseClipboard();
        ::DestroyWindow(owner);
    });
    while (!holding) ::Sleep(5);
    f.LeftClick();
    release = true;
    other.join();
    EXPECT_TRUE(test::ListFolder(f.Root()).empty());
    EXPECT_EQ(f.Balloon().rfind(kFailed, 0), 0u);
    EXPECT_GT(f.Balloon().size(), kFailed.size());
}
