#pragma once
#include <cstdint>
#include <string>

namespace trovell {

// True exactly when the writer's code says the file was written. For codes 1 to 5 the
// writer's own wording goes to *message; for unknown codes it stays empty.
bool JpegErrorText(int16_t code, std::wstring* message = nullptr);

}  // namespace trovell
