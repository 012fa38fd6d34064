#include "platform/FileOps_win.h"

#include <windows.h>

#include "platform/Text_win.h"

namespace trovell {

namespace {
thread_local std::wstring lastErrorText;
thread_local unsigned long lastErrorCode = 0;

bool Fail() {
    SetLastErrorText(::GetLastError());
    return false;
}

std::wstring WithoutTrailingSeparator(std::wstring path) {
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    return path;
}

bool RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return Fail();
    bool ok = true;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring path = folder + L'\\' + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // Without force a read-only folder is refused, as a read-only file is.
            if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
                ::SetLastError(ERROR_ACCESS_DENIED);
                ok = Fail();
            } else {
                ok = RemoveTree(path);
            }
        } else if (!::DeleteFileW(path.c_str())) {
            ok = Fail();
        }
    } while (ok && ::FindNextFileW(find, &found));
    ::FindClose(find);
    if (!ok) return false;
    return ::RemoveDirectoryW(folder.c_str()) ? true : Fail();
}
}  // namespace

const std::wstring& LastErrorText() { return lastErrorText; }

unsigned long LastErrorCode() { return lastErrorCode; }

void SetLastErrorText(unsigned long code) {
    lastErrorCode = code;
    lastErrorText = SystemErrorText(code);
    if (lastErrorText.empty()) lastErrorText = L"Error " + std::to_wstring(code);
}

bool FolderExists(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(WithoutTrailingSeparator(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring FileCreatedText(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return {};
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return {};
    SYSTEMTIME utc, local;
    if (!::FileTimeToSystemTime(&data.ftCreationTime, &utc)) return {};
    if (!::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return {};
    wchar_t date[80], time[80];
    if (!::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, 80))
        return {};
    if (!::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &local, nullptr, time, 80)) return {};
    return std::wstring(date) + L' ' + time;
}

bool MakeFolder(const std::wstring& path) {
    return ::CreateDirectoryW(WithoutTrailingSeparator(path).c_str(), nullptr) ? true : Fail();
}

bool RemoveFile(const std::wstring& path) {
    return ::DeleteFileW(path.c_str()) ? true : Fail();
}

bool RemoveFolder(const std::wstring& path) {
    std::wstring folder = WithoutTrailingSeparator(path);
    DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return Fail();
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::SetLastError(ERROR_DIRECTORY);
        return Fail();
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return Fail();
    }
    return RemoveTree(folder);
}

std::wstring CreateTempFileIn(const std::wstring& folder) {
    wchar_t path[MAX_PATH + 1];
    if (!::GetTempFileNameW(WithoutTrailingSeparator(folder).c_str(), L"trv", 0, path)) {
        Fail();
        return {};
    }
    return path;
}

LocalTime LocalNow() {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

bool MoveFileTo(const std::wstring& source, const std::wstring& destination) {
    return ::MoveFileExW(source.c_str(), destination.c_str(), MOVEFILE_COPY_ALLOWED) ? true
                                                                                    : Fail();
}

}  // namespace trovell
