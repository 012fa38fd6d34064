#include "platform/BmpFormat.h"

#include <algorithm>
#include <limits>

namespace trovell {

namespace {

// Windows' default for a saved bitmap: 72 dpi expressed in pixels per metre.
constexpr int32_t kPixelsPerMetre = 2835;
constexpr uint32_t kCoreHeaderSize = 12;

void Put16(std::vector<uint8_t>& out, size_t at, uint16_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool DepthFits(uint32_t compression, uint16_t bitCount) {
    switch (compression) {
        case kBiRgb:
            return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
                   bitCount == 24 || bitCount == 32;
        case kBiBitfields:
        case kBiAlphaBitfields: return bitCount == 16 || bitCount == 32;
        case kBiRle8: return bitCount == 8;
        case kBiRle4: return bitCount == 4;
        default: return false;  // JPEG and PNG inside a DIB are for printers only
    }
}

}  // namespace

namespace {
uint64_t Stride64(int width, int bitCount) {
    return (static_cast<uint64_t>(width) * static_cast<uint64_t>(bitCount) + 31) / 32 * 4;
}
}  // namespace

size_t DibStride(int width, int bitCount) {
    return static_cast<size_t>(Stride64(width, bitCount));
}

std::vector<uint8_t> BmpHeaders24(int width, int height) {
    if (width <= 0 || height <= 0) return {};
    const uint64_t imageSize = Stride64(width, 24) * static_cast<uint64_t>(height);
    const size_t offset = kBmpFileHeaderSize + kBmpInfoHeaderSize;
    if (imageSize + offset > 0xFFFFFFFFu) return {};  // the size fields are 32 bits
    std::vector<uint8_t> out(offset, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, static_cast<uint32_t>(offset + imageSize));
    Put32(out, 10, static_cast<uint32_t>(offset));

    const size_t h = kBmpFileHeaderSize;
    Put32(out, h + 0, kBmpInfoHeaderSize);
    Put32(out, h + 4, static_cast<uint32_t>(width));
    Put32(out, h + 8, static_cast<uint32_t>(height));  // positive: bottom row first
    Put16(out, h + 12, 1);
    Put16(out, h + 14, 24);
    Put32(out, h + 16, kBiRgb);
    Put32(out, h + 20, static_cast<uint32_t>(imageSize));
    Put32(out, h + 24, kPixelsPerMetre);
    Put32(out, h + 28, kPixelsPerMetre);
    return out;
}

void EncodeBmpRows24(const uint32_t* pixels, int width, int height, int firstRow, int rows,
                     uint8_t* out) {
    const size_t stride = DibStride(width, 24);
    for (int y = firstRow; y < firstRow + rows; ++y) {
        const uint32_t* src = pixels + static_cast<size_t>(height - 1 - y) * width;
        uint8_t* dst = out + static_cast<size_t>(y - firstRow) * stride;
        for (int x = 0; x < width; ++x) {
            const uint32_t c = src[x];
            *dst++ = static_cast<uint8_t>(c);
            *dst++ = static_cast<uint8_t>(c >> 8);
            *dst++ = static_cast<uint8_t>(c >> 16);
        }
        for (size_t pad = static_cast<size_t>(width) * 3; pad < stride; ++pad) *dst++ = 0;
    }
}

std::vector<uint8_t> EncodeBmp24(const uint32_t* pixels, int width, int height) {
    std::vector<uint8_t> out = BmpHeaders24(width, height);
    if (out.empty()) return out;
    const size_t offset = out.size();
    out.resize(offset + DibStride(width, 24) * static_cast<size_t>(height));
    EncodeBmpRows24(pixels, width, height, 0, height, out.data() + offset);
    return out;
}

size_t DibBitsOffset(uint32_t headerSize, uint16_t bitCount, uint32_t compression,
                     uint32_t colorsUsed) {
    if (headerSize == kCoreHeaderSize)
        return kCoreHeaderSize + (bitCount <= 8 ? (size_t{1} << bitCount) * 3 : 0);
    const size_t masks = compression == kBiBitfields ? 3 : compression == kBiAlphaBitfields ? 4 : 0;
    const size_t colors = colorsUsed != 0 ? std::min<uint32_t>(colorsUsed, 256)
                          : bitCount <= 8 ? size_t{1} << bitCount
                                          : 0;
    return std::max<size_t>(headerSize, kBmpInfoHeaderSize + masks * 4) + colors * 4;
}

std::optional<DibLayout> ReadPackedDib(const uint8_t* data, size_t size) {
    if (size < 4) return std::nullopt;
    const uint32_t headerSize = Get32(data);
    DibLayout layout;
    int64_t height = 0;
    uint32_t colorsUsed = 0;
    uint32_t imageSize = 0;
    if (headerSize == kCoreHeaderSize) {
        if (size < kCoreHeaderSize) return std::nullopt;
        layout.width = Get16(data + 4);
        height = Get16(data + 6);
        layout.bitCount = Get16(data + 10);
        if (layout.bitCount == 16 || layout.bitCount == 32) return std::nullopt;
    } else {
        if (headerSize < kBmpInfoHeaderSize || size < headerSize) return std::nullopt;
        layout.width = static_cast<int32_t>(Get32(data + 4));
        height = static_cast<int32_t>(Get32(data + 8));
        layout.bitCount = Get16(data + 14);
        layout.compression = Get32(data + 16);
        imageSize = Get32(data + 20);
        colorsUsed = Get32(data + 32);
    }
    if (layout.width <= 0 || height == 0 || height == std::numeric_limits<int32_t>::min())
        return std::nullopt;
    if (!DepthFits(layout.compression, layout.bitCount)) return std::nullopt;
    // A colour table longer than the depth can index (or than GDI reads) is no table.
    if (colorsUsed > 256 || (layout.bitCount <= 8 && colorsUsed > (1u << layout.bitCount)))
        return std::nullopt;
    const bool rle = layout.compression == kBiRle8 || layout.compression == kBiRle4;
    layout.topDown = height < 0;
    if (layout.topDown && rle) return std::nullopt;
    layout.height = static_cast<int>(height < 0 ? -height : height);

    layout.bitsOffset = DibBitsOffset(headerSize, layout.bitCount, layout.compression, colorsUsed);
    if (rle) {
        if (imageSize == 0) return std::nullopt;
        layout.bitsSize = imageSize;
    } else {
        const uint64_t bits =
            Stride64(layout.width, layout.bitCount) * static_cast<uint64_t>(layout.height);
        if (bits > std::numeric_limits<size_t>::max()) return std::nullopt;
        layout.bitsSize = static_cast<size_t>(bits);
    }
    if (layout.bitsOffset > size || size - layout.bitsOffset < layout.bitsSize) return std::nullopt;
    return layout;
}

bool DecodePlainDib(const uint8_t* bits, const DibLayout& layout, uint32_t* out) {
    if (layout.compression != kBiRgb || (layout.bitCount != 24 && layout.bitCount != 32))
        return false;
    const size_t width = static_cast<size_t>(layout.width);
    const size_t stride = DibStride(layout.width, layout.bitCount);
    for (int y = 0; y < layout.height; ++y) {
        const uint8_t* in =
            bits + stride * static_cast<size_t>(layout.topDown ? y : layout.height - 1 - y);
        uint32_t* row = out + width * static_cast<size_t>(y);
        if (layout.bitCount == 32) {
            // The high byte is a source's alpha at most; the picture has none.
            for (size_t x = 0; x < width; ++x, in += 4) row[x] = Get32(in) & 0x00FFFFFFu;
        } else {
            for (size_t x = 0; x < width; ++x, in += 3)
                row[x] = in[0] | static_cast<uint32_t>(in[1]) << 8 | static_cast<uint32_t>(in[2]) << 16;
        }
    }
    return true;
}

}  // namespace trovell
