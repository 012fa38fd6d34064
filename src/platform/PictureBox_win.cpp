#include "platform/PictureBox_win.h"

#include <windowsx.h>

#include <algorithm>

namespace trovell {

namespace {
constexpr wchar_t kClassName[] = L"TrovellPictureBox";

bool IsLabel(HWND child) {
    wchar_t name[16] = {};
    ::GetClassNameW(child, name, 16);
    return ::lstrcmpiW(name, L"Static") == 0;
}
}  // namespace

void PaintPicture(HDC dc, const RECT& dirty, const DibSurface& picture, HBRUSH back) {
    // Only the dirty part is copied: the capture canvas is a whole screen, repainted a frame's
    // width at a time while the selection is drawn.
    const int w = picture.width(), h = picture.height();
    const int right = std::min<int>(dirty.right, w), bottom = std::min<int>(dirty.bottom, h);
    if (!picture.empty() && right > dirty.left && bottom > dirty.top)
        ::BitBlt(dc, dirty.left, dirty.top, right - dirty.left, bottom - dirty.top, picture.dc(),
                 dirty.left, dirty.top, SRCCOPY);
    if (dirty.right > w) {
        RECT beside{std::max<int>(dirty.left, w), dirty.top, dirty.right, dirty.bottom};
        ::FillRect(dc, &beside, back);
    }
    if (dirty.bottom > h) {
        RECT below{dirty.left, std::max<int>(dirty.top, h), std::min<int>(dirty.right, w),
                   dirty.bottom};
        if (below.right > below.left) ::FillRect(dc, &below, back);
    }
}

Status PictureBox::Create(const PictureBoxParams& params) {
    host_ = params.host;
    back_ = params.back;
    keepsDrawing_ = params.keepsDrawing;
    backBrush_.reset(::CreateSolidBrush(back_));
    DWORD style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (params.visible) style |= WS_VISIBLE;
    if (params.border) style |= WS_BORDER;
    const Rect& b = params.bounds;
    Status created = Window::Create({.className = kClassName,
                                     .style = style,
                                     .bounds = {b.left, b.top, b.width, b.height},
                                     .parent = params.parent});
    if (!created) return created;
    ::SetWindowLongPtrW(hwnd(), GWLP_ID, params.id);
    FitSurface();
    return {};
}

void PictureBox::FitSurface() {
    if (!keepsDrawing_) return;
    RECT client;
    ::GetClientRect(hwnd(), &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    if (surface_.width() == client.right && surface_.height() == client.bottom) return;
    if (surface_.Resize(client.right, client.bottom)) Clear();
}

void PictureBox::SetOuterSize(int width, int height) {
    RECT outer;
    ::GetWindowRect(hwnd(), &outer);
    if (outer.right - outer.left == width && outer.bottom - outer.top == height) return;
    ::SetWindowPos(hwnd(), nullptr, 0, 0, width, height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    FitSurface();
}

void PictureBox::Clear() {
    if (!surface_.empty()) {
        RECT all{0, 0, surface_.width(), surface_.height()};
        ::FillRect(surface_.dc(), &all, backBrush_.get());
    }
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void PictureBox::ShowFitted(const DibSurface& source) {
    if (surface_.empty() || source.empty()) return;
    // Halftone averages the pixels a shrink drops, so a large picture stays smooth.
    ::SetStretchBltMode(surface_.dc(), HALFTONE);
    ::SetBrushOrgEx(surface_.dc(), 0, 0, nullptr);
    ::StretchBlt(surface_.dc(), 0, 0, surface_.width(), surface_.height(), source.dc(), 0, 0,
                 source.width(), source.height(), SRCCOPY);
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void PictureBox::Paint(HDC dc, const RECT& dirty) {
    PaintPicture(dc, dirty, surface_, backBrush_.get());
    if (host_) host_->PictureBox_PaintOver(*this, dc);
}

LRESULT PictureBox::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND: return 1;  // Paint covers every pixel
        case WM_PAINT: {
            PaintDc paint(hwnd());
            Paint(paint.get(), paint.dirty());
            return 0;
        }
        case WM_PRINTCLIENT: {
            // Themed buttons ask their parent for the background this way; the browser's
            // panels, which hold them and have no host, have always left it to the button.
            if (!host_) break;
            RECT all;
            ::GetClientRect(hwnd(), &all);
            Paint(reinterpret_cast<HDC>(wp), all);
            return 0;
        }
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_CAPTURECHANGED:
            if (host_) {
                host_->PictureBox_Mouse(*this, msg, wp, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
                return 0;
            }
            break;
        case WM_KEYDOWN:
            if (host_) {
                host_->PictureBox_KeyDown(*this, wp);
                return 0;
            }
            break;
        case WM_SETCURSOR:
            if (host_ && LOWORD(lp) == HTCLIENT) {
                if (HCURSOR pointer = host_->PictureBox_Pointer(*this)) {
                    ::SetCursor(pointer);
                    return TRUE;
                }
            }
            break;
        case WM_CTLCOLORSTATIC:
            // Labels take the box's colour; read-only and disabled text boxes keep theirs.
            if (IsLabel(reinterpret_cast<HWND>(lp))) {
                ::SetBkColor(reinterpret_cast<HDC>(wp), back_);
                return reinterpret_cast<LRESULT>(backBrush_.get());
            }
            break;
        case WM_COMMAND:
        case WM_NOTIFY:
            // The handlers of every control live in the top-level window.
            return ::SendMessageW(::GetAncestor(hwnd(), GA_ROOT), msg, wp, lp);
    }
    return Window::OnMessage(msg, wp, lp);
}

}  // namespace trovell
