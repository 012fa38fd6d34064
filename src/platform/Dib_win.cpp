#include "platform/Dib_win.h"

#include <algorithm>
#include <utility>

namespace trovell {

DibSurface::DibSurface(DibSurface&& other) noexcept
    : bitmap_(std::move(other.bitmap_)),
      dc_(std::move(other.dc_)),
      bits_(std::exchange(other.bits_, nullptr)),
      width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)) {}

DibSurface& DibSurface::operator=(DibSurface&& other) noexcept {
    if (this != &other) {
        dc_.reset();  // before the bitmap it holds
        bitmap_ = std::move(other.bitmap_);
        dc_ = std::move(other.dc_);
        bits_ = std::exchange(other.bits_, nullptr);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
    }
    return *this;
}

bool DibSurface::Resize(int width, int height, Fill fill) {
    if (width <= 0 || height <= 0) return false;
    // Four bytes a pixel must stay addressable in a 32-bit process.
    if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > 0x7FFFFFFF / 4) {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    if (!dc_) {
        dc_.reset(::CreateCompatibleDC(nullptr));
        if (!dc_) return false;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: row 0 is the top row
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return false;
    // The memory DC's own 1x1 stock bitmap comes back on the first swap and needs no delete.
    ::SelectObject(dc_.get(), bitmap.get());
    bitmap_ = std::move(bitmap);
    bits_ = static_cast<uint32_t*>(bits);
    width_ = width;
    height_ = height;
    if (fill == Fill::White) std::fill_n(bits_, static_cast<size_t>(width) * height, 0x00FFFFFFu);
    return true;
}

uint32_t* DibSurface::bits() noexcept {
    ::GdiFlush();
    return bits_;
}

const uint32_t* DibSurface::bits() const noexcept {
    ::GdiFlush();
    return bits_;
}

}  // namespace trovell
