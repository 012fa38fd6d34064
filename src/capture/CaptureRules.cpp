#include "capture/CaptureRules.h"

#include <algorithm>

namespace trovell::capture {

Rect SelectionFrame(Point start, Point pointer) {
    Rect frame;
    if (start.x > pointer.x) {
        frame.left = pointer.x;
        frame.width = start.x - pointer.x;
    } else {
        frame.left = start.x;
        frame.width = pointer.x - start.x;
    }
    if (start.y > pointer.y) {
        frame.top = pointer.y;
        frame.height = start.y - pointer.y;
    } else {
        frame.top = start.y;
        frame.height = pointer.y - start.y;
    }
    return frame;
}

Point ClampToCanvas(Point pointer, Size canvas) {
    return {std::clamp(pointer.x, 0, std::max(canvas.width - 1, 0)),
            std::clamp(pointer.y, 0, std::max(canvas.height - 1, 0))};
}

bool HitsFrame(const Rect& frame, Point at) {
    return at.x >= frame.left && at.x < frame.right() && at.y >= frame.top && at.y < frame.bottom();
}

bool InDropZone(Point pointer, Point clientOrigin, const Rect& picture, const TwipsPerPixel& t) {
    // Twips of the screen: the same unit as the layout, so the picture's edges stay exact.
    const long long x = static_cast<long long>(pointer.x) * t.x;
    const long long y = static_cast<long long>(pointer.y) * t.y;
    const long long left = static_cast<long long>(clientOrigin.x) * t.x + picture.left;
    const long long top = static_cast<long long>(clientOrigin.y) * t.y + picture.top;
    return left < x && x < left + picture.width && top < y && y < top + picture.height;
}

}  // namespace trovell::capture
