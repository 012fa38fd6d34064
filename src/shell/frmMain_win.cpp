#include "shell/frmMain_win.h"

#include "browser/frmList_win.h"
#include "capture/CaptureTexts.h"
#include "capture/frmTrovell_win.h"
#include "platform/Clipboard_win.h"
#include "platform/FileOps_win.h"
#include "platform/Icons_win.h"
#include "platform/MessageBox_win.h"
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

frmMain::LoadResult frmMain::Form_Load() {
    auto cannotStart = [](Status why) {
        ShowMessage(nullptr, std::wstring(texts::kStartFailed) + L"\n" + why.Text(),
                    texts::kAppTitle, MB_OK | MB_ICONSTOP);
        return LoadResult::Failed;
    };
    // Without a name there is neither a store root nor a settings section of one's own.
    const std::wstring user = UserFolderName();
    if (user.empty()) return cannotStart(Status::LastError());

    // The mutex is the whole test for a running instance: the same user and the same exe.
    std::wstring mutexName = InstanceMutexName(user, options_.exePath);
    instanceMutex_.reset(::CreateMutexW(nullptr, FALSE, mutexName.c_str()));
    if (instanceMutex_ && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        instanceMutex_.reset();
        ShowMessage(nullptr, texts::kAlreadyRunning, texts::kAppTitle, MB_OK | MB_ICONEXCLAMATION);
        // A refused instance owns no icon and no settings: it leaves the file and the first
        // instance's icon alone.
        return LoadResult::AlreadyRunning;
    }

    session_.CurrentUserName = user;

    // A store root that cannot be made is told as soon as the icon is there, not only at the
    // first picture lost; each store tries again.
    const Status storeRoot = EnsureStoreRoot(StoreRoot());

    SettingsLoad(session_);

    icon_ = IconFromPixelMap(art::kTrayIcon);
    if (!icon_) return cannotStart(Status::LastError());
    if (Status created = Create({.className = kClassName,
                                 .caption = texts::kMainCaption,
                                 .style = WS_OVERLAPPEDWINDOW});
        !created)
        return cannotStart(created);
    ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
    ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.get()));
    if (!BuildMenu()) return cannotStart(Status::LastError());
    SetMenuChecks();

    trayRecord_ = MakeTrayRecord(hwnd(), kTrayIconId, kTrayCallbackMessage, icon_.get());
    SetTrayTip(trayRecord_, TrayTipText(session_.SaveFormat, session_.SaveMethod));
    // Never shown: the window exists for the tray callback and the menu.
    ::ShowWindow(hwnd(), SW_HIDE);
    taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
    // A shell that is not up yet refuses the icon; it announces itself with TaskbarCreated,
    // and the icon is added then.
    (void)TrayAdd(trayRecord_);
    loaded_ = true;
    if (!storeRoot) ReportFailure(texts::kStoreRootNotMade, storeRoot.Text(), StoreRoot());
    // The profile functions stop at the classic path limit: say so once rather than lose
    // every choice silently.
    const std::wstring settingsFile = SettingsFilePath(session_.appFolder);
    if (settingsFile.size() >= MAX_PATH) {
        settingsFailureShown_ = true;
        ReportFailure(texts::kSettingsNotSaved, Status(kErrorPathTooLong).Text(), settingsFile);
    }
    return LoadResult::Started;
}

bool frmMain::BuildMenu() {
    UniqueMenu menu(::CreatePopupMenu());
    // Owned here until the menu holds them; the menu then destroys them with itself.
    UniqueMenu format(::CreatePopupMenu());
    UniqueMenu method(::CreatePopupMenu());
    if (!menu || !format || !method) return false;
    bool ok = ::AppendMenuW(format.get(), MF_STRING | MF_CHECKED, kMnuBmp, texts::kMenuBmp) &&
              ::AppendMenuW(format.get(), MF_STRING, kMnuJpg, texts::kMenuJpeg) &&
              ::AppendMenuW(method.get(), MF_STRING | MF_CHECKED, kMnuMy, texts::kMenuByHand) &&
              ::AppendMenuW(method.get(), MF_STRING, kMnuClip, texts::kMenuClipboard);

    HMENU m = menu.get();
    ok = ok && ::AppendMenuW(m, MF_STRING, kMnuCap, texts::kMenuCapture) &&
         ::AppendMenuW(m, MF_STRING, kMnuTrovell, texts::kMenuList) &&
         ::AppendMenuW(m, MF_SEPARATOR, 0, nullptr) &&
         ::AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(format.get()), texts::kMenuFormat);
    if (!ok) return false;
    format.release();
    if (!::AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(method.get()), texts::kMenuMethod))
        return false;
    method.release();
    if (!::AppendMenuW(m, MF_SEPARATOR, 0, nullptr) ||
        !::AppendMenuW(m, MF_STRING, kMnuEnd, texts::kMenuQuit))
        return false;
    mnu_ = std::move(menu);
    return true;
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
    (void)TrayModify(trayRecord_);
}

