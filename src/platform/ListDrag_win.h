#pragma once
// Telling a drag of a list box's entries from a click on them, for a list with extended
// selection. Its messages are handed in from the list's subclass procedure.
#include <windows.h>

#include <functional>

namespace trovell {

class ListDragStart {
public:
    // True when the message belongs to a drag rather than to the list; drag runs once the
    // pointer has moved past the drag threshold with the left button down on an entry.
    bool OnMouse(HWND list, UINT msg, WPARAM wp, LPARAM lp, const std::function<void()>& drag);

private:
    bool armed_ = false;     // the left button went down on an entry
    bool deferred_ = false;  // the list has not seen that press yet
    POINT at_{};
};

}  // namespace trovell
