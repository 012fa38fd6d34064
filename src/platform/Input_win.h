#pragma once
// The key and mouse state of a message, in the bits of platform/InputState.h.
#include <windows.h>

#include "platform/InputState.h"

namespace trovell {

// Shift, Ctrl and Alt held now, as a key event reports them.
int ShiftNow();
// The same for a mouse message: Shift and Ctrl from its key flags, Alt (which they lack) now.
int ShiftOfMouse(WPARAM keys);
// The buttons a mouse message's key flags hold.
int ButtonsOfMouse(WPARAM keys);
// The button a press or release message is about; 0 for any other message.
int ButtonOfMessage(UINT msg);

}  // namespace trovell
