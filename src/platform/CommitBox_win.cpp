#include "platform/CommitBox_win.h"

#include <commctrl.h>

#include "platform/Window_win.h"

namespace trovell {

Status CommitBox::Attach(HWND box, Handlers handlers) {
    box_ = box;
    handlers_ = std::move(handlers);
    if (Status hooked = hook_.Attach(box); !hooked) return hooked;
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

LRESULT CommitBox::OnMessage(HWND box, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CHAR && wp == VK_RETURN) {
        Commit();
        if (!::IsWindow(box)) return 0;  // the commit closed the window
    } else if (msg == WM_CHAR && wp == VK_ESCAPE) {
        SetText(box, handlers_.committed());
    }
    return ::DefSubclassProc(box, msg, wp, lp);
}

}  // namespace trovell
