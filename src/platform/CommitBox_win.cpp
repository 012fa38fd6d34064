#include "platform/CommitBox_win.h"

#include <commctrl.h>

#include "platform/Window_win.h"

namespace trovell {

Status CommitBox::Attach(HWND box, Handlers handlers) {
    box_ = box;
    handlers_ = std::move(handlers);
    if (!::SetWindowSubclass(box, &CommitBox::Proc, 0, reinterpret_cast<DWORD_PTR>(this)))
        return Status::LastError();
    // Not the focus going to a message box, to another window, or away as the window closes.
    return leave_.Watch(box, [this](HWND gaining) {
        if (!gaining || ::GetAncestor(gaining, GA_ROOT) != ::GetAncestor(box_, GA_ROOT))
            return true;
        return Commit();
    });
}

bool CommitBox::Commit() {
    if (committing_) return true;
    committing_ = true;
    const bool kept = handlers_.commit();
    committing_ = false;
    return kept;
}

LRESULT CALLBACK CommitBox::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                 DWORD_PTR self) noexcept {
    auto* box = reinterpret_cast<CommitBox*>(self);
    try {
        if (msg == WM_NCDESTROY) {
            ::RemoveWindowSubclass(hwnd, &CommitBox::Proc, id);
        } else if (msg == WM_CHAR && wp == VK_RETURN) {
            box->Commit();
            if (!::IsWindow(hwnd)) return 0;  // the commit closed the window
        } else if (msg == WM_CHAR && wp == VK_ESCAPE) {
            SetText(hwnd, box->handlers_.committed());
        }
    } catch (...) {
        return 0;
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace trovell
