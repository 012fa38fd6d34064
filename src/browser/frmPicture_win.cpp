#include "browser/frmPicture_win.h"

#include <windowsx.h>

#include "browser/BrowserRules.h"
#include "platform/Handles_win.h"
#include "platform/Input_win.h"
#include "platform/PictureBox_win.h"
#include "platform/ScreenMetrics_win.h"

namespace trovell {

namespace {
constexpr wchar_t kClassName[] = L"TrovellViewer";
// Overwritten by the first opening.
constexpr Rect kDesignTwips{0, 0, 4185, 3570};
}  // namespace

frmPicture& frmPicture::Viewer() {
    static frmPicture viewer;
    return viewer;
}

Status frmPicture::Load() {
    if (Loaded()) return {};
    const Rect design = TwipsToPixels(kDesignTwips, ScreenTwipsPerPixel());
    // Made as an overlapped window, whose default place is the system's cascade (a popup's
    // is the screen's corner), and only then stripped of its frame.
    if (Status made =
            Create({.className = kClassName,
                    .style = WS_OVERLAPPED,
                    .exStyle = WS_EX_APPWINDOW,
                    .bounds = {CW_USEDEFAULT, CW_USEDEFAULT, design.width, design.height}});
        !made)
        return made;
    ::SetWindowLongPtrW(hwnd(), GWL_STYLE, WS_POPUP | WS_CLIPSIBLINGS);
    ::SetWindowPos(hwnd(), nullptr, 0, 0, design.width, design.height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return {};
}

void frmPicture::Unload() {
    if (Loaded()) ::DestroyWindow(hwnd());
}

void frmPicture::OnDestroyed() {
    image_ = DibSurface();  // a large picture's memory goes with the window
}

Status frmPicture::SizeImage(Size size) {
    if (!image_.Resize(size.width, size.height)) return Status::LastError();
    RECT all{0, 0, size.width, size.height};
    ::FillRect(image_.dc(), &all, ::GetSysColorBrush(COLOR_BTNFACE));
    return {};
}

void frmPicture::SetOuterSize(Size size) {
    ::SetWindowPos(hwnd(), nullptr, 0, 0, size.width, size.height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmPicture::Refresh() {
    ::InvalidateRect(hwnd(), nullptr, FALSE);
    ::UpdateWindow(hwnd());
}

void frmPicture::SetCaption(const std::wstring& caption) {
    SetText(hwnd(), caption);
}

void frmPicture::Show() {
    ::ShowWindow(hwnd(), SW_SHOW);
    ::SetForegroundWindow(hwnd());
    ::SetFocus(hwnd());
}

Status frmPicture::ShowPicture(const DibSurface& picture, Size emptySize,
                               const std::wstring& caption) {
    const bool existed = Loaded();
    if (Status loaded = Load(); !loaded) return loaded;
    const Size size = picture.empty() ? emptySize : Size{picture.width(), picture.height()};
    if (Status held = SizeImage(size); !held) {
        if (!existed) Unload();
        return held;
    }
    RECT outer, inner;
    ::GetWindowRect(hwnd(), &outer);
    ::GetClientRect(hwnd(), &inner);
    SetOuterSize({(outer.right - outer.left) - inner.right + size.width,
                  (outer.bottom - outer.top) - inner.bottom + size.height});
    Refresh();
    if (!picture.empty())
        ::BitBlt(image_.dc(), 0, 0, size.width, size.height, picture.dc(), 0, 0, SRCCOPY);
    Refresh();
    SetCaption(caption);
    Show();
    return {};
}

void frmPicture::Form_KeyDown(int keyCode, int, bool repeated) {
    // The Enter that opened the viewer from the list, held down, repeats here: it must not
    // close it again at once.
    if (keyCode == VK_RETURN && !repeated) Unload();
}

void frmPicture::Form_MouseDown(int button, int, int, int) {
    if (button == kRightButton) Unload();
}

void frmPicture::Form_MouseMove(int button, int, int, int) {
    if (!(button & kLeftButton) || !leftPressed_) return;
    // Only while the button is really down: a move loop started on a stale or synthesised
    // message would hold the mouse until a release that does not come.
    const int left = ::GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    if (::GetAsyncKeyState(left) >= 0) return;
    leftPressed_ = false;  // the move loop takes the release
    // The system's own move loop, as for a press on a title bar; it follows the pointer
    // until the button is released.
    ::ReleaseCapture();
    const DWORD at = ::GetMessagePos();
    ::SendMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, static_cast<LPARAM>(at));
}

LRESULT frmPicture::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PaintDc paint(hwnd());
            PaintPicture(paint.get(), paint.dirty(), image_, ::GetSysColorBrush(COLOR_BTNFACE));
            return 0;
        }
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            Form_KeyDown(static_cast<int>(wp), ShiftNow(), (lp & (1 << 30)) != 0);
            if (!Loaded()) return 0;
            break;
        }
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED: leftPressed_ = false; break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            if (msg == WM_LBUTTONDOWN) leftPressed_ = true;
            Form_MouseDown(msg == WM_LBUTTONDOWN ? kLeftButton : kRightButton, ShiftOfMouse(wp),
                           GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return 0;
        case WM_MOUSEMOVE:
            Form_MouseMove(ButtonsOfMouse(wp), ShiftOfMouse(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return 0;
        case WM_GETMINMAXINFO: {
            // Exactly the picture's size, however small or large.
            auto* info = reinterpret_cast<MINMAXINFO*>(lp);
            info->ptMinTrackSize = {1, 1};
            info->ptMaxTrackSize = {0x7FFF, 0x7FFF};
            return 0;
        }
        case WM_CLOSE: Unload(); return 0;
    }
    return Window::OnMessage(msg, wp, lp);
}

}  // namespace trovell
