#include "browser/NodeKeys.h"

namespace trovell {

namespace {
bool IsDigit(wchar_t c, int base) {
    if (base == 8) return c >= L'0' && c <= L'7';
    if (base == 16)
        return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
    return c >= L'0' && c <= L'9';
}
}  // namespace

bool IsNumericKey(const std::wstring& key) {
    size_t i = key.find_first_not_of(L' ');
    size_t end = key.find_last_not_of(L' ');
    if (i == std::wstring::npos) return false;
    ++end;
    if (key[i] == L'&' && i + 1 < end) {
        const wchar_t radix = key[i + 1];
        const int base = (radix == L'H' || radix == L'h')   ? 16
                         : (radix == L'O' || radix == L'o') ? 8
                                                            : 0;
        if (base == 0 || i + 2 == end) return false;
        for (size_t k = i + 2; k < end; ++k)
            if (!IsDigit(key[k], base)) return false;
        return true;
    }
    if (key[i] == L'+' || key[i] == L'-') ++i;
    size_t digits = 0;
    bool point = false;
    for (; i < end; ++i) {
        if (IsDigit(key[i], 10)) {
            ++digits;
        } else if (key[i] == L'.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) return false;
    if (i < end && (key[i] == L'e' || key[i] == L'E' || key[i] == L'd' || key[i] == L'D')) {
        ++i;
        if (i < end && (key[i] == L'+' || key[i] == L'-')) ++i;
        size_t exponent = 0;
        while (i < end && IsDigit(key[i], 10)) ++i, ++exponent;
        if (exponent == 0) return false;
    }
    return i == end;
}

KeyError NodeKeys::Check(Node node, const std::wstring& key) const {
    if (IsNumericKey(key)) return KeyError::Invalid;
    auto it = byKey_.find(key);
    if (it != byKey_.end() && it->second != node) return KeyError::NotUnique;
    return KeyError::None;
}

KeyError NodeKeys::Add(Node node, const std::wstring& key) {
    if (byNode_.count(node)) return KeyError::NotUnique;
    KeyError error = Check(node, key);
    if (error != KeyError::None) return error;
    byNode_[node] = key;
    byKey_[key] = node;
    return KeyError::None;
}

KeyError NodeKeys::SetKey(Node node, const std::wstring& key) {
    auto it = byNode_.find(node);
    if (it == byNode_.end()) return Add(node, key);
    KeyError error = Check(node, key);
    if (error != KeyError::None) return error;
    byKey_.erase(it->second);
    it->second = key;
    byKey_[key] = node;
    return KeyError::None;
}

void NodeKeys::Remove(Node node) {
    auto it = byNode_.find(node);
    if (it == byNode_.end()) return;
    byKey_.erase(it->second);
    byNode_.erase(it);
}

void NodeKeys::Clear() {
    byNode_.clear();
    byKey_.clear();
}

std::wstring NodeKeys::Key(Node node) const {
    auto it = byNode_.find(node);
    return it == byNode_.end() ? std::wstring() : it->second;
}

}  // namespace trovell
