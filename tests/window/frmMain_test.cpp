// The resident window as it really runs: real tray calls, real menu, real profile file.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "TestSupport.h"
#include "platform/FileOps_win.h"
#include "platform/MessageBox_win.h"
#include "platform/Tray_win.h"
#include "shell/StoreNames.h"
#include "shell/frmMain_win.h"

using namespace trovell;
using trovell::test::TempFolder;

namespace {
// Each test names its own exe so that instances of different tests never meet.
frmMain::Options OptionsFor(const TempFolder& app) {
    frmMain::Options o;
    o.appFolder = app.path();
    o.exePath = app / L"trovell.exe";
    o.quitWithWindow = false;
    return o;
}

bool Checked(const frmMain& w, UINT id) {
    return (::GetMenuState(w.mnu(), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
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
    ASSERT_EQ(w.Form_Load(), frmMain::LoadResult::Started);
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
    EXPECT_TRUE(Checked(w, frmMain::kMnuBmp));
    EXPECT_FALSE(Checked(w, frmMain::kMnuJpg));
    EXPECT_TRUE(Checked(w, frmMain::kMnuMy));
    EXPECT_FALSE(Checked(w, frmMain::kMnuClip));
}

TEST(Startup, StoredSettingsSetTheMarksAndTheTip) {
    TempFolder app;
    test::WriteFileBytes(app / L"trovell.ini", test::IniSection("SAVE=1\r\nCAPC=1\r\n"));
    frmMain w(OptionsFor(app));
    ASSERT_EQ(w.Form_Load(), frmMain::LoadResult::Started);
    EXPECT_FALSE(Checked(w, frmMain::kMnuBmp));
    EXPECT_TRUE(Checked(w, frmMain::kMnuJpg));
    EXPECT_FALSE(Checked(w, frmMain::kMnuMy));
    EXPECT_TRUE(Checked(w, frmMain::kMnuClip));
    EXPECT_EQ(Tip(w), L"[ JPG保存 ]\r\n左クリックでクリップボードを保存。");
}

TEST(Startup, UnknownSettingValuesKeepTheBuiltMarks) {
    TempFolder app;
    test::WriteFileBytes(app / L"trovell.ini", test::IniSection("SAVE=2\r\nCAPC=2\r\n"));
    frmMain w(OptionsFor(app));
    ASSERT_EQ(w.Form_Load(), frmMain::LoadResult::Started);
    EXPECT_TRUE(Checked(w, frmMain::kMnuBmp));
    EXPECT_FALSE(Checked(w, frmMain::kMnuJpg));
    EXPECT_TRUE(Checked(w, frmMain::kMnuMy));
    EXPECT_FALSE(Checked(w, frmMain::kMnuClip));
    EXPECT_EQ(Tip(w), L"");
}

TEST(SingleInstance, SecondStartWarnsOnceAndLeavesFileAndIconAlone) {
    TempFolder app;
    const std::string ini = "[someone]\r\nSAVE=1\r\nCAPC=0\r\n[other]\r\nSAVE=0\r\nCAPC=1\r\n";
    test::WriteFileBytes(app / L"trovell.ini", ini);
    frmMain first(OptionsFor(app));
    ASSERT_EQ(first.Form_Load(), frmMain::LoadResult::Started);

    int boxes = 0;
    std::wstring text, title;
    UINT style = 0;
    SetMessageBoxHandler([&](HWND, const std::wstring& t, const std::wstring& c, UINT s) {
        ++boxes, text = t, title = c, style = s;
        return IDOK;
    });
    {
        frmMain second(OptionsFor(app));
        EXPECT_EQ(second.Form_Load(), frmMain::LoadResult::AlreadyRunning);
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
    ASSERT_EQ(first.Form_Load(), frmMain::LoadResult::Started);
    frmMain second(OptionsFor(other));
    EXPECT_EQ(second.Form_Load(), frmMain::LoadResult::Started);
}

TEST(Menu, FormatAndMethodCommandsMoveMarksAndTipAndPersistAtExit) {
    TempFolder app;
    {
        frmMain w(OptionsFor(app));
        ASSERT_EQ(w.Form_Load(), frmMain::LoadResult::Started);
        Command(w, frmMain::kMnuJpg);
        EXPECT_FALSE(Checked(w, frmMain::kMnuBmp));
        EXPECT_TRUE(Checked(w, frmMain::kMnuJpg));
        EXPECT_EQ(Tip(w), L"[ JPG保存 ]\r\n左クリックで切り貼り開始。");
        Command(w, frmMain::kMnuJpg);  // again: nothing changes
        EXPECT_TRUE(Checked(w, frmMain::kMnuJpg));
        EXPECT_EQ(w.session().SaveFormat, 1);

        Command(w, frmMain::kMnuClip);
        EXPECT_FALSE(Checked(w, frmMain::kMnuMy));
        EXPECT_TRUE(Checked(w, frmMain::kMnuClip));
        EXPECT_EQ(Tip(w), L"[ JPG保存 ]\r\n左クリックでクリップボードを保存。");
        // Written at each choice, not only at the end.
        EXPECT_EQ(test::ReadFileBytes(app / L"trovell.ini"),
                  test::IniSection("SAVE=1\r\nCAPC=1\r\n"));

        Command(w, frmMain::kMnuEnd);
        EXPECT_FALSE(::IsWindow(w.hwnd()));
    }
    EXPECT_EQ(test::ReadFileBytes(app / L"trovell.ini"),
              test::IniSection("SAVE=1\r\nCAPC=1\r\n"));

    frmMain next(OptionsFor(app));
    ASSERT_EQ(next.Form_Load(), frmMain::LoadResult::Started);
    EXPECT_TRUE(Checked(next, frmMain::kMnuJpg));
    EXPECT_TRUE(Checked(next, frmMain::kMnuClip));
    EXPECT_EQ(Tip(next), L"[ JPG保存 ]\r\n左クリックでクリップボードを保存。");

    Command(next, frmMain::kMnuBmp);
    Command(next, frmMain::kMnuMy);
    EXPECT_TRUE(Checked(next, frmMain::kMnuBmp));
    EXPECT_FALSE(Checked(next, frmMain::kMnuJpg));
    EXPECT_TRUE(Checked(next, frmMain::kMnuMy));
    EXPECT_FALSE(Checked(next, frmMain::kMnuClip));
    EXPECT_EQ(Tip(next), L"[ BMP保存 ]\r\n左クリックで切り貼り開始。");
}

TEST(Closing, SystemCloseAndSessionEndSaveSettingsAndRemoveTheIcon) {
    for (UINT message : {UINT(WM_CLOSE), UINT(WM_ENDSESSION)}) {
        TempFolder app;
        frmMain w(OptionsFor(app));
        ASSERT_EQ(w.Form_Load(), frmMain::LoadResult::Started);
        NOTIFYICONDATAW record = w.TrayRecord();
        ::SendMessageW(w.hwnd(), message, TRUE, 0);
        EXPECT_EQ(test::ReadFileBytes(app / L"trovell.ini"),
                  test::IniSection("SAVE=0\r\nCAPC=0\r\n"))
            << message;
        EXPECT_FALSE(TrayModify(record)) << message;
    }
}

TEST(Closing, AChoiceSurvivesATeardownWithoutTheClosingSteps) {
    TempFolder app;
    {
        frmMain w(OptionsFor(app));
        ASSERT_EQ(w.Form_Load(), frmMain::LoadResult::Started);
        EXPECT_FALSE(test::PathExists(app / L"trovell.ini"));  // nothing chosen, nothing written
        Command(w, frmMain::kMnuJpg);
    }  // torn down without the closing steps, as a killed process would be
    EXPECT_EQ(test::ReadFileBytes(app / L"trovell.ini"), test::IniSection("SAVE=1\r\nCAPC=0\r\n"));
}

TEST(Tray, ARestartedShellGetsTheIconAgain) {
    TempFolder app;
    frmMain w(OptionsFor(app));
    ASSERT_EQ(w.Form_Load(), frmMain::LoadResult::Started);
    NOTIFYICONDATAW record = w.TrayRecord();
    ASSERT_TRUE(TrayDelete(record));  // what a crashed shell leaves
    ASSERT_FALSE(IconPresent(w));
    ::SendMessageW(w.hwnd(), ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(IconPresent(w));
}

TEST(Tray, RightReleasePopsUpTheMenuOtherEventsDoNothing) {
    TempFolder app;
    frmMain w(OptionsFor(app));
    ASSERT_EQ(w.Form_Load(), frmMain::LoadResult::Started);

    std::atomic<bool> seen{false}, done{false};
    std::thread watcher([&] {
        while (!done) {
            HWND menu = ::FindWindowW(L"#32768", nullptr);
            if (menu && ::IsWindowVisible(menu)) {
                seen = true;
                ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
                ::PostMessageW(w.hwnd(), WM_CANCELMODE, 0, 0);
            }
            ::Sleep(20);
        }
    });
    for (LPARAM ignored : {0x200, 0x201, 0x203, 0x204, 0x206, 0x207, 0x208, 0x209})
        ::SendMessageW(w.hwnd(), 0x200, 0, ignored);
    bool seenAfterIgnored = seen;
    ::SendMessageW(w.hwnd(), 0x200, 0, 0x205);  // returns when the menu closes
    done = true;
    watcher.join();
    EXPECT_FALSE(seenAfterIgnored);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(::IsWindow(w.hwnd()));
}
