#pragma once
// Fonts as the windows pick them: whether a face is there before asking for it, so that a
// missing one is never left to the font mapper.
#include <windows.h>

namespace trovell {

// The face is installed with glyphs of this character set.
bool FontFaceExists(const wchar_t* face, BYTE charset = DEFAULT_CHARSET);

}  // namespace trovell
