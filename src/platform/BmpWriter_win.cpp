#include "platform/BmpWriter_win.h"

#include <algorithm>
#include <new>
#include <vector>

#include "platform/BmpFormat.h"
#include "platform/FileOps_win.h"
#include "platform/Handles_win.h"

namespace trovell {

namespace {

// Rows go out in blocks of about this many bytes, so a picture of any size needs no second
// copy of itself in memory.
constexpr size_t kBlockBytes = 1u << 20;

bool WriteAll(HANDLE file, const uint8_t* data, size_t size) {
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, data, chunk, &written, nullptr)) return false;
        if (written == 0) {
            ::SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool WriteBmp(HANDLE file, const DibSurface& picture) {
    const int width = picture.width();
    const int height = picture.height();
    const std::vector<uint8_t> headers = BmpHeaders24(width, height);
    if (headers.empty()) {
        ::SetLastError(kErrorPictureTooLarge);
        return false;
    }
    if (!WriteAll(file, headers.data(), headers.size())) return false;
    const size_t stride = DibStride(width, 24);
    const int rowsPerBlock = static_cast<int>(std::max<size_t>(1, kBlockBytes / stride));
    std::vector<uint8_t> block(stride * static_cast<size_t>(std::min(rowsPerBlock, height)));
    const uint32_t* pixels = picture.bits();
    for (int row = 0; row < height; row += rowsPerBlock) {
        const int rows = std::min(rowsPerBlock, height - row);
        EncodeBmpRows24(pixels, width, height, row, rows, block.data());
        if (!WriteAll(file, block.data(), stride * static_cast<size_t>(rows))) return false;
    }
    // A full disk or a lost network share may only show up when the data is flushed.
    return ::FlushFileBuffers(file) != FALSE;
}

}  // namespace

Status SaveBmp(const DibSurface& picture, const std::wstring& path) {
    if (picture.empty()) return Status(ERROR_INVALID_PARAMETER);
    UniqueFileHandle file(::CreateFileW(ForFileCall(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return Status::LastError();
    bool written = false;
    try {
        written = WriteBmp(file.get(), picture);
    } catch (const std::bad_alloc&) {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    if (written) return {};
    const Status failure = Status::LastError();
    file.reset();
    ::DeleteFileW(ForFileCall(path).c_str());
    return failure;
}

}  // namespace trovell
