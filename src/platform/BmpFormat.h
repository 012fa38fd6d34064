#pragma once
// The Windows bitmap layout, byte by byte: the 24-bit file the BMP saving writes, and the
// header rules of a packed DIB (the clipboard's CF_DIB).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace trovell {

// biCompression values (wingdi.h), spelt out because this tier has no windows.h.
inline constexpr uint32_t kBiRgb = 0;
inline constexpr uint32_t kBiRle8 = 1;
inline constexpr uint32_t kBiRle4 = 2;
inline constexpr uint32_t kBiBitfields = 3;
inline constexpr uint32_t kBiJpeg = 4;
inline constexpr uint32_t kBiPng = 5;
inline constexpr uint32_t kBiAlphaBitfields = 6;

inline constexpr size_t kBmpFileHeaderSize = 14;
inline constexpr size_t kBmpInfoHeaderSize = 40;

// Bytes per row of a DIB: rows are padded to a multiple of four bytes.
size_t DibStride(int width, int bitCount);

// The file and info headers of a 24-bit bottom-up file; empty for a non-positive size or one
// whose file would pass 4 GiB.
std::vector<uint8_t> BmpHeaders24(int width, int height);
// File rows [firstRow, firstRow + rows) of the same file (file row 0 is the bottom row), each
// DibStride(width, 24) bytes, written to out. pixels: width x height values 0x00RRGGBB,
// row-major, top row first.
void EncodeBmpRows24(const uint32_t* pixels, int width, int height, int firstRow, int rows,
                     uint8_t* out);
// The whole file: headers, then every row.
std::vector<uint8_t> EncodeBmp24(const uint32_t* pixels, int width, int height);

// Where the pixel bits start, counted from the start of the header. After a 40-byte header
// the BI_BITFIELDS masks follow it; the larger V4/V5 headers hold them inside. The colour
// table has biClrUsed entries (GDI reads at most 256), or 2^bitCount when that is zero and
// the depth is 8 or less; a 12-byte core header has 3-byte entries.
size_t DibBitsOffset(uint32_t headerSize, uint16_t bitCount, uint32_t compression,
                     uint32_t colorsUsed);

struct DibLayout {
    int width = 0;
    int height = 0;  // always positive; see topDown
    bool topDown = false;
    uint16_t bitCount = 0;
    uint32_t compression = kBiRgb;
    size_t bitsOffset = 0;  // from the start of the header
    size_t bitsSize = 0;    // bytes of pixel data the header asks for
};

// The layout of a packed DIB (header, masks, colour table, bits in one block) that GDI can
// draw; nullopt when the block is shorter than its header says, or the header is not one
// GDI draws onto a device (embedded JPEG/PNG, an impossible depth, a top-down RLE).
std::optional<DibLayout> ReadPackedDib(const uint8_t* data, size_t size);

// The pixels of a plain DIB (BI_RGB at 24 or 32 bpp), decoded without GDI as width x height
// values 0x00RRGGBB, top row first: the layouts clipboards offer almost always, where GDI's
// general conversion costs tens of milliseconds a picture under Wine. bits holds
// layout.bitsSize bytes. False, and nothing written, for every other layout.
bool DecodePlainDib(const uint8_t* bits, const DibLayout& layout, uint32_t* out);

}  // namespace trovell
