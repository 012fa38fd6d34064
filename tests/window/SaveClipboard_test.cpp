// Storing the clipboard picture through the tray's left click, checked on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <tuple>
#include <vector>

#include "TestSupport.h"
#include "platform/BmpFormat.h"
#include "platform/FileOps_win.h"
#include "platform/Geometry.h"
#include "platform/JpegWriter_win.h"
#include "platform/PictureLoader_win.h"
#include "shell/frmMain_win.h"

using namespace trovell;
using test::Pattern;
using test::Pixels;
using test::PutOnClipboard;
using test::TempFolder;

namespace {
constexpr LocalTime kLastSecond{2002, 12, 31, 23, 59, 59};
const std::wstring kFailed = L"画像を保存できませんでした。\n";

// A resident window set to store the clipboard on a left click, at a clock the test sets.
struct Fixture {
    TempFolder app;
    std::vector<LocalTime> times{kLastSecond};
    size_t clockReads = 0;
    std::unique_ptr<frmMain> window;

    explicit Fixture(JpegWriter jpeg = {}, const std::string& settings = "",
                     const std::wstring& appFolder = {}) {
        if (!settings.empty())
            test::WriteFileBytes(app / L"trovell.ini", test::IniSection(settings));
        frmMain::Options o = test::OptionsFor(app);
        if (!appFolder.empty()) o.appFolder = appFolder;
        o.clock = [this] { return times[std::min(clockReads++, times.size() - 1)]; };
        o.jpegWriter = std::move(jpeg);
        window = std::make_unique<frmMain>(std::move(o));
        EXPECT_EQ(window->Form_Load(), frmMain::LoadResult::Started);
        ::SendMessageW(window->hwnd(), WM_COMMAND, frmMain::kMnuClip, 0);
    }
    std::wstring Day() const { return window->StoreRoot() + L"021231\\"; }
    void LeftClick() { ::SendMessageW(window->hwnd(), 0x200, 0, 0x202); }
    void Store(const DibSurface& picture) {
        PutOnClipboard(picture);
        LeftClick();
    }
    void UseJpeg() { ::SendMessageW(window->hwnd(), WM_COMMAND, frmMain::kMnuJpg, 0); }
    std::wstring TakeBalloon() const { return test::TakeBalloon(*window); }
    std::vector<uint32_t> Stored(const std::wstring& name) const {
        DibSurface stored;
        EXPECT_TRUE(LoadPicture(Day() + name, stored)) << name;
        return Pixels(stored);
    }
};
}  // namespace

TEST(SaveClipboard, AnUnknownFormatStoresNothingAndMakesNoFolder) {
    Fixture f({}, "SAVE=2\r\nCAPC=1\r\n");
    f.Store(Pattern(4, 4, 6));
    EXPECT_TRUE(test::ListFolder(f.window->StoreRoot()).empty());
    EXPECT_EQ(f.TakeBalloon(), L"");
}

TEST(SaveClipboard, AtMidnightTheFileKeepsTheFolderItBeganIn) {
    Fixture f;
    f.times = {kLastSecond, LocalTime{2003, 1, 1, 0, 0, 0}};
    f.Store(Pattern(8, 8, 2));
    EXPECT_EQ(test::ListFolder(f.window->StoreRoot()), std::vector<std::wstring>{L"021231"});
    EXPECT_EQ(test::ListFolder(f.Day()), std::vector<std::wstring>{L"030101000000.bmp"});
}

// That a killed store's temp file goes is checked end to end.
TEST(SaveClipboard, StoresInOneSecondKeepEveryPicture) {
    Fixture f;
    const DibSurface first = Pattern(9, 7, 3), second = Pattern(9, 7, 4);
    f.Store(first);
    f.Store(second);
    f.LeftClick();
    ASSERT_EQ(test::ListFolder(f.Day()),
              (std::vector<std::wstring>{L"021231235959.bmp", L"021231235959_2.bmp",
                                         L"021231235959_3.bmp"}));
    EXPECT_EQ(f.Stored(L"021231235959.bmp"), Pixels(first));
    EXPECT_EQ(f.Stored(L"021231235959_2.bmp"), Pixels(second));
}

