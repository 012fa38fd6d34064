#pragma once
// Fonts as the windows pick them: whether a face is there before asking for it, so that a
// missing one is never left to the font mapper.
#include <windows.h>

#include "platform/Handles_win.h"

namespace trovell {

// The face is installed with glyphs of this character set.
bool FontFaceExists(const wchar_t* face, BYTE charset = DEFAULT_CHARSET);

// A face at a size in points on the screen.
UniqueFont CreatePointFont(const wchar_t* face, int points, int weight, BYTE charset);
// The system's font for message boxes, or the GUI font where it cannot be asked.
LOGFONTW MessageFont();

}  // namespace trovell