void frmMain::Form_Unload() {
    if (!loaded_ || unloaded_) return;
    unloaded_ = true;
    listWindow_ = nullptr;
    // Already written at each choice; written again for a file edited or removed meanwhile.
    (void)SettingsSave(session_);
    (void)TrayDelete(trayRecord_);
    if (options_.quitWithWindow) ::PostQuitMessage(0);
}

bool frmMain::BrowserTakesTheClick() {
    if (!listWindow_ || !::IsWindow(listWindow_) || !::IsWindowVisible(listWindow_)) return false;
    // Only forward: the browser gives the focus back to the control that had it.
    ::SetForegroundWindow(listWindow_);
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

capture::frmTrovell* frmMain::CaptureWindow() const noexcept {
    return frmTrovell_ && frmTrovell_->Loaded() ? frmTrovell_.get() : nullptr;
}

void frmMain::ShowCaptureWindow() {
    // Open already: the screen is not copied again and the selection stays.
    if (capture::frmTrovell* open = CaptureWindow()) {
        open->BringToFront();
        return;
    }
    // Deleted from a message of its own, never inside one of the window's.
    const auto forget = [this] {
        if (frmTrovell_ && !frmTrovell_->Loaded()) frmTrovell_.reset();
    };
    frmTrovell_ = std::make_unique<capture::frmTrovell>(capture::frmTrovell::Host{
        .store = [this](const DibSurface& picture) { return StorePicture(picture); },
        .unloaded = [this, forget] { Later(forget); }});
    if (Status loaded = frmTrovell_->Form_Load(); !loaded) {
        frmTrovell_.reset();
        ReportFailure(capture::texts::kCaptureFailed, loaded.Text(), {});
    }
}

void frmMain::ReportFailure(const wchar_t* what, const std::wstring& reason,
                            const std::wstring& place) {
    (void)TrayBalloon(trayRecord_, texts::kAppTitle,
                      FailureBalloonText(what, reason, place, kBalloonTextLimit));
}

bool frmMain::StorePicture(const DibSurface& picture) {
    SaveResult result = SavePictureToStore(picture, StoreRoot(), session_.SaveFormat,
                                           options_.clock, options_.jpegWriter);
    if (result.kind == SaveResult::Kind::Failed)
        ReportFailure(texts::kSaveFailed, result.reason, result.folder);
    return result.kind == SaveResult::Kind::Saved;
}

void frmMain::StoreClipboardPictureOnce() {
    // The picture lives only for the store: a large one is not kept for nothing.
    DibSurface picture;
    const Status read = ReadClipboardPicture(picture);
    if (read.code() == kErrorNoClipboardPicture) return;
    if (!read) {
        ReportFailure(texts::kSaveFailed, read.Text(), {});
        return;
    }
    StorePicture(picture);
}

void frmMain::SaveClipboardPicture() {
    // GetClipboardData lets the clipboard's owner render, and the messages sent meanwhile
    // are handled inside it: a click arriving then must not start a store inside this one.
    // It is counted, and runs when this one has finished.
    if (storing_) {
        ++pendingStores_;
        return;
    }
    storing_ = true;
    StoreClipboardPictureOnce();
    while (pendingStores_ > 0) {
        --pendingStores_;
        StoreClipboardPictureOnce();
    }
    storing_ = false;
}

void frmMain::mnu_cap_Click() {
    ShowCaptureWindow();
}

void frmMain::mnu_trovell_Click() {
    // Each opening makes a new window with state of its own.
    const auto forget = [this] {
        std::erase_if(browsers_, [](const std::unique_ptr<frmList>& b) { return !b->hwnd(); });
    };
    auto browser = std::make_unique<frmList>(
        frmList::Options{.appFolder = session_.appFolder,
                         .userName = session_.CurrentUserName,
                         .onDestroyed = [this, forget] { Later(forget); }});
    if (!browser->Open()) return;
    listWindow_ = browser->hwnd();
    browsers_.push_back(std::move(browser));
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
    session_.SaveFormat = saveFormat;
    session_.SaveMethod = saveMethod;
    SetMenuChecks();
    UpdateTrayTip();
    SaveSettingsNow();
}

void frmMain::SaveSettingsNow() {
    // Written at once, so that a crash or a power cut does not take the choice back.
    const Status saved = SettingsSave(session_);
    if (saved || settingsFailureShown_) return;
    settingsFailureShown_ = true;  // once: the same file fails the same way next time
    ReportFailure(texts::kSettingsNotSaved, saved.Text(), SettingsFilePath(session_.appFolder));
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
                (void)TrayAdd(trayRecord_);
                return 0;
            }
    }
    return Window::OnMessage(msg, wp, lp);
}

}  // namespace trovell
