#pragma once
// The JPEG writer: the six-argument contract of the writer library the tool was built
// around, encoded here with WIC.
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
// a window DC) as a baseline JPEG at path, replacing any file there. quality is 0 to 100;
// 4:4:4 chroma is asked for where the system's encoder offers it. reserved carries nothing.
// A failure after the file was created removes it again.
int16_t __stdcall DCSavetoJPEG(HDC dc, int32_t width, int32_t height, const wchar_t* path,
                               uint8_t quality, int32_t reserved) noexcept;

}  // namespace trovell
