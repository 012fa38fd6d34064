#pragma once
// The application-wide pointer: while one is set it shows over every window of the process in
// place of the window's own, as the windows consult it when the system asks for a pointer.
#include <windows.h>

namespace trovell {

// nullptr: no override, every window shows its own pointer.
void SetPointerOverride(HCURSOR pointer) noexcept;
HCURSOR PointerOverride() noexcept;

// The override if there is one, else the window's own pointer, else the arrow.
HCURSOR EffectivePointer(HCURSOR own) noexcept;

}  // namespace trovell
