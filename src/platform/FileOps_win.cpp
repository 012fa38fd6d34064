#include "platform/FileOps_win.h"

#include <windows.h>

#include <cstdint>
#include <utility>

#include "platform/Handles_win.h"

namespace trovell {

namespace {

constexpr wchar_t kTempPrefix[] = L"trv";
constexpr wchar_t kTempPattern[] = L"trv*.tmp";

std::wstring WithoutTrailingSeparator(std::wstring path) {
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    return path;
}

// The folder with exactly one separator after it.
std::wstring JoinFolder(const std::wstring& folder) {
    if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) return folder;
    return folder + L'\\';
}

Status Result(BOOL ok) {
    return ok ? Status() : Status::LastError();
}

Status RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    UniqueFind find(::FindFirstFileW(ForFileCall(folder + L"\\*").c_str(), &found));
    if (!find) return Status::LastError();
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L'\\' + name;
        Status status;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // Without force a read-only folder is refused, as a read-only file is.
            status = (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                         ? Status(ERROR_ACCESS_DENIED)
                         : RemoveTree(path);
        } else {
            status = Result(::DeleteFileW(ForFileCall(path).c_str()));
        }
        if (!status) return status;
    } while (::FindNextFileW(find.get(), &found));
    find.reset();
    return Result(::RemoveDirectoryW(ForFileCall(folder).c_str()));
}

}  // namespace

std::wstring ForFileCall(const std::wstring& path) {
    // CreateDirectoryW stops at MAX_PATH - 12 (room for an 8.3 name inside).
    if (path.size() < MAX_PATH - 12 || path.starts_with(L"\\\\?\\")) return path;
    std::wstring full = path;
    for (wchar_t& c : full)
        if (c == L'/') c = L'\\';
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return L"\\\\?\\" + full;
    return path;  // a relative path keeps the classic limit
}

