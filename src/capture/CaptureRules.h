#pragma once
// The capture's arithmetic: the selection frame on the frozen screen, the drop zone of the
// drop window, and the drop window's layout in twips.
#include "platform/Geometry.h"

namespace trovell::capture {

// The frame between the fixed corner where the press was and the pointer, whichever way the
// pointer went. On the start line that side is 0 wide.
Rect SelectionFrame(Point start, Point pointer);

// The pointer held to the canvas: with a second screen it can leave the one that was frozen,
// and a frame beyond the frozen picture would carry pixels nobody saw.
Point ClampToCanvas(Point pointer, Size canvas);

// A windowless image takes the mouse anywhere inside its area; an empty one nowhere.
bool HitsFrame(const Rect& frame, Point at);

// Whether a drag with the pointer at `pointer` (screen pixels) is over the drop picture, which
// lies at `picture` (twips) in a client area whose origin is at `clientOrigin` on the screen.
// The carrier is centred on the pointer, so its centre is the pointer. All four edges are
// strict: a pointer on the picture's outline is not over it.
bool InDropZone(Point pointer, Point clientOrigin, const Rect& picture, const TwipsPerPixel& t);

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
