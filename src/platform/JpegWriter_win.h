#pragma once
// Our JPEG writer. Its six-argument call and numbered result codes are the contract the
// store was written against; the encoding is WIC's.
#include <windows.h>

#include <cstdint>

namespace trovell {

inline constexpr int16_t kJpegOk = 0;
inline constexpr int16_t kJpegCannotOpen = 1;
inline constexpr int16_t kJpegCannotWrite = 2;
inline constexpr int16_t kJpegFormatError = 3;
inline constexpr int16_t kJpegStackOverflow = 4;  // part of the contract; never produced here
inline constexpr int16_t kJpegNoBitmap = 5;

// Writes the width x height pixels at (0, 0) of dc (a memory DC with a bitmap selected, or
// a window DC) as a baseline JPEG at path, replacing any file there, flushed to the disk.
// quality is 0 to 100; 4:4:4 chroma is asked for where the system's encoder offers it.
// reserved carries nothing. On failure the thread's last error holds the failing system
// call's code where there is one (else 0), and no file of its making is left.
int16_t __stdcall DCSavetoJPEG(HDC dc, int32_t width, int32_t height, const wchar_t* path,
                               uint8_t quality, int32_t reserved) noexcept;

}  // namespace trovell
