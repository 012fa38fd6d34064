#include "shell/SettingsRules.h"

#include <cmath>
#include <cstdlib>

namespace trovell {

namespace {
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Sign, digits, optional fraction, optional exponent; nothing a C library would also take
// (hex, "inf", "nan", locale separators).
bool IsDecimalNumber(std::wstring_view s) {
    size_t i = 0;
    if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) ++i;
    size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == L'.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == L'e' || s[i] == L'E')) {
        ++i;
        if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) ++i;
        size_t exponentDigits = 0;
        while (i < s.size() && IsDigit(s[i])) ++i, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    return i == s.size();
}
}  // namespace

std::wstring TrimSpacesAndTabs(std::wstring_view text) {
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return std::wstring(text.substr(begin, end - begin));
}

std::optional<int16_t> ParseSettingValue(std::wstring_view text) {
    std::wstring s = TrimSpacesAndTabs(text);
    if (!IsDecimalNumber(s)) return std::nullopt;
    std::string ascii(s.begin(), s.end());  // only ASCII survives IsDecimalNumber
    double value = std::strtod(ascii.c_str(), nullptr);
    if (!std::isfinite(value)) return std::nullopt;
    // The default rounding mode rounds halves to the even neighbour.
    double rounded = std::nearbyint(value);
    if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
    return static_cast<int16_t>(rounded);
}

std::wstring SettingText(int16_t value) { return std::to_wstring(value); }

}  // namespace trovell
