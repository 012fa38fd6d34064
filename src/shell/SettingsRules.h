#pragma once
// How the two settings travel as ini text.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trovell {

inline constexpr wchar_t kKeySaveFormat[] = L"SAVE";
inline constexpr wchar_t kKeySaveMethod[] = L"CAPC";

std::wstring TrimSpacesAndTabs(std::wstring_view text);

// A decimal number, blanks around it allowed, a fraction rounded half to even, within
// -32768..32767. Anything else is a conversion error (nullopt), which stops the load.
std::optional<int16_t> ParseSettingValue(std::wstring_view text);

std::wstring SettingText(int16_t value);

}  // namespace trovell
