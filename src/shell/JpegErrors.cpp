#include "shell/JpegErrors.h"

#include "shell/Texts.h"

namespace trovell {

bool JpegErrorText(int16_t code, std::wstring* message) {
    if (message) {
        message->clear();
        if (code >= 1 && code <= 5) *message = texts::kJpegErrors[code - 1];
    }
    return code == 0;
}

}  // namespace trovell
