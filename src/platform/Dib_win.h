#pragma once
// A picture that keeps its drawing: a 32-bpp top-down DIB section selected into a memory DC
// of its own, so GDI can draw into it and the pixels can be read directly.
#include <windows.h>

#include <cstdint>

#include "platform/Handles_win.h"

namespace trovell {

class DibSurface {
public:
    DibSurface() noexcept = default;
    DibSurface(DibSurface&& other) noexcept;
    DibSurface& operator=(DibSurface&& other) noexcept;
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;
    ~DibSurface() = default;

    // None: for a caller that overwrites every pixel at once (a copy of the same size), which
    // a white fill would only delay (about 2 ms for a 1920 x 1080 screen).
    enum class Fill { White, None };
    // A new white picture of this size; the DC stays the same. On failure (non-positive or
    // too large a size, out of memory) the surface keeps its old picture and returns false.
    bool Resize(int width, int height, Fill fill = Fill::White);

    HDC dc() const noexcept { return dc_.get(); }
    HBITMAP bitmap() const noexcept { return bitmap_.get(); }
    int width() const noexcept { return width_; }
    int height() const noexcept { return height_; }
    bool empty() const noexcept { return !bitmap_; }

    // 0x00RRGGBB, row-major, top row first; width() * height() values. Pending GDI drawing is
    // flushed first, since GDI may batch calls that touch these bits.
    uint32_t* bits() noexcept;
    const uint32_t* bits() const noexcept;

private:
    // Declared before dc_ so that the DC is deleted first and never holds a deleted bitmap.
    UniqueBitmap bitmap_;
    UniqueDc dc_;
    uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace trovell
