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

}  // namespace trovell
