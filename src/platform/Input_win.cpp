#include "platform/Input_win.h"

namespace trovell {

namespace {
int AltNow() { return ::GetKeyState(VK_MENU) < 0 ? kAltMask : 0; }
}  // namespace

int ShiftNow() {
    return (::GetKeyState(VK_SHIFT) < 0 ? kShiftMask : 0) |
           (::GetKeyState(VK_CONTROL) < 0 ? kCtrlMask : 0) | AltNow();
}

int ShiftOfMouse(WPARAM keys) {
    return ((keys & MK_SHIFT) ? kShiftMask : 0) | ((keys & MK_CONTROL) ? kCtrlMask : 0) | AltNow();
}

int ButtonsOfMouse(WPARAM keys) {
    return ((keys & MK_LBUTTON) ? kLeftButton : 0) | ((keys & MK_RBUTTON) ? kRightButton : 0) |
           ((keys & MK_MBUTTON) ? kMiddleButton : 0);
}

int ButtonOfMessage(UINT msg) {
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP: return kLeftButton;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP: return kRightButton;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP: return kMiddleButton;
        default: return 0;
    }
}

}  // namespace trovell
