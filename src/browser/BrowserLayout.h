#pragma once
// Where the browser's controls stand, in twips (left, top, width, height), and their colours.
// The rows of the right panel are relative to the panel's inner area, the name boxes to their
// row, the copy and viewer buttons and the hidden label to the panel.
#include <cstdint>

#include "platform/Geometry.h"

namespace trovell::browser::layout {

inline constexpr int kClientWidth = 10455;
inline constexpr int kClientHeight = 6345;
inline constexpr Rect kToolbar1{0, 0, 10455, 615};
inline constexpr Rect kCmdReSetFolder{0, 690, 2205, 315};
inline constexpr Rect kTreeView1{0, 1020, 2205, 4740};
inline constexpr Rect kCmdListSort{2220, 690, 2595, 300};
inline constexpr Rect kList1{2220, 1020, 2595, 4740};
inline constexpr Rect kPicture4{4830, 660, 5625, 5100};
inline constexpr Rect kPicture3{0, 5970, 10455, 375};
inline constexpr Rect kLblErrorMessage{30, 60, 9675, 315};
inline constexpr Rect kPicture5{120, 60, 3075, 405};
inline constexpr Rect kLabel1{60, 120, 825, 315};
inline constexpr Rect kLblYMD{1020, 120, 1935, 315};
inline constexpr Rect kCommand1{3240, 90, 2205, 345};
inline constexpr Rect kCmdBigPic{5010, -120, 405, 345};
inline constexpr Rect kPicture6{120, 480, 5325, 345};
inline constexpr Rect kTxtFileName{60, 50, 4440, 255};
inline constexpr Rect kTxtK{4620, 50, 585, 255};
inline constexpr Rect kPicture2{120, 840, 5325, 4155};
inline constexpr Rect kLblListIndexBack{2760, -90, 495, 315};
// The hidden holder, borderless: what it holds before its first picture is this size.
inline constexpr Rect kPicture1{4890, 5940, 615, 465};

// 0x00bbggrr, as the system takes colours.
inline constexpr uint32_t kPanelColour = 0xC0FFFF;
inline constexpr uint32_t kDateRowColour = 0xC0E0FF;
inline constexpr uint32_t kPreviewColour = 0x000000;

inline constexpr Size kToolButtonSize{37, 35};
inline constexpr int kToolImageSize = 16;
inline constexpr Size kSortImageSize{9, 8};

inline constexpr wchar_t kUiFontFace[] = L"ＭＳ Ｐゴシック";
inline constexpr int kUiFontPoints = 9;

}  // namespace trovell::browser::layout
