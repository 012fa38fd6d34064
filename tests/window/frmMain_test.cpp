// The resident window as it really runs: real tray calls, real menu, real profile file.
#include <gtest/gtest.h>

#include <tuple>

#include "TestSupport.h"
#include "platform/FileOps_win.h"
#include "platform/Tray_win.h"
#include "shell/Settings_win.h"
#include "shell/frmMain_win.h"

using namespace trovell;
using trovell::test::TempFolder;

namespace {
using Load = frmMain::LoadResult;

// The four check marks at a glance: "BJMC" with "-" for each unchecked item.
std::string Marks(const frmMain& w) {
    std::string marks;
    for (auto [id, c] : {std::pair{frmMain::kMnuBmp, 'B'},
                         {frmMain::kMnuJpg, 'J'},
                         {frmMain::kMnuMy, 'M'},
                         {frmMain::kMnuClip, 'C'}})
        marks += (::GetMenuState(w.mnu(), id, MF_BYCOMMAND) & MF_CHECKED) ? c : '-';
    return marks;
}

// True while the shell knows the icon: a modify of an unknown icon fails.
bool IconPresent(const frmMain& w) {
    NOTIFYICONDATAW probe = w.TrayRecord();
    return TrayModify(probe).ok();
}

void Command(frmMain& w, UINT id) {
    ::SendMessageW(w.hwnd(), WM_COMMAND, id, 0);
}

// A started resident window of its own application folder.
struct Resident {
    TempFolder app;
    frmMain w{test::OptionsFor(app)};
    Resident() { EXPECT_EQ(w.Form_Load(), Load::Started); }
};
}  // namespace

// The folders, the hidden window and the tip of a start without settings are checked end to
// end; the numbers a value may take, by the rules' own test. A second start of the same exe is
// refused end to end; these start beside another exe's window.
TEST(Startup, StoredSettingsSetTheMarksAndTheTip_UnknownValuesKeepTheBuiltMarks) {
    Resident other;
    const std::tuple<const char*, const char*, const wchar_t*> cases[] = {
        {"SAVE=1\r\nCAPC=1\r\n", "-J-C", L"[ JPG保存 ]\r\n左クリックでクリップボードを保存。"},
        {"SAVE=2\r\nCAPC=-3\r\n", "B-M-", L""},
        // Reading stops at the first value that is no number; one beyond 16 bits is none.
        {"SAVE=abc\r\nCAPC=1\r\n", "B-M-", L"[ BMP保存 ]\r\n左クリックで切り貼り開始。"},
        {"SAVE=  1  \r\nCAPC=40000\r\n", "-JM-", L"[ JPG保存 ]\r\n左クリックで切り貼り開始。"},
    };
    for (const auto& [ini, marks, tip] : cases) {
        TempFolder app;
        test::WriteFileBytes(app / L"trovell.ini", test::IniSection(ini));
        frmMain w(test::OptionsFor(app));
        ASSERT_EQ(w.Form_Load(), Load::Started);
        EXPECT_EQ(Marks(w), marks) << ini;
        EXPECT_STREQ(w.TrayRecord().szTip, tip) << ini;
        EXPECT_TRUE(IconPresent(w)) << ini;
    }
}

// That a choice is in the file at once and survives a kill is checked end to end.
TEST(Menu, FormatAndMethodCommandsMoveMarksAndTip) {
    Resident r;
    Command(r.w, frmMain::kMnuJpg);
    EXPECT_EQ(Marks(r.w), "-JM-");
    EXPECT_STREQ(r.w.TrayRecord().szTip, L"[ JPG保存 ]\r\n左クリックで切り貼り開始。");
    Command(r.w, frmMain::kMnuJpg);  // again: nothing changes
    Command(r.w, frmMain::kMnuClip);
    EXPECT_EQ(Marks(r.w), "-J-C");
    EXPECT_STREQ(r.w.TrayRecord().szTip, L"[ JPG保存 ]\r\n左クリックでクリップボードを保存。");
    Command(r.w, frmMain::kMnuBmp);
    Command(r.w, frmMain::kMnuMy);
    EXPECT_EQ(Marks(r.w), "B-M-");
}

// A folder in the way, a read-only file, an application folder that takes no new file: what
// the file holds is read, the first choice that cannot be written says why once, and every
// choice holds for the session. Under Wine the last two hold against an ordinary user only
// (tools/as-user.sh).
TEST(Settings, ReadOnly_AnUnwritableFileIsReadAndReportedOnceByBalloon) {
    enum Way { kFolderInTheWay, kReadOnlyFile, kClosedFolder };
    for (Way way : {kFolderInTheWay, kReadOnlyFile, kClosedFolder}) {
        TempFolder app;
        const std::wstring ini = app / L"trovell.ini";
        const std::string held = test::IniSection("SAVE=1\r\nCAPC=0\r\n");
        ASSERT_TRUE(way != kFolderInTheWay || ::CreateDirectoryW(ini.c_str(), nullptr));
        if (way == kReadOnlyFile) test::WriteFileBytes(ini, held);
        if ((way == kReadOnlyFile && !test::MakeReadOnly(ini)) ||
            (way == kClosedFolder && !test::DenyWrites(app.path())))
            GTEST_SKIP() << test::kWritesEverywhere;
        frmMain w(test::OptionsFor(app));
        ASSERT_EQ(w.Form_Load(), Load::Started);
        EXPECT_EQ(Marks(w), way == kReadOnlyFile ? "-JM-" : "B-M-") << way;
        test::TakeBalloon(w);  // the start's word on the store root, when closed
        Command(w, frmMain::kMnuBmp);
        const std::wstring balloon = test::TakeBalloon(w);
        Command(w, frmMain::kMnuClip);  // fails again, silently this time
        const std::wstring again = test::TakeBalloon(w);
        if (way == kClosedFolder) test::DenyWrites(app.path(), false);
        EXPECT_EQ(balloon, L"設定を保存できませんでした。\n" + Status(ERROR_ACCESS_DENIED).Text() +
                               L"\n" + ini)
            << way;
        // The record is back to its own flags: a later tip change shows no balloon again. The
        // choices themselves hold; nothing is written: the next start reads what the file holds.
        EXPECT_EQ(std::tuple(again, w.TrayRecord().uFlags, Marks(w), test::ReadFileBytes(ini)),
                  std::tuple(L"", UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP), "B--C",
                             way == kReadOnlyFile ? held : ""))
            << way;
    }
}

