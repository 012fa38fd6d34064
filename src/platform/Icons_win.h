#pragma once
#include "platform/Handles_win.h"
#include "platform/PixelArt.h"

namespace trovell {

UniqueIcon IconFromPixelMap(const art::PixelMap& map);

}  // namespace trovell
