#pragma once
// Base of every window: owns the static window procedure, ties the HWND to its object from
// WM_NCCREATE to WM_NCDESTROY, and keeps exceptions out of the system's call stack.
#include <windows.h>

#include <deque>
#include <functional>
#include <string>

#include "platform/Geometry.h"
#include "platform/Status_win.h"

namespace trovell {

struct WindowParams {
    const wchar_t* className = nullptr;
    const wchar_t* caption = L"";
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    RECT bounds{CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};  // left, top, width, height
    HWND parent = nullptr;
    // A client area of this size, in pixels: the frame's size is made from it and the style.
    Size client{};
    bool centred = false;  // on the primary screen
};

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hwnd() const noexcept { return hwnd_; }

protected:
    // The class is registered on first use, without an icon: a window that has one sets its
    // own (WM_SETICON), so no class holds an icon some window object destroys.
    Status Create(const WindowParams& params);
    virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    // Runs after the window is gone (WM_NCDESTROY); the object may then be deleted.
    virtual void OnDestroyed() {}
    // Runs work from a message of its own, once the message being handled and those before
    // it are done: where the work would otherwise run inside a notification or a child's
    // message that it ends. Dropped if the window goes first.
    void Later(std::function<void()> work);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    HWND hwnd_ = nullptr;
    std::deque<std::function<void()>> later_;
};

HINSTANCE ModuleInstance() noexcept;

// A child control from one description: WS_CHILD is added, and the font, if any, is set.
struct ControlParams {
    const wchar_t* className = nullptr;
    const wchar_t* text = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;
    int id = 0;
    Rect bounds;  // pixels in the parent's client area
    HFONT font = nullptr;
};
HWND CreateControl(const ControlParams& params);

std::wstring WindowText(HWND hwnd);
void SetText(HWND hwnd, const std::wstring& text);

// Hands a message straight to the control's own procedure, past the procedures that subclass
// it (a tooltip's, our own): for filling a control with thousands of items that none of them
// looks at. Under Wine each message through a subclass chain asks the server for a window
// property; ten thousand list box names took 100 to 200 ms that way instead of 3.
LRESULT SendPastSubclasses(HWND control, UINT msg, WPARAM wp, LPARAM lp) noexcept;

}  // namespace trovell
