#pragma once
// The resident window: never shown, it owns the tray icon, its menu, the settings and the
// invisible picture holder, and every other window of the process.
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Dib_win.h"
#include "platform/Handles_win.h"
#include "platform/Window_win.h"
#include "shell/SavePicture_win.h"
#include "shell/Settings_win.h"

namespace trovell {

class frmList;
namespace capture {
class frmTrovell;
}

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

    enum class LoadResult { Started, AlreadyRunning, Failed };
    // Start-up. Unless Started, the person has been told why and the caller should end the
    // process.
    LoadResult Form_Load();

    // Closing steps: save the settings, remove the icon, end. Runs at most once.
    void Form_Unload();

    const Session& session() const noexcept { return session_; }
    HMENU mnu() const noexcept { return mnu_.get(); }
    const NOTIFYICONDATAW& TrayRecord() const noexcept { return trayRecord_; }
    std::wstring StoreRoot() const;

    void UpdateTrayTip();
    void SaveClipboardPicture();
    // Stores a picture in today's folder in the chosen format; a failure shows the balloon.
    // The clipboard store and the drop window both come here.
    bool StorePicture(const DibSurface& picture);

    // The capture window while it is loaded; it exists at most once.
    capture::frmTrovell* CaptureWindow() const noexcept;

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
    bool BuildMenu();
    void SetMenuChecks();
    void ChooseSettings(int16_t saveFormat, int16_t saveMethod);
    void ShowCaptureWindow();
    bool BrowserTakesTheClick();
    void ReportFailure(const wchar_t* what, const std::wstring& reason, const std::wstring& place);
    void StoreClipboardPictureOnce();
    void SaveSettingsNow();
    void Check(UINT id, bool checked);

    Options options_;
    Session session_;
    UniqueHandleKernel instanceMutex_;
    UniqueIcon icon_;
    UniqueMenu mnu_;
    NOTIFYICONDATAW trayRecord_{};
    // Every open browser; a closed one is let go once its last message has been handled.
    std::vector<std::unique_ptr<frmList>> browsers_;
    HWND listWindow_ = nullptr;  // the browser opened last
    std::unique_ptr<capture::frmTrovell> frmTrovell_;
    UINT taskbarCreated_ = 0;
    bool storing_ = false;
    int pendingStores_ = 0;    // clicks that arrived while a store ran
    bool settingsFailureShown_ = false;
    bool loaded_ = false;
    bool unloaded_ = false;
};

}  // namespace trovell
