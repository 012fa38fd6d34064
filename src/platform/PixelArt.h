#pragma once
// The pictures drawn from text: one character a pixel, '.' transparent, the others from the
// palette of the map. Kept here so every icon can be reviewed as it looks.
#include <cstdint>

namespace trovell::art {

struct PaletteEntry {
    char key;
    uint32_t rgb;  // 0xRRGGBB
};

struct PixelMap {
    int width;
    int height;
    const char* const* rows;
    const PaletteEntry* palette;
    int paletteSize;
};

inline constexpr PaletteEntry kBasicPalette[] = {
    {'K', 0x000000}, {'W', 0xFFFFFF}, {'B', 0x4F9FE8}, {'Y', 0xFFD800},
    {'G', 0x2E9E3E}, {'R', 0xE02020},
};

// A landscape picture with a dashed selection frame over its corner.
inline constexpr const char* kTrayIconRows[] = {
    "KKKKKKKKKKKK....",
    "KWWWWWWWWWWK....",
    "KWBBBBBBBBWK....",
    "KWBYYBBBBBWK....",
    "KWBYYBBBBBWK....",
    "KWBBBRRBRRWRR.RR",
    "KWBBBRBGGGWK...R",
    "KWBBBBGGGGWK....",
    "KWBBGRGGGGWK...R",
    "KWGGGRGGGGWK...R",
    "KWWWWWWWWWWK....",
    "KKKKKRKKKKKK...R",
    ".....R.........R",
    "................",
    ".....R.........R",
    ".....RR.RR.RR.RR",
};

inline constexpr PixelMap kTrayIcon{16, 16, kTrayIconRows, kBasicPalette,
                                    sizeof(kBasicPalette) / sizeof(kBasicPalette[0])};

// ARGB pixels of a map (transparent = 0), row-major top-down; false for an unknown key.
bool RenderPixelMap(const PixelMap& map, uint32_t* argb);

}  // namespace trovell::art
