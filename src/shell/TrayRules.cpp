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
        case 0x202: return TrayClick::Left;
        case 0x205: return TrayClick::Right;
        default: return TrayClick::None;
    }
}

}  // namespace trovell
