#include "capture/CaptureRules.h"

#include <algorithm>
#include <climits>

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

namespace {

bool Within(const Rect& inner, const Rect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right() <= outer.right() &&
           inner.bottom() <= outer.bottom();
}

// Squared distance from a point to the nearest pixel of a rectangle.
long long DistanceSquared(const Rect& r, Point p) {
    const long long dx = p.x < r.left ? r.left - p.x : p.x >= r.right() ? p.x - r.right() + 1 : 0;
    const long long dy = p.y < r.top ? r.top - p.y : p.y >= r.bottom() ? p.y - r.bottom() + 1 : 0;
    return dx * dx + dy * dy;
}

Point Centre(const Rect& r) { return {r.left + r.width / 2, r.top + r.height / 2}; }

}  // namespace

Rect Bounding(std::span<const Monitor> monitors) {
    if (monitors.empty()) return {};
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (const Monitor& m : monitors) {
        left = std::min(left, m.area.left);
        top = std::min(top, m.area.top);
        right = std::max(right, m.area.right());
        bottom = std::max(bottom, m.area.bottom());
    }
    return {left, top, right - left, bottom - top};
}

std::vector<Rect> Uncovered(const Rect& area, std::span<const Monitor> monitors) {
    // Bands between every horizontal edge; within a band each monitor covers one run of
    // columns, and what lies between the runs is uncovered.
    std::vector<int> edges{area.top, area.bottom()};
    for (const Monitor& m : monitors)
        for (int y : {m.area.top, m.area.bottom()})
            if (y > area.top && y < area.bottom()) edges.push_back(y);
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    std::vector<Rect> gaps;
    for (std::size_t band = 0; band + 1 < edges.size(); ++band) {
        const int top = edges[band], bottom = edges[band + 1];
        std::vector<std::pair<int, int>> runs;
        for (const Monitor& m : monitors)
            if (m.area.top <= top && m.area.bottom() >= bottom && m.area.width > 0)
                runs.emplace_back(m.area.left, m.area.right());
        std::sort(runs.begin(), runs.end());
        int x = area.left;
        auto gap = [&](int to) {
            to = std::min(to, area.right());
            if (to <= x) return;
            // A gap just like the one above it, in the band above, grows down instead.
            Rect* above = nullptr;
            for (Rect& g : gaps)
                if (g.bottom() == top && g.left == x && g.right() == to) above = &g;
            if (above)
                above->height += bottom - top;
            else
                gaps.push_back({x, top, to - x, bottom - top});
        };
        for (const auto& [left, right] : runs) {
            gap(left);
            x = std::max(x, right);
        }
        gap(area.right());
    }
    return gaps;
}

std::size_t MonitorAt(std::span<const Monitor> monitors, Point at) {
    std::size_t nearest = 0;
    long long best = LLONG_MAX;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        if (HitsFrame(monitors[i].area, at)) return i;  // the same half-open test
        const long long d = DistanceSquared(monitors[i].area, at);
        if (d < best) best = d, nearest = i;
    }
    return nearest;
}

Rect DropWindowPlace(const Rect& window, std::span<const Monitor> monitors, Point dragStart) {
    if (monitors.empty()) return window;
    const Rect& to = monitors[MonitorAt(monitors, dragStart)].work;
    if (Within(window, to)) return window;
    const Rect& from = monitors[MonitorAt(monitors, Centre(window))].work;
    Rect placed = window;
    placed.left = to.left + (window.left - from.left);
    placed.top = to.top + (window.top - from.top);
    placed.left = std::max(std::min(placed.left, to.right() - window.width), to.left);
    placed.top = std::max(std::min(placed.top, to.bottom() - window.height), to.top);
    return placed;
}

}  // namespace trovell::capture
