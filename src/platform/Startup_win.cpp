#include "platform/Startup_win.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

namespace trovell {

void EnsureCommonControls() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
        return ::InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)done;
}

bool EnsureOle() {
    // One thread runs every window; OleUninitialize is left to the process's end, when the
    // system releases what is left.
    static const HRESULT result = ::OleInitialize(nullptr);
    return SUCCEEDED(result);
}

}  // namespace trovell
