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

// The wait pointer for as long as it lives, for work that keeps the thread from its messages;
// then the pointer there was before.
class WaitPointer {
public:
    WaitPointer() noexcept : before_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    WaitPointer(const WaitPointer&) = delete;
    WaitPointer& operator=(const WaitPointer&) = delete;
    ~WaitPointer() { ::SetCursor(before_); }

private:
    HCURSOR before_;
};

}  // namespace trovell
