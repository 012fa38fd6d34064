#pragma once
#include <initializer_list>

#include "platform/Handles_win.h"
#include "platform/PixelArt.h"

namespace trovell {

UniqueIcon IconFromPixelMap(const art::PixelMap& map);
// A pointer is an icon with a hot spot; DestroyIcon frees it as well.
UniqueIcon CursorFromPixelMap(const art::PixelMap& map, int hotX, int hotY);
// An image list of the maps in order, each of the given size; empty if any could not go in.
UniqueImageList ImageListFromPixelMaps(int width, int height,
                                       std::initializer_list<const art::PixelMap*> maps);

}  // namespace trovell
