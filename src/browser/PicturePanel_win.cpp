#include "browser/PicturePanel_win.h"

namespace trovell {

namespace {
constexpr wchar_t kClassName[] = L"TrovellPicture";

bool IsLabel(HWND child) {
    wchar_t name[16] = {};
    ::GetClassNameW(child, name, 16);
    return ::lstrcmpiW(name, L"Static") == 0;
}
}  // namespace

Status PicturePanel::Create(const PicturePanelParams& params) {
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

void PicturePanel::FitSurface() {
    if (!keepsDrawing_) return;
    RECT client;
    ::GetClientRect(hwnd(), &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    if (surface_.width() == client.right && surface_.height() == client.bottom) return;
    if (surface_.Resize(client.right, client.bottom)) Clear();
}

void PicturePanel::SetOuterSize(int width, int height) {
    RECT outer;
    ::GetWindowRect(hwnd(), &outer);
    if (outer.right - outer.left == width && outer.bottom - outer.top == height) return;
    ::SetWindowPos(hwnd(), nullptr, 0, 0, width, height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    FitSurface();
}

void PicturePanel::Clear() {
    if (!surface_.empty()) {
        RECT all{0, 0, surface_.width(), surface_.height()};
        ::FillRect(surface_.dc(), &all, backBrush_.get());
    }
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void PicturePanel::Paint(HDC dc, const RECT& dirty) const {
    ::FillRect(dc, &dirty, backBrush_.get());
    if (!surface_.empty())
        ::BitBlt(dc, 0, 0, surface_.width(), surface_.height(), surface_.dc(), 0, 0, SRCCOPY);
}

LRESULT PicturePanel::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND: return 1;  // WM_PAINT covers every pixel
        case WM_PAINT: {
            PaintDc paint(hwnd());
            Paint(paint.get(), paint.dirty());
            return 0;
        }
        case WM_CTLCOLORSTATIC:
            // Labels take the panel's colour; read-only and disabled text boxes keep theirs.
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

void PicturePanel::ShowFitted(const DibSurface& source) {
    if (surface_.empty() || source.empty()) return;
    // Halftone averages the pixels a shrink drops, so a large picture stays smooth.
    ::SetStretchBltMode(surface_.dc(), HALFTONE);
    ::SetBrushOrgEx(surface_.dc(), 0, 0, nullptr);
    ::StretchBlt(surface_.dc(), 0, 0, surface_.width(), surface_.height(), source.dc(), 0, 0,
                 source.width(), source.height(), SRCCOPY);
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

}  // namespace trovell
