#include "platform/Pointer_win.h"

namespace trovell {

namespace {
HCURSOR gOverride = nullptr;  // the user-interface thread's only
}  // namespace

void SetPointerOverride(HCURSOR pointer) noexcept {
    gOverride = pointer;
}

HCURSOR PointerOverride() noexcept {
    return gOverride;
}

HCURSOR EffectivePointer(HCURSOR own) noexcept {
    if (gOverride) return gOverride;
    return own ? own : ::LoadCursorW(nullptr, IDC_ARROW);
}

}  // namespace trovell
