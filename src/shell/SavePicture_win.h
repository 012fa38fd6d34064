#pragma once
// Storing a picture: the one routine behind the clipboard store and the drop window.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "platform/LocalTime.h"
#include "platform/Status_win.h"

namespace trovell {

class DibSurface;

using Clock = std::function<LocalTime()>;
// The JPEG writer's contract: pixels at (0, 0) of the DC, size, path, quality, always 0.
using JpegWriter = std::function<int16_t(HDC dc, int32_t width, int32_t height,
                                         const wchar_t* path, uint8_t quality, int32_t reserved)>;

struct SaveResult {
    enum class Kind { Saved, NothingToDo, Failed } kind = Kind::NothingToDo;
    std::wstring path;    // the stored file when Saved
    std::wstring reason;  // why not, when Failed: the writer's or the system's words
    std::wstring folder;  // the day folder it was written to, or tried to be
};

// Writes the picture into today's folder under the store root as BMP (format 0) or JPEG
// (format 1); any other format stores nothing. The file appears under its final name only
// when complete and flushed, and never replaces another: a second picture in the same
// second is _2. Temp files of stores killed midway in that folder are removed.
SaveResult SavePictureToStore(const DibSurface& picture, const std::wstring& storeRoot,
                              int16_t saveFormat, const Clock& clock, const JpegWriter& jpeg);

// Makes the store root, and the "img" folder above it, where missing. Without "img" every
// later picture would be lost, so it is not left to the installation.
Status EnsureStoreRoot(const std::wstring& storeRoot);

// The real writer, for callers that do not substitute one.
JpegWriter DefaultJpegWriter();

}  // namespace trovell
