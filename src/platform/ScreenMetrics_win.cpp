#include "platform/ScreenMetrics_win.h"

#include "platform/Handles_win.h"

namespace trovell {

TwipsPerPixel ScreenTwipsPerPixel() {
    WindowDc screen(nullptr);
    const int dpiX = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
    const int dpiY = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    return {1440 / (dpiX > 0 ? dpiX : 96), 1440 / (dpiY > 0 ? dpiY : 96)};
}

namespace {

BOOL CALLBACK NoteMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoW(monitor, &info)) {
        auto& monitors = *reinterpret_cast<std::vector<Monitor>*>(list);
        const Monitor m{FromRect(info.rcMonitor), FromRect(info.rcWork)};
        if (info.dwFlags & MONITORINFOF_PRIMARY)
            monitors.insert(monitors.begin(), m);
        else
            monitors.push_back(m);
    }
    return TRUE;
}

}  // namespace

std::vector<Monitor> DisplayMonitors() {
    std::vector<Monitor> monitors;
    if (!::EnumDisplayMonitors(nullptr, nullptr, NoteMonitor, reinterpret_cast<LPARAM>(&monitors)))
        monitors.clear();
    return monitors;
}

}  // namespace trovell
