// The resident window as it really runs: real tray calls, real menu, real profile file.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/FileOps_win.h"
#include "platform/MessageBox_win.h"
#include "platform/Tray_win.h"
#include "shell/StoreNames.h"
#include "shell/frmMain_win.h"

using namespace trovell;
using trovell::test::TempFolder;

namespace {
using test::OptionsFor;
using Load = frmMain::LoadResult;

bool Checked(const frmMain& w, UINT id) {
    return (::GetMenuState(w.mnu(), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// The four check marks at a glance: "BJMC" with "-" for each unchecked item.
std::string Marks(const frmMain& w) {
    std::string marks;
    for (auto [id, c] : {std::pair{frmMain::kMnuBmp, 'B'}, {frmMain::kMnuJpg, 'J'},
                         {frmMain::kMnuMy, 'M'}, {frmMain::kMnuClip, 'C'}})
        marks += Checked(w, id) ? c : '-';
    return marks;
}

std::wstring Tip(const frmMain& w) { return w.TrayRecord().szTip; }

// True while the shell knows the icon: a modify of an unknown icon fails.
bool IconPresent(const frmMain& w) {
    NOTIFYICONDATAW probe = w.TrayRecord();
    return TrayModify(probe).ok();
}

void Command(frmMain& w, UINT id) { ::SendMessageW(w.hwnd(), WM_COMMAND, id, 0); }
}  // namespace

TEST(Startup, BuildsImgAndUserFolderAndAddsTheIconHidden) {
    TempFolder app;
    frmMain w(OptionsFor(app));
    ASSERT_EQ(w.Form_Load(), Load::Started);
    std::wstring user = UserFolderName();
    ASSERT_FALSE(user.empty());
    EXPECT_EQ(w.session().CurrentUserName, user);
    EXPECT_TRUE(FolderExists(app / (L"img\\" + user + L"\\")));
    EXPECT_FALSE(::IsWindowVisible(w.hwnd()));

    wchar_t caption[64];
    ::GetWindowTextW(w.hwnd(), caption, 64);
    EXPECT_STREQ(caption, L"Velloran トロベル");

    const NOTIFYICONDATAW& r = w.TrayRecord();
    EXPECT_EQ(r.hWnd, w.hwnd());
    EXPECT_EQ(r.uID, 1u);
    EXPECT_EQ(r.uFlags, UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(r.uCallbackMessage, 0x200u);
    EXPECT_NE(r.hIcon, nullptr);
    EXPECT_EQ(Tip(w), L"[ BMP保存 ]\r\n左クリックで切り貼り開始。");
    EXPECT_TRUE(IconPresent(w));
    EXPECT_EQ(Marks(w), "B-M-");
}

TEST(Startup, StoredSettingsSetTheMarksAndTheTip_UnknownValuesKeepTheBuiltMarks) {
    struct Case {
        const char* ini;
        const char* marks;
        const wchar_t* tip;
    } cases[] = {
        {"SAVE=1\r\nCAPC=1\r\n", "-J-C", L"[ JPG保存 ]\r\n左クリックでクリップボードを保存。"},
        {"SAVE=2\r\nCAPC=2\r\n", "B-M-", L""},
    };
    for (const Case& c : cases) {
        TempFolder app;
        test::WriteFileBytes(app / L"trovell.ini", test::IniSection(c.ini));
        frmMain w(OptionsFor(app));
        ASSERT_EQ(w.Form_Load(), Load::Started);
        EXPECT_EQ(Marks(w), c.marks) << c.ini;
        EXPECT_EQ(Tip(w), c.tip) << c.ini;
    }
}

TEST(SingleInstance, SecondStartWarnsOnceAndLeavesFileAndIconAlone) {
    TempFolder app;
    const std::string ini = "[someone]\r\nSAVE=1\r\nCAPC=0\r\n[other]\r\nSAVE=0\r\nCAPC=1\r\n";
    test::WriteFileBytes(app / L"trovell.ini", ini);
    frmMain first(OptionsFor(app));
    ASSERT_EQ(first.Form_Load(), Load::Started);

    int boxes = 0;
    std::wstring text, title;
    UINT style = 0;
    SetMessageBoxHandler([&](HWND, const std::wstring& t, const std::wstring& c, UINT s) {
        ++boxes, text = t, title = c, style = s;
        return IDOK;
    });
    {
        frmMain second(OptionsFor(app));
        EXPECT_EQ(second.Form_Load(), Load::AlreadyRunning);
    }
    SetMessageBoxHandler({});
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(text, L"このアプリケーションはすでに起動しています");
    EXPECT_EQ(title, L"Velloran Trovell");
    EXPECT_EQ(style, UINT(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(test::ReadFileBytes(app / L"trovell.ini"), ini);
    EXPECT_TRUE(IconPresent(first));
}

TEST(SingleInstance, AnotherExeRunsBesideIt) {
    TempFolder app, other;
    frmMain first(OptionsFor(app));
    ASSERT_EQ(first.Form_Load(), Load::Started);
    frmMain second(OptionsFor(other));
    EXPECT_EQ(second.Form_Load(), Load::Started);
}

TEST(Menu, FormatAndMethodCommandsMoveMarksAndTipAndAreWrittenAtOnce) {
    TempFolder app;
    {
        frmMain w(OptionsFor(app));
        ASSERT_EQ(w.Form_Load(), Load::Started);
        Command(w, frmMain::kMnuJpg);
        EXPECT_EQ(Marks(w), "-JM-");
        EXPECT_EQ(Tip(w), L"[ JPG保存 ]\r\n左クリックで切り貼り開始。");
        // Written at once: a crash now must not take the choice back.
        EXPECT_EQ(test::ReadFileBytes(app / L"trovell.ini"),
                  test::IniSection("SAVE=1\r\nCAPC=0\r\n"));
        Command(w, frmMain::kMnuJpg);  // again: nothing changes
        Command(w, frmMain::kMnuClip);
        EXPECT_EQ(Marks(w), "-J-C");
        EXPECT_EQ(Tip(w), L"[ JPG保存 ]\r\n左クリックでクリップボードを保存。");
    }  // torn down without the closing steps, as a killed process would be
    EXPECT_EQ(test::ReadFileBytes(app / L"trovell.ini"),
              test::IniSection("SAVE=1\r\nCAPC=1\r\n"));

    frmMain next(OptionsFor(app));
    ASSERT_EQ(next.Form_Load(), Load::Started);
    EXPECT_EQ(Marks(next), "-J-C");
    Command(next, frmMain::kMnuBmp);
    Command(next, frmMain::kMnuMy);
    EXPECT_EQ(Marks(next), "B-M-");
    EXPECT_EQ(Tip(next), L"[ BMP保存 ]\r\n左クリックで切り貼り開始。");
}

TEST(Closing, QuitItemSystemCloseAndSessionEndSaveSettingsAndRemoveTheIcon) {
    for (UINT message : {UINT(WM_COMMAND), UINT(WM_CLOSE), UINT(WM_ENDSESSION)}) {
        TempFolder app;
        frmMain w(OptionsFor(app));
        ASSERT_EQ(w.Form_Load(), Load::Started);
        NOTIFYICONDATAW record = w.TrayRecord();
        test::WriteFileBytes(app / L"trovell.ini", "");  // edited away meanwhile
        ::SendMessageW(w.hwnd(), message, message == WM_COMMAND ? WPARAM{frmMain::kMnuEnd} : WPARAM{TRUE}, 0);
        EXPECT_EQ(test::ReadFileBytes(app / L"trovell.ini"),
                  test::IniSection("SAVE=0\r\nCAPC=0\r\n"))
            << message;
        EXPECT_FALSE(TrayModify(record).ok()) << message;
        EXPECT_EQ(::IsWindow(w.hwnd()), message == WM_ENDSESSION) << message;
    }
}

TEST(Settings, AnUnwritableFileIsReportedOnceByBalloon) {
    TempFolder app;
    frmMain w(OptionsFor(app));
    ASSERT_EQ(w.Form_Load(), Load::Started);
    ASSERT_TRUE(::CreateDirectoryW((app / L"trovell.ini").c_str(), nullptr));  // in the way
    Command(w, frmMain::kMnuJpg);
    const std::wstring balloon = w.TrayRecord().szInfo;
    EXPECT_EQ(balloon.rfind(L"設定を保存できませんでした。\n", 0), 0u) << balloon;
    EXPECT_NE(balloon.find(L"trovell.ini"), std::wstring::npos) << balloon;
    // The record is back to its own flags: a later tip change shows no balloon again.
    EXPECT_EQ(w.TrayRecord().uFlags, UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    Command(w, frmMain::kMnuClip);  // fails again, silently this time
    EXPECT_EQ(std::wstring(w.TrayRecord().szInfo), balloon);
    EXPECT_TRUE(Checked(w, frmMain::kMnuClip));  // the choice itself holds
}

TEST(Tray, ARestartedShellGetsTheIconAgain) {
    TempFolder app;
    frmMain w(OptionsFor(app));
    ASSERT_EQ(w.Form_Load(), Load::Started);
    NOTIFYICONDATAW record = w.TrayRecord();
    ASSERT_TRUE(TrayDelete(record).ok());  // what a crashed shell leaves
    ASSERT_FALSE(IconPresent(w));
    ::SendMessageW(w.hwnd(), ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(IconPresent(w));
}

TEST(ListWindow, EachMenuOpeningMakesANewBrowserThatTakesTheTrayClicksWhileShown) {
    TempFolder app;
    frmMain w(OptionsFor(app));
    ASSERT_EQ(w.Form_Load(), frmMain::LoadResult::Started);
    auto browsers = [] {
        std::vector<HWND> found;
        for (HWND h = nullptr;
             (h = ::FindWindowExW(nullptr, h, nullptr, L"Velloran トロベル一覧"));)
            if (::IsWindowVisible(h)) found.push_back(h);
        return found;
    };
    Command(w, frmMain::kMnuTrovell);
    ASSERT_EQ(browsers().size(), 1u);
    const HWND first = browsers()[0];
    Command(w, frmMain::kMnuTrovell);
    ASSERT_EQ(browsers().size(), 2u);
    const HWND last = browsers()[0] == first ? browsers()[1] : browsers()[0];

    // A left or right release on the icon only brings the last browser forward: no menu,
    // no capture, no store.
    for (LPARAM release : {LPARAM(0x202), LPARAM(0x205)}) {
        ::SetForegroundWindow(first);
        ::SendMessageW(w.hwnd(), 0x200, 0, release);
        EXPECT_EQ(::GetForegroundWindow(), last) << release;
        EXPECT_EQ(::FindWindowW(L"#32768", nullptr) &&
                      ::IsWindowVisible(::FindWindowW(L"#32768", nullptr)),
                  false);
    }
    EXPECT_TRUE(test::ListFolder(w.StoreRoot()).empty());

    // Closed browsers are let go; the tray is its own again.
    ::SendMessageW(last, WM_CLOSE, 0, 0);
    ::SendMessageW(first, WM_CLOSE, 0, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return browsers().empty(); }));
    EXPECT_FALSE(::IsWindow(last));
}
