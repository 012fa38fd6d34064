#include "platform/ListDrag_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstdlib>
#include <utility>

namespace trovell {

namespace {
bool PastDragThreshold(POINT from, POINT to) {
    return std::abs(to.x - from.x) > ::GetSystemMetrics(SM_CXDRAG) ||
           std::abs(to.y - from.y) > ::GetSystemMetrics(SM_CYDRAG);
}
}  // namespace

bool ListDragStart::OnMouse(HWND list, UINT msg, WPARAM wp, LPARAM lp,
                            const std::function<void()>& drag) {
    const POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    switch (msg) {
        case WM_LBUTTONDOWN: {
            // A drag starts on an entry, not on the empty space below the last one.
            const LRESULT hit = ::SendMessageW(list, LB_ITEMFROMPOINT, 0, lp);
            const bool onEntry = HIWORD(hit) == 0 && ::SendMessageW(list, LB_GETCOUNT, 0, 0) > 0;
            armed_ = onEntry;
            deferred_ = false;
            at_ = at;
            // The list narrows the selection to the pressed entry at once; a press on an entry
            // already selected may be the start of dragging all of them, so the list sees it
            // only once it has turned out to be a click.
            if (onEntry && !(wp & (MK_SHIFT | MK_CONTROL)) &&
                ::SendMessageW(list, LB_GETSEL, LOWORD(hit), 0) > 0) {
                deferred_ = true;
                ::SetFocus(list);
                ::SetCapture(list);
                return true;
            }
            return false;
        }
        case WM_MOUSEMOVE: {
            if (!armed_) return false;
            if (!(wp & MK_LBUTTON)) {
                armed_ = false;
                return false;
            }
            // Small moves neither drag nor stretch the selection over more entries.
            if (!PastDragThreshold(at_, at)) return true;
            armed_ = false;
            if (deferred_)
                ::ReleaseCapture();
            else  // the list ends its own tracking of the button as it does on a release
                ::DefSubclassProc(list, WM_LBUTTONUP, 0, MAKELPARAM(at_.x, at_.y));
            drag();
            return true;
        }
        case WM_LBUTTONUP:
            if (!std::exchange(armed_, false) || !deferred_) return false;
            ::ReleaseCapture();
            // A click after all: the list gets the press it was spared, then this release.
            ::DefSubclassProc(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at_.x, at_.y));
            return false;
        case WM_CAPTURECHANGED:
            if (deferred_ && reinterpret_cast<HWND>(lp) != list) armed_ = false;
            return false;
    }
    return false;
}

}  // namespace trovell