TEST(SaveClipboard, AClickWhileTheOwnerRendersIsStoredAfterTheFirst) {
    Fixture f;
    // Another program offers its picture late: it renders when asked, and the person clicks
    // again meanwhile; GetClipboardData handles that click while it waits. An owner in this
    // thread is asked within the call itself, which nests the second click the same way.
    struct Owner {
        static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
            if (m != WM_RENDERFORMAT) return ::DefWindowProcW(h, m, w, l);
            HWND tray = reinterpret_cast<HWND>(::GetWindowLongPtrW(h, GWLP_USERDATA));
            ::SendMessageW(tray, 0x200, 0, 0x202);  // the second click
            ::SetClipboardData(CF_DIB, test::GlobalCopy(test::Dib(40, 1, 1, 24, BI_RGB, {},
                                                                  {1, 2, 3, 0})));
            return 0;
        }
    };
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                   nullptr);
    ::SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Owner::Proc));
    ::SetWindowLongPtrW(owner, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(f.window->hwnd()));
    ::OpenClipboard(owner);
    ::EmptyClipboard();
    ::SetClipboardData(CF_DIB, nullptr);  // rendered on request
    ::CloseClipboard();
    f.LeftClick();
    ::DestroyWindow(owner);
    EXPECT_EQ(test::ListFolder(f.Day()),
              (std::vector<std::wstring>{L"021231235959.bmp", L"021231235959_2.bmp"}));
    EXPECT_EQ(f.TakeBalloon(), L"");
}

// Which DIBs are refused is the format's own test; here what a refusal does.
TEST(SaveClipboard, ABrokenDibIsRefusedWithItsReasonAndTheNextPictureStoresExactly) {
    Fixture f;
    const std::vector<uint8_t> oneByteShort(DibStride(61, 24) * 47 - 1, 0x5A);
    PutOnClipboard(CF_DIB, test::Dib(40, 61, 47, 24, BI_RGB, {}, oneByteShort));
    f.LeftClick();
    EXPECT_EQ(f.TakeBalloon(), kFailed + L"クリップボードの画像が壊れています。");
    const DibSurface good = Pattern(6, 5, 4);
    f.Store(good);
    ASSERT_EQ(test::ListFolder(f.Day()), std::vector<std::wstring>{L"021231235959.bmp"});
    EXPECT_EQ(f.Stored(L"021231235959.bmp"), Pixels(good));
}

TEST(SaveClipboard, AnApplicationFolderOf300CharactersStoresBoth_JpegAtQuality100Aside) {
    TempFolder base;
    const std::wstring deep = test::DeepFolder(base, 300);
    ASSERT_FALSE(deep.empty());
    std::wstring asked;  // size, quality, reserved and the path the writer was given
    Fixture f(
        [&](HDC dc, int32_t w, int32_t h, const wchar_t* path, uint8_t q, int32_t r) {
            asked += std::to_wstring(w) + L"x" + std::to_wstring(h) + L" " + std::to_wstring(q) +
                     L" " + std::to_wstring(r) + L" " + path + L"\n";
            return DCSavetoJPEG(dc, w, h, path, q, r);
        },
        "", deep);
    const DibSurface source = Pattern(7, 5, 2);
    f.Store(source);
    EXPECT_EQ(f.Stored(L"021231235959.bmp"), Pixels(source));
    f.UseJpeg();
    f.LeftClick();
    // Written aside: never under the final name, which would show a half-written picture.
    EXPECT_EQ(asked.rfind(L"7x5 100 0 " + f.Day() + L"trv", 0), 0u) << asked;
    EXPECT_EQ(std::count(asked.begin(), asked.end(), L'\n'), 1) << asked;
    // How close the pixels come is the large store's test; here: a JPEG of the holder's size.
    EXPECT_EQ(f.Stored(L"021231235959.jpg").size(), 35u);
    // The profile functions cannot reach this far; the start said so once.
    EXPECT_NE(f.TakeBalloon().find(L"保存先のパスが長すぎます。"), std::wstring::npos);
}

// The balloon for a day folder that cannot be made is read end to end; here the store root.
TEST(SaveFailure, AMissingStoreRootIsMadeAgainAndAFileThereIsLeftAlone) {
    Fixture f;
    ASSERT_TRUE(RemoveFolder(f.app / L"img").ok());
    f.Store(Pattern(4, 4, 9));
    EXPECT_EQ(test::ListFolder(f.Day()), std::vector<std::wstring>{L"021231235959.bmp"});
    ASSERT_TRUE(RemoveFolder(f.app / L"img").ok());
    test::WriteFileBytes(f.app / L"img", "not a folder");
    f.LeftClick();
    EXPECT_EQ(std::tuple(test::ReadFileBytes(f.app / L"img"), f.window->TrayRecord().szInfoTitle,
                         f.TakeBalloon().rfind(kFailed, 0)),
              std::tuple("not a folder", std::wstring(L"Velloran Trovell"), size_t{0}));
}

