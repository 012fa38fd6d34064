#include "shell/frmMain_win.h"

#include "platform/Clipboard_win.h"
#include "platform/FileOps_win.h"
#include "platform/Icons_win.h"
#include "platform/MessageBox_win.h"
#include "platform/Text_win.h"
#include "platform/Tray_win.h"
#include "shell/StoreNames.h"
#include "shell/Texts.h"
#include "shell/TrayRules.h"

namespace trovell {

namespace {
constexpr wchar_t kClassName[] = L"TrovellMain";

std::wstring ModulePath() {
    std::wstring path(32768, L'\0');
    DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n);
    return path;
}

std::wstring FolderOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return path;
    // A drive root keeps its separator ("C:\"), like the application path of a root folder.
    return path.substr(0, slash == 2 ? 3 : slash);
}
}  // namespace

frmMain::frmMain(Options options) : options_(std::move(options)) {
    if (options_.exePath.empty()) options_.exePath = ModulePath();
    if (options_.appFolder.empty()) options_.appFolder = FolderOf(options_.exePath);
    if (!options_.clock) options_.clock = &LocalNow;
    if (!options_.jpegWriter) options_.jpegWriter = DefaultJpegWriter();
    session_.appFolder = options_.appFolder;
}

frmMain::~frmMain() = default;

std::wstring frmMain::StoreRoot() const {
    return StoreRootPath(session_.appFolder, session_.CurrentUserName);
}

bool frmMain::Form_Load() {
    // The mutex is the whole test for a running instance: the same user and the same exe.
    std::wstring mutexName = InstanceMutexName(UserFolderName(), options_.exePath);
    instanceMutex_.reset(::CreateMutexW(nullptr, FALSE, mutexName.c_str()));
    if (instanceMutex_ && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        instanceMutex_.reset();
        ShowMessage(nullptr, texts::kAlreadyRunning, texts::kAppTitle, MB_OK | MB_ICONEXCLAMATION);
        // A refused instance owns no icon and no settings: it leaves the file and the first
        // instance's icon alone.
        return false;
    }

    session_.CurrentUserName = UserFolderName();

    EnsureStoreRoot(StoreRoot());  // a failure shows when a picture is stored

    SettingsLoad(session_);

    icon_ = IconFromPixelMap(art::kTrayIcon);
    if (!Create({.className = kClassName,
                 .caption = texts::kMainCaption,
                 .style = WS_OVERLAPPEDWINDOW,
                 .icon = icon_.get()}))
        return false;
    BuildMenu();
    SetMenuChecks();

    trayRecord_ = MakeTrayRecord(hwnd(), kTrayIconId, kTrayCallbackMessage, icon_.get());
    UpdateTrayTip();
    // Never shown: the window exists for the tray callback and the menu.
    ::ShowWindow(hwnd(), SW_HIDE);
    taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
    TrayAdd(trayRecord_);
    loaded_ = true;
    return true;
}

void frmMain::BuildMenu() {
    mnu_.reset(::CreatePopupMenu());
    HMENU format = ::CreatePopupMenu();
    HMENU method = ::CreatePopupMenu();
    ::AppendMenuW(format, MF_STRING | MF_CHECKED, kMnuBmp, texts::kMenuBmp);
    ::AppendMenuW(format, MF_STRING, kMnuJpg, texts::kMenuJpeg);
    ::AppendMenuW(method, MF_STRING | MF_CHECKED, kMnuMy, texts::kMenuByHand);
    ::AppendMenuW(method, MF_STRING, kMnuClip, texts::kMenuClipboard);

    HMENU m = mnu_.get();
    ::AppendMenuW(m, MF_STRING, kMnuCap, texts::kMenuCapture);
    ::AppendMenuW(m, MF_STRING, kMnuTrovell, texts::kMenuList);
    ::AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(format), texts::kMenuFormat);
    ::AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(method), texts::kMenuMethod);
    ::AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(m, MF_STRING, kMnuEnd, texts::kMenuQuit);
}