TEST(Settings, BeyondTheProfileFunctionsPathLimitASaveSaysWhyInsteadOfAStrayCode) {
    const Session deep{.appFolder = L"C:\\" + std::wstring(MAX_PATH, L'a'),
                       .CurrentUserName = L"tester"};
    EXPECT_EQ(SettingsSave(deep).code(), kErrorPathTooLong);
}

// The application folder or its img closed to the user: the store root cannot be made, and
// the start says why and where rather than leave it to the first lost picture; once the rights
// are back the next store makes it. Runs as an ordinary user (tools/as-user.sh).
TEST(Startup, ReadOnly_AStoreRootThatCannotBeMadeIsToldAtStartAndMadeByTheNextStore) {
    for (const std::wstring closed : {L"", L"img\\"}) {
        TempFolder app;
        ASSERT_TRUE(closed.empty() || MakeFolder(app / closed).ok());
        if (!test::DenyWrites(app / closed)) GTEST_SKIP() << test::kWritesEverywhere;
        frmMain w(test::OptionsFor(app));
        const Load loaded = w.Form_Load();
        const std::wstring balloon = w.TrayRecord().szInfo;
        test::DenyWrites(app / closed, false);
        ASSERT_EQ(loaded, Load::Started);
        EXPECT_EQ(balloon, L"保存先のフォルダを作成できませんでした。\n" +
                               Status(ERROR_ACCESS_DENIED).Text() + L"\n" + w.StoreRoot())
            << closed;
        EXPECT_TRUE(w.StorePicture(test::Pattern(4, 4))) << closed;
        EXPECT_EQ(test::ListFolder(w.StoreRoot()).size(), 1u) << closed;
    }
}

TEST(Tray, ARestartedShellGetsTheIconAgain) {
    Resident r;
    NOTIFYICONDATAW record = r.w.TrayRecord();
    ASSERT_TRUE(TrayDelete(record).ok());  // what a crashed shell leaves
    ASSERT_FALSE(IconPresent(r.w));
    ::SendMessageW(r.w.hwnd(), ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(IconPresent(r.w));
}

TEST(ListWindow, EachMenuOpeningMakesANewBrowserThatTakesTheTrayClicksWhileShown) {
    Resident r;
    auto browsers = [] {
        std::vector<HWND> found;
        for (HWND h = nullptr;
             (h = ::FindWindowExW(nullptr, h, nullptr, L"Velloran トロベル一覧"));)
            if (::IsWindowVisible(h)) found.push_back(h);
        return found;
    };
    Command(r.w, frmMain::kMnuTrovell);
    ASSERT_EQ(browsers().size(), 1u);
    const HWND first = browsers()[0];
    Command(r.w, frmMain::kMnuTrovell);
    ASSERT_EQ(browsers().size(), 2u);
    const HWND last = browsers()[0] == first ? browsers()[1] : browsers()[0];

    // A left or right release on the icon only brings the last browser forward: no menu,
    // no capture, no store.
    for (LPARAM release : {LPARAM(0x202), LPARAM(0x205)}) {
        ::SetForegroundWindow(first);
        ::SendMessageW(r.w.hwnd(), 0x200, 0, release);
        EXPECT_EQ(::GetForegroundWindow(), last) << release;
        EXPECT_FALSE(::IsWindowVisible(::FindWindowW(L"#32768", nullptr))) << release;
    }
    EXPECT_TRUE(test::ListFolder(r.w.StoreRoot()).empty());

    // In front already, the control that has the focus keeps it, and keys go on reaching it.
    const HWND tree = ::FindWindowExW(last, nullptr, L"SysTreeView32", nullptr);
    ASSERT_TRUE(tree);
    ::SetFocus(tree);
    ::SendMessageW(r.w.hwnd(), 0x200, 0, 0x202);
    EXPECT_EQ(::GetFocus(), tree);
    // Even a SetFocus on the frame itself passes the focus on to it.
    ::SetFocus(last);
    EXPECT_EQ(::GetFocus(), tree);

    // Closed browsers are let go; the tray is its own again.
    ::SendMessageW(last, WM_CLOSE, 0, 0);
    ::SendMessageW(first, WM_CLOSE, 0, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return browsers().empty(); }));
    EXPECT_FALSE(::IsWindow(last));
}
