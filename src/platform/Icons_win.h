#pragma once
#include "platform/Handles_win.h"
#include "platform/PixelArt.h"

namespace trovell {

UniqueIcon IconFromPixelMap(const art::PixelMap& map);
// A pointer is an icon with a hot spot; DestroyIcon frees it as well.
UniqueIcon CursorFromPixelMap(const art::PixelMap& map, int hotX, int hotY);

}  // namespace trovell
