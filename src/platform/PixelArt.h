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

// The two pointers of a capture drag. Pure yellow and olive, as the pointers have always been.
inline constexpr PaletteEntry kPointerPalette[] = {
    {'K', 0x000000},
    {'Y', 0xFFFF00},
    {'O', 0x808000},
};

// While dragging: a 24 x 24 square at (4, 4), its outline dashed two black, one clear (the
// dashes run on diagonally round the corners), an olive line inside the right and bottom.
inline constexpr const char* kDragPointerRows[] = {
    "................................",
    "................................",
    "................................",
    "................................",
    "....KK.KK.KK.KK.KK.KK.KK.KK.....",
    "....KYYYYYYYYYYYYYYYYYYYYYOK....",
    ".....YYYYYYYYYYYYYYYYYYYYYOK....",
    "....KYYYYYYYYYYYYYYYYYYYYYO.....",
    "....KYYYYYYYYYYYYYYYYYYYYYOK....",
    ".....YYYYYYYYYYYYYYYYYYYYYOK....",
    "....KYYYYYYYYYYYYYYYYYYYYYO.....",
    "....KYYYYYYYYYYYYYYYYYYYYYOK....",
    ".....YYYYYYYYYYYYYYYYYYYYYOK....",
    "....KYYYYYYYYYYYYYYYYYYYYYO.....",
    "....KYYYYYYYYYYYYYYYYYYYYYOK....",
    ".....YYYYYYYYYYYYYYYYYYYYYOK....",
    "....KYYYYYYYYYYYYYYYYYYYYYO.....",
    "....KYYYYYYYYYYYYYYYYYYYYYOK....",
    ".....YYYYYYYYYYYYYYYYYYYYYOK....",
    "....KYYYYYYYYYYYYYYYYYYYYYO.....",
    "....KYYYYYYYYYYYYYYYYYYYYYOK....",
    ".....YYYYYYYYYYYYYYYYYYYYYOK....",
    "....KYYYYYYYYYYYYYYYYYYYYYO.....",
    "....KYYYYYYYYYYYYYYYYYYYYYOK....",
    ".....YYYYYYYYYYYYYYYYYYYYYOK....",
    "....KYYYYYYYYYYYYYYYYYYYYYO.....",
    "....KOOOOOOOOOOOOOOOOOOOOOOK....",
    ".....KK.KK.KK.KK.KK.KK.KK.KK....",
    "................................",
    "................................",
    "................................",
    "................................",
};

// Over the drop picture: a 26 x 26 square at (3, 3) with a solid outline two pixels wide.
inline constexpr const char* kDropPointerRows[] = {
    "................................",
    "................................",
    "................................",
    "...KKKKKKKKKKKKKKKKKKKKKKKKKK...",
    "...KKKKKKKKKKKKKKKKKKKKKKKKKK...",
    "...KKYYYYYYYYYYYYYYYYYYYYYOKK...",
    "...KKYYYYYYYYYYYYYYYYYYYYYOKK...",
    "...KKYYYYYYYYYYYYYYYYYYYYYOKK...",
    "...KKYYYYYYYYYYYYYYYYYYYYYOKK...",
    "...KKYYYYYYYYYYYYYYYYYYYYYOKK...",
    "...KKYYYYYYYYYYYYYYYYYYYYYOKK...",
    "...KKYYYYYYYYYYYYYYYYYYYYYOKK...",
    "...KKYYYYYYYYYYYYYYYYYYYYYOKK...",
    "...KKYYYYYYYYYYYYYYYYYYYYYOKK...",
    "...KKYYYYYYYYYYYYYYYYYYYYYOKK...",
    "...KKYYYYYYYYYYYYYYYYYYYYYOKK...",
    "...KKYYYYYYYYYYYYYYYYYYYYYOKK...",
    "...KKYYYYYYYYYYYYYYYYYYYYYOKK...",
    "...KKYYYYYYYYYYYYYYYYYYYYYOKK...",
    "...KKYYYYYYYYYYYYYYYYYYYYYOKK...",
    "...KKYYYYYYYYYYYYYYYYYYYYYOKK...",
    "...KKYYYYYYYYYYYYYYYYYYYYYOKK...",
    "...KKYYYYYYYYYYYYYYYYYYYYYOKK...",
    "...KKYYYYYYYYYYYYYYYYYYYYYOKK...",
    "...KKYYYYYYYYYYYYYYYYYYYYYOKK...",
    "...KKYYYYYYYYYYYYYYYYYYYYYOKK...",
    "...KKOOOOOOOOOOOOOOOOOOOOOOKK...",
    "...KKKKKKKKKKKKKKKKKKKKKKKKKK...",
    "...KKKKKKKKKKKKKKKKKKKKKKKKKK...",
    "................................",
    "................................",
    "................................",
};

inline constexpr PixelMap kDragPointer{32, 32, kDragPointerRows, kPointerPalette,
                                       sizeof(kPointerPalette) / sizeof(kPointerPalette[0])};
inline constexpr PixelMap kDropPointer{32, 32, kDropPointerRows, kPointerPalette,
                                       sizeof(kPointerPalette) / sizeof(kPointerPalette[0])};

// ARGB pixels of a map (transparent = 0), row-major top-down; false for an unknown key.
bool RenderPixelMap(const PixelMap& map, uint32_t* argb);

}  // namespace trovell::art
