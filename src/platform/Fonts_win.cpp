#include "platform/Fonts_win.h"

#include "platform/Handles_win.h"

namespace trovell {

namespace {
int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}
}  // namespace

bool FontFaceExists(const wchar_t* face, BYTE charset) {
    LOGFONTW want{};
    want.lfCharSet = charset;
    ::lstrcpynW(want.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    WindowDc screen(nullptr);
    ::EnumFontFamiliesExW(screen.get(), &want, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

}  // namespace trovell
