#include "platform/ControlHook_win.h"

#include <commctrl.h>

namespace trovell {

Status ControlHook::Attach(HWND control) {
    // Keyed by the hook, so that two hooks on one control stand side by side.
    if (!::SetWindowSubclass(control, &ControlHook::Proc, reinterpret_cast<UINT_PTR>(this),
                             reinterpret_cast<DWORD_PTR>(this)))
        return Status::LastError();
    return {};
}

LRESULT CALLBACK ControlHook::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                   DWORD_PTR self) noexcept {
    if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, &ControlHook::Proc, id);
        return ::DefSubclassProc(hwnd, msg, wp, lp);
    }
    try {
        return reinterpret_cast<ControlHook*>(self)->handler_(hwnd, msg, wp, lp);
    } catch (...) {
        return 0;
    }
}

}  // namespace trovell