bool FolderExists(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(ForFileCall(WithoutTrailingSeparator(path)).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(ForFileCall(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring FileCreatedText(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(ForFileCall(path).c_str(), GetFileExInfoStandard, &data))
        return {};
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return {};
    SYSTEMTIME utc, local;
    if (!::FileTimeToSystemTime(&data.ftCreationTime, &utc)) return {};
    if (!::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return {};
    return DateTimeText({local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute,
                         local.wSecond});
}

namespace {
// Names in the file system's own order; keep decides by the entry's attributes.
template <typename Keep>
Status ListFolder(const std::wstring& folder, std::vector<std::wstring>* names, Keep keep) {
    names->clear();
    WIN32_FIND_DATAW found;
    UniqueFind find(::FindFirstFileExW(ForFileCall(JoinFolder(folder) + L'*').c_str(),
                                       FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                       FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        const DWORD code = ::GetLastError();
        return code == ERROR_FILE_NOT_FOUND ? Status() : Status(code ? code : ERROR_GEN_FAILURE);
    }
    do {
        const wchar_t* name = found.cFileName;
        if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))) continue;
        if (keep(found.dwFileAttributes)) names->emplace_back(name);
    } while (::FindNextFileW(find.get(), &found));
    const DWORD code = ::GetLastError();
    return code == ERROR_NO_MORE_FILES ? Status() : Status(code);
}
}  // namespace

Status ListSubfolders(const std::wstring& folder, std::vector<std::wstring>* names) {
    return ListFolder(folder, names, [](DWORD attributes) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    });
}

Status ListFiles(const std::wstring& folder, std::vector<std::wstring>* names) {
    // As the classic file listing shows by default: hidden and system files stay out.
    constexpr DWORD kLeftOut =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return ListFolder(folder, names, [](DWORD attributes) { return (attributes & kLeftOut) == 0; });
}

Status MakeFolder(const std::wstring& path) {
    return Result(::CreateDirectoryW(ForFileCall(WithoutTrailingSeparator(path)).c_str(), nullptr));
}

Status RemoveFile(const std::wstring& path) {
    if (!::DeleteFileW(ForFileCall(path).c_str())) return Status::LastError();
    // Wine reports done a delete that the folder's rights refuse, and the file stays: a file
    // the list would drop while it is still there.
    if (::GetFileAttributesW(ForFileCall(path).c_str()) != INVALID_FILE_ATTRIBUTES)
        return Status(ERROR_ACCESS_DENIED);
    return {};
}

Status RemoveFolder(const std::wstring& path) {
    const std::wstring folder = WithoutTrailingSeparator(path);
    const DWORD attributes = ::GetFileAttributesW(ForFileCall(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return Status::LastError();
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return Status(ERROR_DIRECTORY);
    if (attributes & FILE_ATTRIBUTE_READONLY) return Status(ERROR_ACCESS_DENIED);
    return RemoveTree(folder);
}

Status MoveFileTo(const std::wstring& source, const std::wstring& destination) {
    return Result(::MoveFileExW(ForFileCall(source).c_str(), ForFileCall(destination).c_str(),
                                MOVEFILE_COPY_ALLOWED));
}

Status CopyFileTo(const std::wstring& source, const std::wstring& destination) {
    const DWORD attributes = ::GetFileAttributesW(ForFileCall(source).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return Status::LastError();
    // As CopyFileW answers for a folder on Windows; asked first, so that nothing is made.
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Status(ERROR_ACCESS_DENIED);
    if (::GetFileAttributesW(ForFileCall(destination).c_str()) != INVALID_FILE_ATTRIBUTES)
        return Status(ERROR_FILE_EXISTS);
    // Written beside the target and renamed into place, so that a copy cut short (a full
    // disk, a lost share) never stands under the file's name, where a move would take it
    // for complete and delete the source.
    const size_t separator = destination.find_last_of(L"\\/");
    if (separator == std::wstring::npos) return Status(ERROR_INVALID_NAME);
    std::wstring temp;
    if (Status made = CreateTempFileIn(destination.substr(0, separator + 1), &temp); !made)
        return made;
    Status copied =
        Result(::CopyFileW(ForFileCall(source).c_str(), ForFileCall(temp).c_str(), FALSE));
    if (copied) {
        copied = Result(::MoveFileExW(ForFileCall(temp).c_str(), ForFileCall(destination).c_str(),
                                      MOVEFILE_WRITE_THROUGH));
        // Written meanwhile by someone else: the same answer as the check above.
        if (copied.code() == ERROR_ALREADY_EXISTS) copied = Status(ERROR_FILE_EXISTS);
    }
    if (!copied) {
        // A copied read-only attribute would keep the temp file.
        ::SetFileAttributesW(ForFileCall(temp).c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(ForFileCall(temp).c_str());
    }
    return copied;
}

Status CreateTempFileIn(const std::wstring& folder, std::wstring* path) {
    // Named here rather than by GetTempFileNameW, which writes into a MAX_PATH buffer.
    const std::wstring base = WithoutTrailingSeparator(folder) + L'\\' + kTempPrefix;
    DWORD seed = ::GetTickCount() ^ (::GetCurrentProcessId() << 16);
    for (int attempt = 0; attempt < 100; ++attempt) {
        wchar_t number[16];
        ::wsprintfW(number, L"%08lX", static_cast<unsigned long>(seed + attempt * 7919u));
        std::wstring candidate = base + number + L".tmp";
        UniqueFileHandle file(::CreateFileW(ForFileCall(candidate).c_str(), GENERIC_WRITE, 0,
                                            nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            *path = std::move(candidate);
            return {};
        }
        const DWORD code = ::GetLastError();
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) return Status(code);
    }
    return Status(ERROR_FILE_EXISTS);
}

void RemoveStaleTempFiles(const std::wstring& folder) {
    const std::wstring base = WithoutTrailingSeparator(folder) + L'\\';
    WIN32_FIND_DATAW found;
    UniqueFind find(::FindFirstFileW(ForFileCall(base + kTempPattern).c_str(), &found));
    if (!find) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ::DeleteFileW(ForFileCall(base + found.cFileName).c_str());
    } while (::FindNextFileW(find.get(), &found));
}

FileWriter::~FileWriter() {
    if (!file_) return;
    ::CloseHandle(file_);
    ::DeleteFileW(ForFileCall(path_).c_str());
}

Status FileWriter::Open(const std::wstring& path) {
    HANDLE file = ::CreateFileW(ForFileCall(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Status::LastError();
    path_ = path;
    file_ = file;
    return {};
}

Status FileWriter::Write(const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(size < (1u << 30) ? size : (1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file_, bytes, chunk, &written, nullptr)) return Status::LastError();
        if (written == 0) return Status(ERROR_WRITE_FAULT);
        bytes += written;
        size -= written;
    }
    return {};
}

Status FileWriter::Commit() {
    if (!::FlushFileBuffers(file_)) return Status::LastError();
    const BOOL closed = ::CloseHandle(std::exchange(file_, nullptr));
    return closed ? Status() : Status::LastError();
}

LocalTime LocalNow() {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace trovell
