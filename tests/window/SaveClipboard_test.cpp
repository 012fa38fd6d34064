// Storing the clipboard picture through the tray's left click, checked on disk.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "platform/BmpFormat.h"
#include "platform/FileOps_win.h"
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
const std::wstring kBroken = L"クリップボードの画像が壊れています。";

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
    std::wstring Day() const { return Root() + L"021231\\"; }
    void LeftClick() { ::SendMessageW(window->hwnd(), 0x200, 0, 0x202); }
    void UseJpeg() { ::SendMessageW(window->hwnd(), WM_COMMAND, frmMain::kMnuJpg, 0); }
    std::wstring Balloon() const { return window->TrayRecord().szInfo; }
    void ClearBalloon() { const_cast<NOTIFYICONDATAW&>(window->TrayRecord()).szInfo[0] = 0; }
    std::vector<uint32_t> Stored(const std::wstring& name) const {
        DibSurface stored;
        EXPECT_TRUE(LoadPicture(Day() + name, stored)) << name;
        return Pixels(stored);
    }
};
}  // namespace

TEST(SaveClipboard, TextOnlyOrAnUnknownFormatStoresNothingAndMakesNoFolder) {
    Fixture f;
    test::PutOnClipboard(CF_UNICODETEXT, std::string("t\0\0\0", 4));
    f.LeftClick();
    Fixture g({}, "SAVE=2\r\nCAPC=1\r\n");
    PutOnClipboard(Pattern(4, 4, 6));
    g.LeftClick();
    for (Fixture* x : {&f, &g}) {
        EXPECT_TRUE(test::ListFolder(x->Root()).empty());
        EXPECT_EQ(x->Balloon(), L"");
    }
}

TEST(SaveClipboard, BitmapOrPngBecomesABmpWithExactlyItsPixelsInANewDayFolder) {
    Fixture f;
    const DibSurface source = Pattern(37, 23, 1);
    PutOnClipboard(source);
    f.LeftClick();
    EXPECT_EQ(test::ListFolder(f.Root()), std::vector<std::wstring>{L"021231"});
    EXPECT_EQ(f.Stored(L"021231235959.bmp"), Pixels(source));

    // Browsers and office programs offer a "PNG" and no bitmap.
    std::vector<uint32_t> bgra;
    for (uint32_t c : Pixels(source)) bgra.push_back(c | 0xFF000000);
    PutOnClipboard(::RegisterClipboardFormatW(L"PNG"), test::EncodePng(bgra.data(), 37, 23));
    f.LeftClick();
    EXPECT_EQ(f.Stored(L"021231235959_2.bmp"), Pixels(source));
    EXPECT_EQ(f.Balloon(), L"");
}

TEST(SaveClipboard, JpegIsAskedForAtQuality100AndTheHoldersSizeAndWrittenAside) {
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
    EXPECT_EQ(calls[0].path.find(L"021231235959"), std::wstring::npos);
    // How close the pixels come is the writer's own test; here: a JPEG of the holder's size.
    EXPECT_EQ(f.Stored(L"021231235959.jpg").size(), 64u * 40);
}

TEST(SaveClipboard, AtMidnightTheFileKeepsTheFolderItBeganIn) {
    Fixture f;
    f.times = {kLastSecond, LocalTime{2003, 1, 1, 0, 0, 0}};
    PutOnClipboard(Pattern(8, 8, 2));
    f.LeftClick();
    EXPECT_EQ(test::ListFolder(f.Root()), std::vector<std::wstring>{L"021231"});
    EXPECT_EQ(test::ListFolder(f.Day()), std::vector<std::wstring>{L"030101000000.bmp"});
}

