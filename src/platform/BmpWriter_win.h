#pragma once
// Saving a picture as a 24-bit Windows bitmap file.
#include <windows.h>

#include <string>

#include "platform/Dib_win.h"

namespace trovell {

// Replaces any file at path. On failure returns false with the Win32 error code in *error
// (when error is given) and leaves no file of its own making behind.
bool SaveBmp(const DibSurface& picture, const std::wstring& path, DWORD* error);

}  // namespace trovell
