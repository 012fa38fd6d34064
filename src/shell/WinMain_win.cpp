#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "shell/frmMain_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // OLE rather than plain COM: the browser's drag and drop needs it, WIC is content with it.
    HRESULT ole = ::OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);

    int exitCode = 0;
    {
        trovell::frmMain main;
        using Load = trovell::frmMain::LoadResult;
        const Load load = main.Form_Load();
        if (load != Load::Started) exitCode = load == Load::AlreadyRunning ? 0 : 1;
        if (load == Load::Started) {
            MSG msg;
            while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            exitCode = static_cast<int>(msg.wParam);
        }
    }
    if (SUCCEEDED(ole)) ::OleUninitialize();
    return exitCode;
}
