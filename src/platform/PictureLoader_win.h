#pragma once
// Loading a picture file (BMP, JPEG, PNG, GIF, TIFF, ICO) through the system's WIC decoders.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Dib_win.h"

namespace trovell {

// Decodes the first frame into target, which takes the picture's size. Transparent parts
// are laid over white, the colour of a fresh surface. On failure target is left unchanged.
bool LoadPicture(const std::wstring& path, DibSurface& target);
// The same for a picture file's bytes in memory (a "PNG" on the clipboard).
bool LoadPictureFromMemory(const uint8_t* data, size_t size, DibSurface& target);

}  // namespace trovell
