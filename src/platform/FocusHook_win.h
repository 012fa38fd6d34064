#pragma once
// A check that runs before the keyboard focus leaves a window, as a text box's validation
// needs: the focus messages tell only after the focus has gone, when a message box or a
// refusal would come too late.
#include <windows.h>

#include <functional>

#include "platform/Status_win.h"

namespace trovell {

class FocusLeaveCheck {
public:
    // gaining: the window about to get the focus (null when none will). False keeps the
    // focus where it is.
    using Check = std::function<bool(HWND gaining)>;

    FocusLeaveCheck() = default;
    FocusLeaveCheck(const FocusLeaveCheck&) = delete;
    FocusLeaveCheck& operator=(const FocusLeaveCheck&) = delete;
    ~FocusLeaveCheck();

    // For a window of the calling thread; one window per check.
    Status Watch(HWND window, Check check);

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wp, LPARAM lp) noexcept;

    HWND window_ = nullptr;
    Check check_;
};

// The focus of a window with controls, kept as a dialog keeps it: the control that had it
// when the window was left gets it back, and the frame itself passes it on to that control,
// without the control's own focus rules running for such a return (restoring()).
class DialogFocus {
public:
    // fallback: the control that takes the focus when none had it.
    void SetFallback(HWND control) noexcept { fallback_ = control; }
    // Handles the frame's WM_ACTIVATE and WM_SETFOCUS; true when it did.
    bool OnMessage(HWND frame, UINT msg, WPARAM wp);
    bool restoring() const noexcept { return restoring_; }

private:
    void Restore(HWND control);

    HWND saved_ = nullptr;
    HWND fallback_ = nullptr;
    bool restoring_ = false;
};

}  // namespace trovell
