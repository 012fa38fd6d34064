#pragma once
// A procedure of our own in front of a control's (a subclass): it sees the control's
// messages first and hands on, through DefSubclassProc, those it does not take. It leaves
// with the control.
#include <windows.h>

#include <functional>

#include "platform/Status_win.h"

namespace trovell {

class ControlHook {
public:
    using Handler = std::function<LRESULT(HWND control, UINT msg, WPARAM wp, LPARAM lp)>;

    ControlHook() = default;
    ControlHook(const ControlHook&) = delete;
    ControlHook& operator=(const ControlHook&) = delete;

    // One hook may stand in front of several controls, with one handler.
    Status Attach(HWND control, Handler handler);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                 DWORD_PTR self) noexcept;

    Handler handler_;
};

}  // namespace trovell
