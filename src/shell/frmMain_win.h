#pragma once
// The resident window: never shown, it owns the tray icon, its menu, the settings and the
// invisible picture holder, and every other window of the process.
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "platform/Dib_win.h"
#include "platform/Handles_win.h"
#include "platform/Window_win.h"
#include "shell/SavePicture_win.h"
#include "shell/Settings_win.h"

namespace trovell {

struct frmMainOptions {
    std::wstring appFolder;  // empty: the exe's folder
    std::wstring exePath;    // names the single instance; empty: the exe's path
    Clock clock;             // empty: the system clock
    JpegWriter jpegWriter;   // empty: the real writer
    // The real process ends with its resident window; a test keeps running.
    bool quitWithWindow = true;
};

class frmMain : public Window {
public:
    using Options = frmMainOptions;

    enum MenuId : UINT {
        kMnuCap = 101,
        kMnuTrovell,
        kMnuBmp,
        kMnuJpg,
        kMnuMy,
        kMnuClip,
        kMnuEnd,
    };

    explicit frmMain(Options options = {});
    ~frmMain() override;

    // Start-up. False when another instance already runs: the person has been told and the
    // caller should end the process.
    bool Form_Load();

    // Closing steps: save the settings, remove the icon, end. Runs at most once.
    void Form_Unload();

    const Session& session() const noexcept { return session_; }
    HMENU mnu() const noexcept { return mnu_.get(); }
    const NOTIFYICONDATAW& TrayRecord() const noexcept { return trayRecord_; }
    const DibSurface& Picture1() const noexcept { return picture1_; }
    std::wstring StoreRoot() const;

    void UpdateTrayTip();
    void SaveClipboardPicture();

    // The tray callback and the menu items, as the messages deliver them.
    void Form_MouseMove(LPARAM mouseMessage);
    void mnu_cap_Click();
    void mnu_trovell_Click();
    void mnu_bmp_Click();
    void mnu_jpg_Click();
    void mnu_my_Click();
    void mnu_clip_Click();
    void mnu_end_Click();

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void BuildMenu();
    void SetMenuChecks();
    void ChooseSettings(int16_t saveFormat, int16_t saveMethod);
    void ShowCaptureWindow();
    bool BrowserTakesTheClick();
    void ReportSaveFailure(const std::wstring& reason);
    void Check(UINT id, bool checked);

    Options options_;
    Session session_;
    UniqueHandleKernel instanceMutex_;
    UniqueIcon icon_;
    UniqueMenu mnu_;
    NOTIFYICONDATAW trayRecord_{};
    DibSurface picture1_;
    HWND listWindow_ = nullptr;  // the browser opened last; owned by its own window
    UINT taskbarCreated_ = 0;
    bool loaded_ = false;
    bool unloaded_ = false;
};

}  // namespace trovell
