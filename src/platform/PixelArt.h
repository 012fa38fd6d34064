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

// The sixteen colours of the classic display, for pictures drawn in 16 colours.
inline constexpr PaletteEntry kVgaPalette[] = {
    {'K', 0x000000}, {'M', 0x800000}, {'G', 0x008000}, {'O', 0x808000},
    {'N', 0x000080}, {'P', 0x800080}, {'T', 0x008080}, {'S', 0xC0C0C0},
    {'D', 0x808080}, {'R', 0xFF0000}, {'L', 0x00FF00}, {'Y', 0xFFFF00},
    {'B', 0x0000FF}, {'F', 0xFF00FF}, {'A', 0x00FFFF}, {'W', 0xFFFFFF},
};
inline constexpr int kVgaPaletteSize = sizeof(kVgaPalette) / sizeof(kVgaPalette[0]);

// The browser's folder tree: a closed yellow folder, and the open one of the selected node.
inline constexpr const char* kFolderClosedRows[] = {
    "................",
    "................",
    "...KKKK.........",
    "..KYWYYK........",
    ".KKKKKKKKKKKKK..",
    ".KWYYYYYYYYYYOK.",
    ".KYYYYYYYYYYYOK.",
    ".KYYYYYYYYYYYOK.",
    ".KYYYYYYYYYYYOK.",
    ".KYYYYYYYYYYYOK.",
    ".KYYYYYYYYYYYOK.",
    ".KYYYYYYYYYYYOK.",
    ".KOOOOOOOOOOOOK.",
    ".KKKKKKKKKKKKKK.",
    "................",
    "................",
};
inline constexpr const char* kFolderOpenRows[] = {
    "................",
    "................",
    "..KKKK..........",
    ".KYWYYK.........",
    ".KYYYYYKKKKKK...",
    ".KYYYYYYYYYYK...",
    ".KYYKKKKKKKKKKKK",
    ".KYKWYYYYYYYYYK.",
    ".KYKYYYYYYYYYOK.",
    ".KKWYYYYYYYYYK..",
    ".KKYYYYYYYYYOK..",
    ".KWYYYYYYYYYK...",
    ".KYYYYYYYYYOK...",
    ".KKKKKKKKKKKK...",
    "................",
    "................",
};
// The browser's toolbar: close (a grey window with a dark bar), new (the folder), delete.
inline constexpr const char* kToolCloseRows[] = {
    "................",
    ".KKKKKKKKKKKKKK.",
    ".KNNNNNNNNNNNNK.",
    ".KNNNNNNNNNNNNK.",
    ".KKKKKKKKKKKKKK.",
    ".KWSSSSSSSSSSDK.",
    ".KSSSSSSSSSSSDK.",
    ".KSSSSSSSSSSSDK.",
    ".KSSSSSSSSSSSDK.",
    ".KSSSSSSSSSSSDK.",
    ".KSSSSSSSSSSSDK.",
    ".KSSSSSSSSSSSDK.",
    ".KSSSSSSSSSSSDK.",
    ".KDDDDDDDDDDDDK.",
    ".KKKKKKKKKKKKKK.",
    "................",
};
inline constexpr const char* kToolDeleteRows[] = {
    "................",
    ".RR.........RR..",
    ".RRR.......RRR..",
    "..RRR.....RRR...",
    "...RRR...RRR....",
    "....RRR.RRR.....",
    ".....RRRRR......",
    "......RRR.......",
    ".....RRRRR......",
    "....RRR.RRR.....",
    "...RRR...RRR....",
    "..RRR.....RRR...",
    ".RRR.......RRR..",
    ".RR.........RR..",
    "................",
    "................",
};

inline constexpr PixelMap kFolderClosed{16, 16, kFolderClosedRows, kVgaPalette, kVgaPaletteSize};
inline constexpr PixelMap kFolderOpen{16, 16, kFolderOpenRows, kVgaPalette, kVgaPaletteSize};
inline constexpr PixelMap kToolClose{16, 16, kToolCloseRows, kVgaPalette, kVgaPaletteSize};
inline constexpr PixelMap kToolNew = kFolderClosed;
inline constexpr PixelMap kToolDelete{16, 16, kToolDeleteRows, kVgaPalette, kVgaPaletteSize};
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

// The browser's sort button, 9 x 8, lit from the top left: file order (an upward triangle,
// dark left edge, light right edge and base) and the reverse (a downward one, dark top and
// left edges, light right edge).
inline constexpr const char* kSortUpRows[] = {
    "....D....",
    "...D.W...",
    "...D.W...",
    "..D...W..",
    "..D...W..",
    ".D.....W.",
    ".D.....W.",
    "DWWWWWWWW",
};
inline constexpr const char* kSortDownRows[] = {
    "DDDDDDDDD",
    ".D.....W.",
    ".D.....W.",
    "..D...W..",
    "..D...W..",
    "...D.W...",
    "...D.W...",
    "....D....",
};
inline constexpr PixelMap kSortUp{9, 8, kSortUpRows, kVgaPalette, kVgaPaletteSize};
inline constexpr PixelMap kSortDown{9, 8, kSortDownRows, kVgaPalette, kVgaPaletteSize};

// ARGB pixels of a map (transparent = 0), row-major top-down; false for an unknown key.
bool RenderPixelMap(const PixelMap& map, uint32_t* argb);

}  // namespace trovell::art
