#pragma once
// What the tray icon says and how its mouse messages are read.
#include <cstdint>
#include <string>

namespace trovell {

// The shell reports every mouse event on the icon as this callback message, with the mouse
// message itself in lParam.
inline constexpr unsigned kTrayCallbackMessage = 0x200;
inline constexpr unsigned kTrayIconId = 1;

// Two lines: the format label and what a left click does. Unknown values leave their line out.
std::wstring TrayTipText(int16_t saveFormat, int16_t saveMethod);

enum class TrayClick { None, Left, Right };

// Only the releases act: a left release (0x202) and a right release (0x205).
TrayClick DecodeTrayMessage(uint32_t mouseMessage);

}  // namespace trovell
