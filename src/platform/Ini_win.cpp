#include "platform/Ini_win.h"

#include <windows.h>

namespace trovell {

bool IniRead(const std::wstring& file, const std::wstring& section, const std::wstring& key,
             std::wstring* value) {
    wchar_t buffer[200] = {};
    DWORD n = ::GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer, 200,
                                         file.c_str());
    if (n == 0) return false;
    *value = buffer;
    return true;
}

Status IniWrite(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                const std::wstring& value) {
    // The profile functions know no long paths and would fail with an unhelpful code.
    if (file.size() >= MAX_PATH) return Status(kErrorPathTooLong);
    return ::WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), file.c_str())
               ? Status()
               : Status::LastError();
}

}  // namespace trovell