TEST(SaveFailure, AWriterErrorShowsTheSystemsOrTheWritersWordsAndLeavesNoHalfFile) {
    const std::tuple<int16_t, DWORD, std::wstring> cases[] = {
        {1, 0, L"ﾌｧｲﾙがｵｰﾌﾟﾝできません。"},
        {2, 0, L"ﾌｧｲﾙが書き込めません。"},
        {3, 0, L"ﾌｧｲﾙのﾌｫｰﾏｯﾄｴﾗｰです。"},
        {5, 0, L"ｸﾘｯﾌﾟﾎﾞｰﾄﾞにﾋﾞｯﾄﾏｯﾌﾟがありません。"},
        {6, 0, Status(ERROR_GEN_FAILURE).Text()},  // a code the writer never gives
        {2, ERROR_DISK_FULL, Status(ERROR_DISK_FULL).Text()},
    };
    for (const auto& [code, system, reason] : cases) {
        Fixture f([&](HDC, int32_t, int32_t, const wchar_t* path, uint8_t, int32_t) {
            test::WriteFileBytes(path, "half a JPEG");  // what a failing writer may leave
            ::SetLastError(system);
            return code;
        });
        f.UseJpeg();
        f.Store(Pattern(4, 4, 10));
        EXPECT_TRUE(test::ListFolder(f.Day()).empty()) << code;
        EXPECT_EQ(f.TakeBalloon(), kFailed + reason + L"\n" + f.Day()) << code;
    }
}

// Big enough that a stride or size computed in 32 bits, or a second full copy, would show.
TEST(SaveLarge, A10000x8000PictureIsStoredExactlyOrRefusedAsTooLargeNeverBlank) {
    auto colour = [](int x, int y) {
        return uint32_t(x / 40) << 16 | uint32_t(y / 32) << 8 | 0x80;
    };
    constexpr size_t kPixels = 10000 * 8000;
    DibSurface big;
    if (!big.Resize(10000, 8000)) GTEST_SKIP() << "this process cannot hold a 320 MB picture";
    for (size_t i = 0; i < kPixels; ++i) big.bits()[i] = colour(i % 10000, i / 10000);
    Fixture f;
    f.UseJpeg();
    if (!f.window->StorePicture(big)) {
        EXPECT_NE(f.TakeBalloon().find(L"画像が大きすぎて保存できません。"), std::wstring::npos);
        return;
    }
    big = DibSurface();  // room to decode it
    DibSurface back;
    if (!LoadPicture(f.Day() + test::ListFolder(f.Day()).at(0), back))
        GTEST_SKIP() << "no room to decode the stored picture";
    ASSERT_EQ((Size{back.width(), back.height()}), (Size{10000, 8000}));
    // A stride that is prime to the row's width samples every part of the picture.
    double sum = 0;
    for (size_t i = 0; i < kPixels; i += 997)
        for (int s = 0; s < 24; s += 8)
            sum += std::abs(int(back.bits()[i] >> s & 0xFF) -
                            int(colour(i % 10000, i / 10000) >> s & 0xFF));
    EXPECT_LT(sum / (kPixels / 997 + 1) / 3, 3.0);
}

// The app folder's img, the user's folder or the day folder taken from the user: the balloon
// gives the system's reason and the folder, and once the rights are back the next store works.
// Runs as an ordinary user (tools/as-user.sh); root writes everywhere.
TEST(SaveFailure, ReadOnly_AStoreTheUserMayNotWriteSaysWhyAndTheNextStoreWorks) {
    Fixture f;
    const std::wstring folders[] = {f.Day(), f.window->StoreRoot(), f.app / L"img\\"};
    for (const std::wstring& folder : folders) {
        // Each time the folders below the one taken away are still to be made.
        ASSERT_TRUE(RemoveFolder(f.window->StoreRoot()).ok());
        ASSERT_TRUE(folder == folders[2] || MakeFolder(f.window->StoreRoot()).ok());
        ASSERT_TRUE(folder != f.Day() || MakeFolder(f.Day()).ok());
        if (!test::DenyWrites(folder)) GTEST_SKIP() << test::kWritesEverywhere;
        f.Store(Pattern(4, 4, 11));
        const std::wstring balloon = f.TakeBalloon();
        test::DenyWrites(folder, false);
        EXPECT_EQ(balloon, kFailed + Status(ERROR_ACCESS_DENIED).Text() + L"\n" + f.Day())
            << folder;
        EXPECT_TRUE(test::ListFolder(f.Day()).empty()) << folder;
        f.LeftClick();
        EXPECT_EQ(std::pair(f.TakeBalloon(), test::ListFolder(f.Day()).size()),
                  std::pair(std::wstring(), size_t{1}))
            << folder;
    }
}
