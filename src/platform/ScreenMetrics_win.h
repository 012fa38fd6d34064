#pragma once
// The screen's twips-per-pixel factors: the one place layouts in twips meet real pixels.
#include <windows.h>

#include <vector>

#include "platform/Geometry.h"

namespace trovell {

// 1440 / the screen's logical dots per inch on each axis, as whole numbers (15 at 96 dpi).
TwipsPerPixel ScreenTwipsPerPixel();

// Every monitor of the desktop, the primary first; empty when the system lists none.
std::vector<Monitor> DisplayMonitors();

inline RECT ToRect(const Rect& r) { return {r.left, r.top, r.right(), r.bottom()}; }
inline Rect FromRect(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

}  // namespace trovell
