#include "platform/BmpFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>

namespace trovell {
namespace {

// A packed DIB with a header of headerSize bytes, then `extra` bytes, then `bits` bytes.
std::vector<uint8_t> PackedDib(uint32_t headerSize, int32_t width, int32_t height,
                               uint16_t bitCount, uint32_t compression, size_t extra, size_t bits,
                               uint32_t imageSize = 0) {
    // The first fields of every info header, little-endian on these hosts as in the format.
    const struct {
        uint32_t size;
        int32_t width, height;
        uint16_t planes, bitCount;
        uint32_t compression, imageSize;
    } header{headerSize, width, height, 1, bitCount, compression, imageSize};
    std::vector<uint8_t> b(headerSize + extra + bits, 0);
    std::memcpy(b.data(), &header, std::min<size_t>(sizeof(header), b.size()));
    return b;
}

TEST(BmpFormat, Encode_HeadersThenBottomRowFirstInBgrWithZeroPadding) {
    const uint32_t pixels[] = {0x00112233, 0x00445566,   // top row
                               0x00A1B2C3, 0x00D4E5F6};  // bottom row
    // clang-format off
    const std::vector<uint8_t> expected = {
        'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,     // file size, reserved, bits at 54
        40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0,  // 2 x +2 (bottom-up), 1 plane, 24 bpp
        0, 0, 0, 0, 16, 0, 0, 0,                           // BI_RGB, biSizeImage
        0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0,                // 2835 pixels per metre
        0, 0, 0, 0, 0, 0, 0, 0,                            // no colour table
        0xC3, 0xB2, 0xA1, 0xF6, 0xE5, 0xD4, 0, 0,          // bottom row, padded to 8
        0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0, 0};
    // clang-format on
    EXPECT_EQ(EncodeBmp24(pixels, 2, 2), expected);
    EXPECT_TRUE(EncodeBmp24(pixels, 0, 2).empty());
    EXPECT_TRUE(EncodeBmp24(pixels, 2, -1).empty());
    EXPECT_TRUE(BmpHeaders24(40000, 40000).empty());  // past what the size fields can say

    // Rows written in blocks give the same file: the second file row alone is the top row.
    std::vector<uint8_t> row(8);
    EncodeBmpRows24(pixels, 2, 2, 1, 1, row.data());
    EXPECT_EQ(row, std::vector<uint8_t>(expected.end() - 8, expected.end()));
}

TEST(BmpFormat, BitsOffset_TableAndMasksAfterInfoHeader_InsideLargerHeaders) {
    // Header size, depth, compression and biClrUsed, then where the bits start: biClrUsed
    // wins, even at 24 bpp, up to GDI's cap; a core header's entries have 3 bytes; V2 and
    // later headers hold the RGB masks.
    // clang-format off
    const std::tuple<uint32_t, uint16_t, uint32_t, uint32_t, size_t> cases[] = {
        {40, 24, kBiRgb, 0, 40}, {40, 8, kBiRgb, 0, 40 + 256 * 4}, {40, 4, kBiRle4, 0, 40 + 16 * 4},
        {40, 8, kBiRgb, 16, 40 + 16 * 4}, {40, 24, kBiRgb, 2, 40 + 2 * 4}, {12, 24, kBiRgb, 0, 12},
        {40, 8, kBiRgb, 1000, 40 + 256 * 4}, {12, 8, kBiRgb, 0, 12 + 256 * 3},
        {40, 32, kBiBitfields, 0, 40 + 12}, {40, 32, kBiAlphaBitfields, 0, 40 + 16},
        {52, 16, kBiBitfields, 0, 52}, {124, 32, kBiBitfields, 0, 124},
        {124, 8, kBiRgb, 0, 124 + 256 * 4}};
    // clang-format on
    for (const auto& [size, bits, method, used, at] : cases)
        EXPECT_EQ(DibBitsOffset(size, bits, method, used), at)
            << size << "," << bits << "," << method << "," << used;
}

TEST(BmpFormat, PackedDib_RleSizedByItsHeader_ShortBlocksAndHeadersGdiCannotDrawRefused) {
    const auto rle = PackedDib(40, 100, 100, 8, kBiRle8, 1024, 10, 10);
    const auto layout = ReadPackedDib(rle.data(), rle.size());
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->bitsSize, 10u);  // compressed: biSizeImage, not the stride