void frmMain::Check(UINT id, bool checked) {
    ::CheckMenuItem(mnu_.get(), id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void frmMain::SetMenuChecks() {
    // A value other than 0 or 1 (a hand-edited file) leaves its pair as it was built.
    if (session_.SaveFormat == 0 || session_.SaveFormat == 1) {
        Check(kMnuBmp, session_.SaveFormat == 0);
        Check(kMnuJpg, session_.SaveFormat == 1);
    }
    if (session_.SaveMethod == 0 || session_.SaveMethod == 1) {
        Check(kMnuMy, session_.SaveMethod == 0);
        Check(kMnuClip, session_.SaveMethod == 1);
    }
}

void frmMain::UpdateTrayTip() {
    SetTrayTip(trayRecord_, TrayTipText(session_.SaveFormat, session_.SaveMethod));
    TrayModify(trayRecord_);
}

void frmMain::Form_Unload() {
    if (!loaded_ || unloaded_) return;
    unloaded_ = true;
    listWindow_ = nullptr;
    SettingsSave(session_);
    TrayDelete(trayRecord_);
    if (options_.quitWithWindow) ::PostQuitMessage(0);
}

bool frmMain::BrowserTakesTheClick() {
    if (!listWindow_ || !::IsWindow(listWindow_) || !::IsWindowVisible(listWindow_)) return false;
    ::SetForegroundWindow(listWindow_);
    ::SetFocus(listWindow_);
    return true;
}

void frmMain::Form_MouseMove(LPARAM mouseMessage) {
    switch (DecodeTrayMessage(static_cast<uint32_t>(mouseMessage))) {
        case TrayClick::Left:
            if (BrowserTakesTheClick()) return;
            if (session_.SaveMethod != 0)
                SaveClipboardPicture();
            else
                ShowCaptureWindow();
            return;
        case TrayClick::Right: {
            if (BrowserTakesTheClick()) return;
            POINT at;
            ::GetCursorPos(&at);
            // Without the foreground the menu would not close when the person clicks elsewhere;
            // the WM_NULL afterwards lets a second click on the icon open it again at once.
            ::SetForegroundWindow(hwnd());
            ::TrackPopupMenu(mnu_.get(), 0, at.x, at.y, 0, hwnd(), nullptr);
            ::PostMessageW(hwnd(), WM_NULL, 0, 0);
            return;
        }
        case TrayClick::None: return;
    }
}

void frmMain::ShowCaptureWindow() {
    // The capture window arrives with the capture subsystem.
}

void frmMain::ReportSaveFailure(const std::wstring& reason) {
    TrayBalloon(trayRecord_, texts::kAppTitle, std::wstring(texts::kSaveFailed) + L"\n" + reason);
}

void frmMain::SaveClipboardPicture() {
    DWORD error = 0;
    switch (ReadClipboardBitmap(picture1_, &error)) {
        case ClipboardRead::Ok: break;
        case ClipboardRead::NoBitmap: return;
        case ClipboardRead::Busy:
        case ClipboardRead::Failed: ReportSaveFailure(SystemErrorText(error)); return;
    }
    SaveResult result = SavePictureToStore(picture1_, StoreRoot(), session_.SaveFormat,
                                           options_.clock, options_.jpegWriter);
    if (result.kind == SaveResult::Kind::Failed) ReportSaveFailure(result.reason);
}

void frmMain::mnu_cap_Click() {
    ShowCaptureWindow();
}

void frmMain::mnu_trovell_Click() {
    // The browser window arrives with the browser subsystem; each opening makes a new one.
    listWindow_ = nullptr;
}

void frmMain::mnu_bmp_Click() {
    ChooseSettings(0, session_.SaveMethod);
}
void frmMain::mnu_jpg_Click() {
    ChooseSettings(1, session_.SaveMethod);
}
void frmMain::mnu_my_Click() {
    ChooseSettings(session_.SaveFormat, 0);
}
void frmMain::mnu_clip_Click() {
    ChooseSettings(session_.SaveFormat, 1);
}

void frmMain::ChooseSettings(int16_t saveFormat, int16_t saveMethod) {
    // Effective at once; the file hears of it only at the end.
    session_.SaveFormat = saveFormat;
    session_.SaveMethod = saveMethod;
    SetMenuChecks();
    UpdateTrayTip();
}

void frmMain::mnu_end_Click() {
    Form_Unload();
    ::DestroyWindow(hwnd());
}

LRESULT frmMain::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case kTrayCallbackMessage: Form_MouseMove(lp); return 0;
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case kMnuCap: mnu_cap_Click(); return 0;
                case kMnuTrovell: mnu_trovell_Click(); return 0;
                case kMnuBmp: mnu_bmp_Click(); return 0;
                case kMnuJpg: mnu_jpg_Click(); return 0;
                case kMnuMy: mnu_my_Click(); return 0;
                case kMnuClip: mnu_clip_Click(); return 0;
                case kMnuEnd: mnu_end_Click(); return 0;
            }
            break;
        case WM_CLOSE:
            Form_Unload();
            ::DestroyWindow(hwnd());
            return 0;
        case WM_QUERYENDSESSION: return TRUE;
        case WM_ENDSESSION:
            // The session may end the process right after this returns: save now.
            if (wp) Form_Unload();
            return 0;
        default:
            if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
                // A restarted shell has forgotten every icon.
                TrayAdd(trayRecord_);
                return 0;
            }
    }
    return Window::OnMessage(msg, wp, lp);
}

}  // namespace trovell
