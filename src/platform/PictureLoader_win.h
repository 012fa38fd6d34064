#pragma once
// Loading a picture file (BMP, JPEG, PNG, GIF, TIFF, ICO) through the system's WIC decoders.
#include <string>

#include "platform/Dib_win.h"

namespace trovell {

// Decodes the first frame into target, which takes the picture's size. Transparent parts
// are laid over white, the colour of a fresh surface. On failure target is left unchanged.
bool LoadPicture(const std::wstring& path, DibSurface& target);

}  // namespace trovell