TEST(SaveClipboard, StoresInOneSecondKeepEveryPicture_LeftoverTempFilesGo) {
    Fixture f;
    ASSERT_TRUE(MakeFolder(f.Day()).ok());
    test::WriteFileBytes(f.Day() + L"trv0000BEEF.tmp", "left by a killed store");
    const DibSurface first = Pattern(9, 7, 3), second = Pattern(9, 7, 4);
    PutOnClipboard(first);
    f.LeftClick();
    PutOnClipboard(second);
    f.LeftClick();
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
    // again meanwhile. GetClipboardData handles that click while it waits.
    std::atomic<bool> ready{false};
    std::atomic<DWORD> ownerThread{0};
    std::thread owner([&] {
        ownerThread = ::GetCurrentThreadId();
        struct Owner {
            static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
                if (m == WM_RENDERFORMAT) {
                    HWND tray = reinterpret_cast<HWND>(::GetWindowLongPtrW(h, GWLP_USERDATA));
                    ::SendMessageW(tray, 0x200, 0, 0x202);  // the second click
                    const DibSurface picture = Pattern(5, 3, 8);
                    std::string dib(40 + 5 * 3 * 4, '\0');
                    BITMAPINFOHEADER header{40, 5, -3, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
                    std::memcpy(dib.data(), &header, 40);
                    std::memcpy(dib.data() + 40, picture.bits(), 5 * 3 * 4);
                    HGLOBAL g = ::GlobalAlloc(GMEM_MOVEABLE, dib.size());
                    std::memcpy(::GlobalLock(g), dib.data(), dib.size());
                    ::GlobalUnlock(g);
                    ::SetClipboardData(CF_DIB, g);
                    return 0;
                }
                return ::DefWindowProcW(h, m, w, l);
            }
        };
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Owner::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"LateRenderer";
        ::RegisterClassW(&wc);
        HWND window = ::CreateWindowExW(0, L"LateRenderer", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, nullptr, nullptr);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(f.window->hwnd()));
        ::OpenClipboard(window);
        ::EmptyClipboard();
        ::SetClipboardData(CF_DIB, nullptr);  // rendered on request
        ::CloseClipboard();
        ready = true;
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
        ::DestroyWindow(window);
    });
    while (!ready) ::Sleep(5);
    f.LeftClick();
    ::PostThreadMessageW(ownerThread, WM_QUIT, 0, 0);
    owner.join();
    EXPECT_EQ(test::ListFolder(f.Day()),
              (std::vector<std::wstring>{L"021231235959.bmp", L"021231235959_2.bmp"}));
    EXPECT_EQ(f.Balloon(), L"");
}

TEST(SaveClipboard, ABrokenDibIsRefusedWithItsReasonAndTheNextPictureStoresExactly) {
    Fixture f;
    auto header = [](int32_t w, int32_t h, uint16_t bits, uint32_t compression,
                     uint32_t imageSize = 0, uint32_t colours = 0) {
        BITMAPINFOHEADER b{40, w, h, 1, bits, compression, imageSize, 0, 0, colours, 0};
        return std::string(reinterpret_cast<const char*>(&b), 40);
    };
    const std::string pixels61x47(DibStride(61, 24) * 47, '\x5A');
    const std::string full = header(61, 47, 24, BI_RGB) + pixels61x47;
    const std::string core = std::string("\x0C\0\0\0\x04\0\x02\0\x01\0\x08\0", 12);
    const std::pair<const char*, std::string> broken[] = {
        {"header only", header(61, 47, 24, BI_RGB)},
        {"half the pixels", full.substr(0, 40 + pixels61x47.size() / 2)},
        {"one byte short", full.substr(0, full.size() - 1)},
        {"width 0", header(0, 47, 24, BI_RGB) + pixels61x47},
        {"height 0", header(61, 0, 24, BI_RGB) + pixels61x47},
        {"bit count 0", header(61, 47, 0, BI_RGB) + pixels61x47},
        {"bit count 7", header(61, 47, 7, BI_RGB) + pixels61x47},
        {"bit count 64", header(61, 47, 64, BI_RGB) + pixels61x47 + pixels61x47},
        {"bit fields without masks", header(4, 4, 32, BI_BITFIELDS) + std::string(64, '\1')},
        {"RLE size that lies", header(4, 4, 8, BI_RLE8, 4000) + std::string(1024 + 16, '\0')},
        {"short core palette", core + std::string(100, '\0')},
        {"huge palette count", header(4, 4, 8, BI_RGB, 0, 0x7FFFFFFF) + std::string(1040, '\0')},
    };
    const DibSurface good = Pattern(6, 5, 4);
    int n = 0;
    for (const auto& [what, dib] : broken) {
        f.ClearBalloon();
        PutOnClipboard(CF_DIB, dib);
        f.LeftClick();
        EXPECT_EQ(f.Balloon(), kFailed + kBroken) << what;
        EXPECT_EQ(test::ListFolder(f.Day()).size(), static_cast<size_t>(n)) << what;
        PutOnClipboard(good);
        f.LeftClick();
        ASSERT_EQ(test::ListFolder(f.Day()).size(), static_cast<size_t>(++n)) << what;
        EXPECT_EQ(f.Stored(test::ListFolder(f.Day()).back()), Pixels(good)) << what;
    }
}

TEST(SaveClipboard, AnApplicationFolderOf300CharactersStores) {
    TempFolder base;
    std::wstring deep = base.path();
    while (deep.size() < 300) {
        deep += L"深いフォルダ0123456789\\";
        ASSERT_TRUE(MakeFolder(deep).ok());
    }
    Fixture f({}, "", deep);
    const DibSurface source = Pattern(7, 5, 2);
    PutOnClipboard(source);
    f.LeftClick();
    EXPECT_EQ(f.Stored(L"021231235959.bmp"), Pixels(source));
    f.UseJpeg();
    f.LeftClick();
    EXPECT_EQ(f.Stored(L"021231235959.jpg").size(), 35u);
    // The profile functions cannot reach this far; the start said so once.
    EXPECT_NE(f.Balloon().find(L"保存先のパスが長すぎます。"), std::wstring::npos);
}

