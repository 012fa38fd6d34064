#include "platform/Fonts_win.h"

#include "platform/Geometry.h"

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

UniqueFont CreatePointFont(const wchar_t* face, int points, int weight, BYTE charset) {
    LOGFONTW font{};
    WindowDc screen(nullptr);
    font.lfHeight = FontHeightForPoints(points, ::GetDeviceCaps(screen.get(), LOGPIXELSY));
    font.lfWeight = weight;
    font.lfCharSet = charset;
    ::lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return UniqueFont(::CreateFontIndirectW(&font));
}

LOGFONTW MessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return metrics.lfMessageFont;
    LOGFONTW font{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    return font;
}

}  // namespace trovell
