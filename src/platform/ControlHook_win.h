#pragma once
// A procedure of our own in front of a control's (a subclass): it sees the control's
// messages first and hands on, through DefSubclassProc, those it does not take. It leaves
// with the control.
#include <windows.h>

#include <functional>
#include <utility>

#include "platform/Status_win.h"

namespace trovell {

class ControlHook {
public:
    using Handler = std::function<LRESULT(HWND control, UINT msg, WPARAM wp, LPARAM lp)>;

    explicit ControlHook(Handler handler) : handler_(std::move(handler)) {}
    ControlHook(const ControlHook&) = delete;
    ControlHook& operator=(const ControlHook&) = delete;

    // One hook may stand in front of several controls.
    Status Attach(HWND control);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                 DWORD_PTR self) noexcept;

    Handler handler_;
};

}  // namespace trovell
