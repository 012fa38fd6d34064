// The floor of the start and idle-memory figures: a program that only adds a tray icon.
#include "FloorTray.h"

namespace {
NOTIFYICONDATAW record;

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (bench::HandleClose(hwnd, msg, &record)) return 0;
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    HWND owner;
    if (!bench::StartTray(L"bench tray floor", Proc, &owner, &record)) return 1;
    return bench::Loop();
}
