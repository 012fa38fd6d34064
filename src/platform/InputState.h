#pragma once
// Shift and button bits as the classic key and mouse events report them, for the logic tier
// and the windows alike.
namespace trovell {

inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

}  // namespace trovell
