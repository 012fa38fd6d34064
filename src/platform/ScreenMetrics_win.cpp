#include "platform/ScreenMetrics_win.h"

#include "platform/Handles_win.h"

namespace trovell {

TwipsPerPixel ScreenTwipsPerPixel() {
    WindowDc screen(nullptr);
    const int dpiX = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
    const int dpiY = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    return {1440 / (dpiX > 0 ? dpiX : 96), 1440 / (dpiY > 0 ? dpiY : 96)};
}

}  // namespace trovell
