#include "shell/TrayRules.h"

#include "shell/Texts.h"

namespace trovell {

std::wstring TrayTipText(int16_t saveFormat, int16_t saveMethod) {
    std::wstring label;
    if (saveFormat == 0) label = texts::kTipBmp;
    if (saveFormat == 1) label = texts::kTipJpg;
    if (saveMethod == 0) return label + L"\r\n" + texts::kTipByHand;
    if (saveMethod == 1) return label + L"\r\n" + texts::kTipClipboard;
    return label;
}

TrayClick DecodeTrayMessage(uint32_t mouseMessage) {
    switch (mouseMessage) {
        case kWmLButtonUp: return TrayClick::Left;
        case kWmRButtonUp: return TrayClick::Right;
        default: return TrayClick::None;
    }
}

std::wstring ShortenMiddle(const std::wstring& text, size_t limit) {
    if (text.size() <= limit) return text;
    if (limit == 0) return {};
    // The end of a path names the folder; it keeps the larger half.
    const size_t keep = limit - 1;
    const size_t head = keep / 2;
    return text.substr(0, head) + L'…' + text.substr(text.size() - (keep - head));
}

std::wstring FailureBalloonText(const std::wstring& what, const std::wstring& reason,
                                const std::wstring& place, size_t limit) {
    std::wstring text = what + L'\n' + reason;
    if (text.size() >= limit) return text.substr(0, limit);
    if (place.empty()) return text;
    return text + L'\n' + ShortenMiddle(place, limit - text.size() - 1);
}

}  // namespace trovell