    const auto ok = PackedDib(40, 3, 2, 24, kBiRgb, 0, 24);
    EXPECT_FALSE(ReadPackedDib(ok.data(), ok.size() - 1));
    EXPECT_FALSE(ReadPackedDib(ok.data(), 39));
    // Colour tables longer than the depth can index, or than GDI reads.
    auto withColours = [](std::vector<uint8_t> dib, uint32_t colours) {
        std::memcpy(&dib[32], &colours, 4);
        return dib;
    };
    EXPECT_TRUE(ReadPackedDib(withColours(PackedDib(40, 4, 4, 4, kBiRgb, 64, 16), 16).data(),
                              40 + 64 + 16));
    const std::vector<uint8_t> bad[] = {
        withColours(PackedDib(40, 4, 4, 4, kBiRgb, 68, 16), 17),
        withColours(PackedDib(40, 4, 4, 24, kBiRgb, 2048, 48), 0x7FFFFFFF),
        PackedDib(40, 3, 2, 32, kBiBitfields, 0, 24),  // masks missing
        PackedDib(40, 3, 2, 0, kBiJpeg, 0, 100, 100),
        PackedDib(40, 3, 2, 0, kBiPng, 0, 100, 100),
        PackedDib(40, 4, -4, 8, kBiRle8, 1024, 10, 10),  // RLE is bottom-up only
        PackedDib(40, 3, 2, 7, kBiRgb, 0, 100),
        PackedDib(40, 0, 2, 24, kBiRgb, 0, 100),
        PackedDib(40, 3, 0, 24, kBiRgb, 0, 100),
        PackedDib(24, 3, 2, 24, kBiRgb, 0, 100),
        // Bits that cannot exist must not wrap around to a small size.
        PackedDib(40, 0x7FFFFFFF, 0x7FFFFFFF, 32, kBiRgb, 0, 16),
    };
    for (size_t i = 0; i < std::size(bad); ++i)
        EXPECT_FALSE(ReadPackedDib(bad[i].data(), bad[i].size())) << "case " << i;
}

TEST(BmpFormat, PlainDib_24BottomUpSkipsPadding_32TopDownDropsAlpha_OthersLeftToGdi) {
    // 3 x 2 at 24 bpp: rows of 9 bytes padded to 12 with bytes that must not show.
    const uint8_t rows24[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE,
                              11, 12, 13, 14, 15, 16, 17, 18, 19, 0xEE, 0xEE, 0xEE};
    DibLayout layout{.width = 3, .height = 2, .topDown = false, .bitCount = 24};
    uint32_t out[6] = {};
    ASSERT_TRUE(DecodePlainDib(rows24, layout, out));
    const uint32_t bottomUp[] = {0x0D0C0B, 0x100F0E, 0x131211, 0x030201, 0x060504, 0x090807};
    EXPECT_TRUE(std::equal(out, out + 6, bottomUp));

    const uint8_t rows32[] = {1, 2, 3, 0xFF, 4, 5, 6, 0x80, 7, 8, 9, 0x01};
    layout = {.width = 1, .height = 3, .topDown = true, .bitCount = 32};
    ASSERT_TRUE(DecodePlainDib(rows32, layout, out));
    const uint32_t topDown[] = {0x030201, 0x060504, 0x090807};
    EXPECT_TRUE(std::equal(out, out + 3, topDown));

    std::fill(std::begin(out), std::end(out), 0xABCDEFu);
    for (const DibLayout other : {DibLayout{.width = 1, .height = 1, .bitCount = 16},
                                  DibLayout{.width = 1, .height = 1, .bitCount = 8},
                                  DibLayout{.width = 1, .height = 1, .bitCount = 32,
                                            .compression = kBiBitfields}})
        EXPECT_FALSE(DecodePlainDib(rows32, other, out));
    EXPECT_EQ(out[0], 0xABCDEFu);
}

}  // namespace
}  // namespace trovell
