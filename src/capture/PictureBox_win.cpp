#include "capture/PictureBox_win.h"

#include <windowsx.h>

#include <algorithm>

#include "platform/Handles_win.h"

namespace trovell::capture {

namespace {
constexpr wchar_t kClassName[] = L"TrovellPictureBox";
}  // namespace

Status PictureBox::Create(HWND parent, const Rect& bounds, PictureBoxHost* host) {
    host_ = host;
    return Window::Create({.className = kClassName,
                           .caption = L"",
                           .style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                           .bounds = {bounds.left, bounds.top, bounds.width, bounds.height},
                           .parent = parent});
}

void PictureBox::Refresh() {
    if (!hwnd()) return;
    ::InvalidateRect(hwnd(), nullptr, FALSE);
    ::UpdateWindow(hwnd());
}

void PictureBox::Paint(HDC dc, const RECT& area) {
    const int w = surface_.width(), h = surface_.height();
    if (!surface_.empty()) {
        const int right = std::min<int>(area.right, w), bottom = std::min<int>(area.bottom, h);
        if (right > area.left && bottom > area.top)
            ::BitBlt(dc, area.left, area.top, right - area.left, bottom - area.top, surface_.dc(),
                     area.left, area.top, SRCCOPY);
    }
    const HBRUSH background = ::GetSysColorBrush(COLOR_WINDOW);
    if (area.right > w) {
        RECT beside{std::max<int>(area.left, w), area.top, area.right, area.bottom};
        ::FillRect(dc, &beside, background);
    }
    if (area.bottom > h) {
        RECT below{area.left, std::max<int>(area.top, h), std::min<int>(area.right, w),
                   area.bottom};
        if (below.right > below.left) ::FillRect(dc, &below, background);
    }
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
            if (host_) host_->PictureBox_KeyDown(*this, wp);
            return 0;
        case WM_SETCURSOR:
            if (host_ && LOWORD(lp) == HTCLIENT) {
                if (HCURSOR pointer = host_->PictureBox_Pointer(*this)) {
                    ::SetCursor(pointer);
                    return TRUE;
                }
            }
            break;
    }
    return Window::OnMessage(msg, wp, lp);
}

}  // namespace trovell::capture
