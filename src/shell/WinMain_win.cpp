#include <windows.h>

#include "shell/frmMain_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Nothing more is started here: the common controls and OLE come with the first window
    // that needs them, so the resident icon starts quickly and stays small.
    trovell::frmMain main;
    using Load = trovell::frmMain::LoadResult;
    const Load load = main.Form_Load();
    if (load != Load::Started) return load == Load::AlreadyRunning ? 0 : 1;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
