#pragma once
// What the tray icon says and how its mouse messages are read.
#include <cstddef>
#include <cstdint>
#include <string>

namespace trovell {

// The shell reports every mouse event on the icon as this callback message, with the mouse
// message itself in lParam.
inline constexpr unsigned kTrayCallbackMessage = 0x200;
inline constexpr unsigned kTrayIconId = 1;

// The mouse messages the callback carries (winuser.h values, spelt out because this tier has
// no windows.h).
inline constexpr uint32_t kWmLButtonUp = 0x0202;
inline constexpr uint32_t kWmRButtonUp = 0x0205;

// A balloon's text holds 255 characters (szInfo of NOTIFYICONDATAW, less the terminator).
inline constexpr size_t kBalloonTextLimit = 255;

// Two lines: the format label and what a left click does. Unknown values leave their line out.
std::wstring TrayTipText(int16_t saveFormat, int16_t saveMethod);

enum class TrayClick { None, Left, Right };

// Only the releases act: a left release (0x202) and a right release (0x205).
TrayClick DecodeTrayMessage(uint32_t mouseMessage);

// Three lines: what failed, the reason, and the place (a folder or file) when there is one.
// The place is shortened in the middle with "…" so that the whole fits limit characters;
// a reason too long even for that is cut at its end.
std::wstring FailureBalloonText(const std::wstring& what, const std::wstring& reason,
                                const std::wstring& place, size_t limit);

// text shortened to at most limit characters by putting "…" in place of its middle.
std::wstring ShortenMiddle(const std::wstring& text, size_t limit);

}  // namespace trovell
