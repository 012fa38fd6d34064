#include "platform/BmpWriter_win.h"

#include <algorithm>
#include <new>
#include <vector>

#include "platform/BmpFormat.h"
#include "platform/FileOps_win.h"

namespace trovell {

namespace {

// Rows go out in blocks of about this many bytes, so a picture of any size needs no second
// copy of itself in memory.
constexpr size_t kBlockBytes = 1u << 20;

Status WriteBmp(FileWriter& file, const DibSurface& picture) {
    const int width = picture.width();
    const int height = picture.height();
    const std::vector<uint8_t> headers = BmpHeaders24(width, height);
    if (headers.empty()) return Status(kErrorPictureTooLarge);
    if (Status written = file.Write(headers.data(), headers.size()); !written) return written;
    const size_t stride = DibStride(width, 24);
    const int rowsPerBlock = static_cast<int>(std::max<size_t>(1, kBlockBytes / stride));
    std::vector<uint8_t> block(stride * static_cast<size_t>(std::min(rowsPerBlock, height)));
    const uint32_t* pixels = picture.bits();
    for (int row = 0; row < height; row += rowsPerBlock) {
        const int rows = std::min(rowsPerBlock, height - row);
        EncodeBmpRows24(pixels, width, height, row, rows, block.data());
        if (Status written = file.Write(block.data(), stride * static_cast<size_t>(rows));
            !written)
            return written;
    }
    return file.Commit();
}

}  // namespace

Status SaveBmp(const DibSurface& picture, const std::wstring& path) {
    if (picture.empty()) return Status(ERROR_INVALID_PARAMETER);
    FileWriter file;
    if (Status opened = file.Open(path); !opened) return opened;
    try {
        return WriteBmp(file, picture);
    } catch (const std::bad_alloc&) {
        return Status(ERROR_NOT_ENOUGH_MEMORY);
    }
}

}  // namespace trovell
