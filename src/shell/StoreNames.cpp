#include "shell/StoreNames.h"

#include <cstdio>

namespace trovell {

namespace {
std::wstring TwoDigits(int a, int b, int c) {
    wchar_t buffer[16];
    std::swprintf(buffer, 16, L"%02d%02d%02d", a % 100, b % 100, c % 100);
    return buffer;
}

wchar_t FoldAscii(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? c - (L'a' - L'A') : c;
}
}  // namespace

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty() && folder.back() == L'\\') return folder + name;
    return folder + L'\\' + name;
}

std::wstring ParentFolder(const std::wstring& path) {
    size_t end = path.size();
    if (end > 0 && path[end - 1] == L'\\') --end;
    size_t slash = path.find_last_of(L'\\', end == 0 ? 0 : end - 1);
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return path;
    return path.substr(0, slash == 2 && path[1] == L':' ? 3 : slash);
}

std::wstring ImgFolderPath(const std::wstring& appFolder) {
    return JoinPath(appFolder, L"img\\");
}

std::wstring StoreRootPath(const std::wstring& appFolder, const std::wstring& userName) {
    return ImgFolderPath(appFolder) + userName + L'\\';
}

std::wstring SettingsFilePath(const std::wstring& appFolder) {
    return JoinPath(appFolder, L"trovell.ini");
}

std::wstring DayFolderName(const LocalTime& t) {
    return TwoDigits(t.year, t.month, t.day);
}

std::wstring PictureBaseName(const LocalTime& t) {
    return DayFolderName(t) + TwoDigits(t.hour, t.minute, t.second);
}

std::wstring PictureFileName(const std::wstring& base, int n, const std::wstring& extension) {
    if (n <= 1) return base + extension;
    return base + L'_' + std::to_wstring(n) + extension;
}

int CompareFileNames(const std::wstring& a, const std::wstring& b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        wchar_t x = FoldAscii(a[i]), y = FoldAscii(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::wstring InstanceMutexName(const std::wstring& userName, const std::wstring& exePath) {
    // FNV-1a over the folded path: the same exe reached as C:\X or c:\x is one instance.
    uint64_t hash = 14695981039346656037ull;
    for (wchar_t c : exePath) {
        hash ^= static_cast<uint16_t>(FoldAscii(c == L'/' ? L'\\' : c));
        hash *= 1099511628211ull;
    }
    wchar_t hex[17];
    std::swprintf(hex, 17, L"%016llx", static_cast<unsigned long long>(hash));
    std::wstring user;
    for (wchar_t c : userName) user += (c == L'\\') ? L'_' : c;
    return L"Local\\Trovell." + user + L'.' + hex;
}

}  // namespace trovell