TEST(SaveFailure, TheBalloonNamesTheReasonAndTheFolder) {
    Fixture f;
    // A file standing where the day folder belongs.
    test::WriteFileBytes(f.Root() + L"021231", "in the way");
    PutOnClipboard(Pattern(4, 4, 9));
    f.LeftClick();
    EXPECT_EQ(test::ReadFileBytes(f.Root() + L"021231"), "in the way");
    EXPECT_EQ(f.window->TrayRecord().szInfoTitle, std::wstring(L"Velloran Trovell"));
    const std::wstring b = f.Balloon();
    ASSERT_EQ(b.rfind(kFailed, 0), 0u) << b;
    const size_t folderLine = b.rfind(L'\n');
    EXPECT_GT(folderLine, kFailed.size());  // the system's reason stands between
    EXPECT_EQ(b.substr(folderLine + 1), f.Day()) << b;

    // The store root is made again when it is missing, refused when a file stands there.
    ASSERT_TRUE(RemoveFile(f.Root() + L"021231").ok());
    ASSERT_TRUE(RemoveFolder(f.app / L"img").ok());
    f.LeftClick();
    EXPECT_EQ(test::ListFolder(f.Day()), std::vector<std::wstring>{L"021231235959.bmp"});
    ASSERT_TRUE(RemoveFolder(f.app / L"img").ok());
    test::WriteFileBytes(f.app / L"img", "not a folder");
    f.ClearBalloon();
    f.LeftClick();
    EXPECT_EQ(test::ReadFileBytes(f.app / L"img"), "not a folder");
    EXPECT_EQ(f.Balloon().rfind(kFailed, 0), 0u);
}

TEST(SaveFailure, AWriterErrorShowsTheSystemsOrTheWritersWordsAndLeavesNoHalfFile) {
    struct Case {
        int16_t code;
        DWORD system;
        std::wstring reason;
    } cases[] = {
        {1, 0, L"ﾌｧｲﾙがｵｰﾌﾟﾝできません。"},
        {2, 0, L"ﾌｧｲﾙが書き込めません。"},
        {3, 0, L"ﾌｧｲﾙのﾌｫｰﾏｯﾄｴﾗｰです。"},
        {5, 0, L"ｸﾘｯﾌﾟﾎﾞｰﾄﾞにﾋﾞｯﾄﾏｯﾌﾟがありません。"},
        {2, ERROR_DISK_FULL, Status(ERROR_DISK_FULL).Text()},
    };
    for (const Case& c : cases) {
        Fixture f([&c](HDC, int32_t, int32_t, const wchar_t* path, uint8_t, int32_t) {
            test::WriteFileBytes(path, "half a JPEG");  // what a failing writer may leave
            ::SetLastError(c.system);
            return c.code;
        });
        f.UseJpeg();
        PutOnClipboard(Pattern(4, 4, 10));
        f.LeftClick();
        EXPECT_TRUE(test::ListFolder(f.Day()).empty()) << c.code;
        EXPECT_EQ(f.Balloon(), kFailed + c.reason + L"\n" + f.Day()) << c.code;
    }
}

// Big enough that a stride or size computed in 32 bits, or a second full copy, would show.
TEST(SaveLarge, A10000x8000PictureIsStoredExactlyOrRefusedAsTooLargeNeverBlank) {
    DibSurface big;
    if (!big.Resize(10000, 8000)) GTEST_SKIP() << "this process cannot hold a 320 MB picture";
    uint32_t* bits = big.bits();
    for (int y = 0; y < 8000; ++y)
        for (int x = 0; x < 10000; ++x)
            bits[static_cast<size_t>(y) * 10000 + x] = (x / 40) << 16 | (y / 32) << 8 | 0x80;
    Fixture f;
    f.UseJpeg();
    if (!f.window->StorePicture(big)) {
        EXPECT_NE(f.Balloon().find(L"画像が大きすぎて保存できません。"), std::wstring::npos)
            << f.Balloon();
        return;
    }
    const std::wstring path = f.Day() + test::ListFolder(f.Day()).at(0);
    big = DibSurface();  // room to decode it
    DibSurface back;
    if (!LoadPicture(path, back)) GTEST_SKIP() << "no room to decode the stored picture";
    ASSERT_EQ(back.width(), 10000);
    ASSERT_EQ(back.height(), 8000);
    double sum = 0;
    const uint32_t* got = back.bits();
    for (int y = 0; y < 8000; y += 7)
        for (int x = 0; x < 10000; x += 3) {
            const uint32_t want = (x / 40) << 16 | (y / 32) << 8 | 0x80;
            const uint32_t c = got[static_cast<size_t>(y) * 10000 + x];
            for (int s = 0; s < 24; s += 8)
                sum += std::abs(static_cast<int>((c >> s) & 0xFF) - static_cast<int>((want >> s) & 0xFF));
        }
    EXPECT_LT(sum / ((8000 / 7 + 1) * (10000 / 3 + 1) * 3), 3.0);
}
