#pragma once
// Shared pieces of the window tests: a throwaway folder, file helpers, message pumping.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace trovell::test {

// A fresh folder under the temp path, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& path() const { return path_; }  // ends in "\"
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

void WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);
bool PathExists(const std::wstring& path);
std::vector<std::wstring> ListFolder(const std::wstring& folder);  // names, sorted

// trovell.ini text of the test user's section (the test user's name is ASCII).
std::string IniSection(const std::string& body);

// Pumps messages until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds = 10000);

}  // namespace trovell::test
