#include "platform/Window_win.h"

#include <utility>

namespace trovell {

namespace {
constexpr UINT kMsgLater = WM_APP + 0x3FFF;
}  // namespace

HINSTANCE ModuleInstance() noexcept {
    return ::GetModuleHandleW(nullptr);
}

LRESULT SendPastSubclasses(HWND control, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    const auto own = reinterpret_cast<WNDPROC>(::GetClassLongPtrW(control, GCLP_WNDPROC));
    return own ? ::CallWindowProcW(own, control, msg, wp, lp)
               : ::SendMessageW(control, msg, wp, lp);
}

Window::~Window() {
    if (hwnd_) {
        // Detach first so the destruction messages no longer reach a half-destroyed object.
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        ::DestroyWindow(std::exchange(hwnd_, nullptr));
    }
}

Status Window::Create(const WindowParams& params) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExW(ModuleInstance(), params.className, &wc)) {
        wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &Window::Proc;
        wc.hInstance = ModuleInstance();
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = params.className;
        if (!::RegisterClassExW(&wc)) return Status::LastError();
    }
    RECT b = params.bounds;
    if (params.client.width > 0) {
        RECT outer{0, 0, params.client.width, params.client.height};
        ::AdjustWindowRectEx(&outer, params.style, FALSE, params.exStyle);
        b.right = outer.right - outer.left;
        b.bottom = outer.bottom - outer.top;
    }
    if (params.centred) {
        b.left = (::GetSystemMetrics(SM_CXSCREEN) - b.right) / 2;
        b.top = (::GetSystemMetrics(SM_CYSCREEN) - b.bottom) / 2;
    }
    HWND hwnd =
        ::CreateWindowExW(params.exStyle, params.className, params.caption, params.style, b.left,
                          b.top, b.right, b.bottom, params.parent, nullptr, ModuleInstance(), this);
    return hwnd ? Status() : Status::LastError();
}

void Window::Later(std::function<void()> work) {
    if (!hwnd_) return;
    later_.push_back(std::move(work));
    if (!::PostMessageW(hwnd_, kMsgLater, 0, 0)) later_.pop_back();
}

LRESULT Window::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
    LRESULT result = 0;
    try {
        if (msg == kMsgLater && !self->later_.empty()) {
            const std::function<void()> work = std::move(self->later_.front());
            self->later_.pop_front();
            work();  // it may end the window, and the object with it
            return 0;
        }
        result = self->OnMessage(msg, wp, lp);
    } catch (...) {
        // Nothing may unwind through the system; the message simply falls back to default.
        result = ::DefWindowProcW(hwnd, msg, wp, lp);
    }
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnDestroyed();
    }
    return result;
}

HWND CreateControl(const ControlParams& p) {
    const Rect& r = p.bounds;
    HWND control = ::CreateWindowExW(
        p.exStyle, p.className, p.text, WS_CHILD | p.style, r.left, r.top, r.width, r.height,
        p.parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(p.id)), ModuleInstance(), nullptr);
    if (control && p.font) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(p.font), 0);
    return control;
}

void SetText(HWND hwnd, const std::wstring& text) {
    ::SetWindowTextW(hwnd, text.c_str());
}

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace trovell
