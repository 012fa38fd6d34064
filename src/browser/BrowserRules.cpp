#include "browser/BrowserRules.h"

#include "browser/BrowserTexts.h"

namespace trovell {

namespace {
constexpr int kVkReturn = 0x0D;
constexpr int kVkLeft = 0x25;
constexpr int kVkRight = 0x27;
constexpr int kVkDelete = 0x2E;
constexpr int kLastCounter = 65535;
}  // namespace

std::wstring NodeFolder(const std::wstring& strImgPath, const std::wstring& nodeText) {
    return strImgPath + nodeText;
}

std::wstring EntryFolder(const std::wstring& strImgPath, const std::wstring& nodeText) {
    return strImgPath + nodeText + L'\\';
}

std::wstring EntryPath(const std::wstring& strImgPath, const std::wstring& nodeText,
                       const std::wstring& entry) {
    return EntryFolder(strImgPath, nodeText) + entry;
}

SplitName SplitFileName(const std::wstring& fileName) {
    const size_t dot = fileName.rfind(L'.');
    if (dot == std::wstring::npos) return {fileName, L""};
    return {fileName.substr(0, dot), fileName.substr(dot + 1)};
}

std::wstring NewFolderCandidate(int n) {
    if (n <= 1) return texts::kNewFolderName;
    return std::wstring(texts::kNewFolderName) + L" (" + std::to_wstring(n) + L")";
}

std::optional<std::wstring> MakeFreeFolder(
    const std::function<MakeResult(const std::wstring&)>& make) {
    for (int n = 1; n < kLastCounter; ++n) {
        std::wstring name = NewFolderCandidate(n);
        switch (make(name)) {
            case MakeResult::Made: return name;
            case MakeResult::Refused: return std::nullopt;
            case MakeResult::Taken: break;
        }
    }
    return std::nullopt;
}

bool IsSingleFolderName(const std::wstring& name) {
    if (name.empty() || name == L"." || name == L"..") return false;
    for (wchar_t c : name) {
        if (c < 0x20) return false;
        if (std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) return false;
    }
    // The file system drops a trailing blank or dot, so such a name is another folder's.
    return name.back() != L' ' && name.back() != L'.';
}

TreeKey TreeKeyAction(int vk, int shift) {
    const bool exactlyCtrl = shift == kCtrlMask;
    switch (vk) {
        case kVkRight: return TreeKey::ToList;
        case 'X': return exactlyCtrl ? TreeKey::Close : TreeKey::None;
        case 'M': return exactlyCtrl ? TreeKey::NewFolder : TreeKey::None;
        case kVkDelete: return TreeKey::DeleteFolder;
        default: return TreeKey::None;
    }
}

bool ShowsDate(const std::wstring& text) {
    return text.find_first_not_of(L' ') != std::wstring::npos;
}

ListKey ListKeyAction(int vk, int shift, bool hasEntries) {
    const bool exactlyCtrl = shift == kCtrlMask;
    switch (vk) {
        case kVkLeft: return ListKey::ToTree;
        case 'X': return exactlyCtrl ? ListKey::Close : ListKey::None;
        case kVkRight: return ListKey::ToName;
        case 'C': return hasEntries && exactlyCtrl ? ListKey::Copy : ListKey::None;
        case kVkReturn: return hasEntries ? ListKey::Open : ListKey::None;
        case kVkDelete: return hasEntries ? ListKey::Delete : ListKey::None;
        default: return ListKey::None;
    }
}

bool ValidName(const std::wstring& name) {
    return name.find_first_of(L"\\/,;:*?\"<>|") == std::wstring::npos;
}

std::wstring TrimSpaces(const std::wstring& text) {
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return {};
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

std::wstring TrimLeadingSpaces(const std::wstring& text) {
    const size_t first = text.find_first_not_of(L' ');
    return first == std::wstring::npos ? std::wstring() : text.substr(first);
}

FileRename FileRenamePaths(const std::wstring& folder, const std::wstring& oldName,
                           const std::wstring& newText, const std::wstring& extension) {
    const std::wstring tail = extension.empty() ? std::wstring() : L"." + extension;
    return {folder + oldName + tail, folder + TrimLeadingSpaces(newText) + tail};
}

}  // namespace trovell
