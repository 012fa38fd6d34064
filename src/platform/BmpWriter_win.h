#pragma once
// Saving a picture as a 24-bit Windows bitmap file.
#include <windows.h>

#include <string>

#include "platform/Dib_win.h"
#include "platform/Status_win.h"

namespace trovell {

// Replaces any file at path, flushed to the disk before it returns. A failure leaves no file
// of its own making behind.
Status SaveBmp(const DibSurface& picture, const std::wstring& path);

}  // namespace trovell
