#include "platform/BmpWriter_win.h"

#include <algorithm>
#include <new>

#include "platform/BmpFormat.h"
#include "platform/Handles_win.h"

namespace trovell {

namespace {

bool Fail(DWORD code, DWORD* error) {
    if (error) *error = code;
    return false;
}

bool WriteAll(HANDLE file, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) return false;
        if (written == 0) {
            ::SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        done += written;
    }
    return true;
}

}  // namespace

bool SaveBmp(const DibSurface& picture, const std::wstring& path, DWORD* error) {
    if (picture.empty()) return Fail(ERROR_INVALID_PARAMETER, error);
    std::vector<uint8_t> bytes;
    try {
        bytes = EncodeBmp24(picture.bits(), picture.width(), picture.height());
    } catch (const std::bad_alloc&) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY, error);
    }

    UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return Fail(::GetLastError(), error);
    // A full disk or a lost network share may only show up when the data is flushed.
    if (WriteAll(file.get(), bytes) && ::FlushFileBuffers(file.get())) return true;
    const DWORD code = ::GetLastError();
    file.reset();
    ::DeleteFileW(path.c_str());
    return Fail(code, error);
}

}  // namespace trovell
