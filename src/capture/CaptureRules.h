#pragma once
// The capture's arithmetic: the selection frame on the frozen screen, the drop zone of the
// drop window, and the drop window's layout in twips.
#include <cstddef>
#include <span>
#include <vector>

#include "platform/Geometry.h"

namespace trovell::capture {

// The frame between the fixed corner where the press was and the pointer, whichever way the
// pointer went. On the start line that side is 0 wide.
Rect SelectionFrame(Point start, Point pointer);

// The pointer held to the canvas, which covers the virtual screen: a position reported beyond
// it (a monitor added since the freeze) would give a frame of pixels nobody saw.
Point ClampToCanvas(Point pointer, Size canvas);

// A windowless image takes the mouse anywhere inside its area; an empty one nowhere.
bool HitsFrame(const Rect& frame, Point at);

// Whether a drag with the pointer at `pointer` (screen pixels) is over the drop picture, which
// lies at `picture` (twips) in a client area whose origin is at `clientOrigin` on the screen.
// The carrier is centred on the pointer, so its centre is the pointer. All four edges are
// strict: a pointer on the picture's outline is not over it.
bool InDropZone(Point pointer, Point clientOrigin, const Rect& picture, const TwipsPerPixel& t);

// ---------------------------------------------------------------- several monitors
// Screen pixels of the virtual screen: the primary monitor's top left is (0, 0), and a monitor
// left of or above it lies at negative coordinates.

// The smallest rectangle that holds every monitor; empty without monitors.
Rect Bounding(std::span<const Monitor> monitors);

// The parts of `area` that no monitor shows, as rectangles that do not overlap: the frozen
// picture is black there, where the screen copy could hold anything.
std::vector<Rect> Uncovered(const Rect& area, std::span<const Monitor> monitors);

// The monitor that holds `at`, or else the nearest one, as the system picks for a point off
// every monitor. Needs at least one monitor.
std::size_t MonitorAt(std::span<const Monitor> monitors, Point at);

// Where the drop window (`window`, screen pixels) belongs for a drag that starts at
// `dragStart`: on that monitor, at the place within its work area that it has within the work
// area of the monitor it is on now, moved just enough to lie wholly inside; a window larger
// than the work area keeps its top left corner in it. Where it already lies wholly in that
// work area, it stays.
Rect DropWindowPlace(const Rect& window, std::span<const Monitor> monitors, Point dragStart);

// The drop window, in twips of its client area.
namespace layout {
inline constexpr Rect kClient{0, 0, 2715, 1425};
inline constexpr Rect kImage1{150, 60, 2445, 1275};
inline constexpr Rect kLabel1{180, 570, 2355, 435};
inline constexpr int kLabelPoints = 12;
inline constexpr int kLabelWeight = 700;
inline constexpr int kLabelCharset = 128;  // Shift-JIS
}  // namespace layout

}  // namespace trovell::capture
