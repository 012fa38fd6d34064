#pragma once
// What every floor program shares: a hidden window that owns a tray icon made the way the
// product makes its own (a 16 x 16 32-bpp DIB section and a mask through CreateIconIndirect),
// and the message loop. A floor does only the work its figure cannot do without.
#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <cstring>
#include <cwchar>

namespace bench {

constexpr UINT kTrayMessage = WM_APP + 1;

inline HICON MakeIcon() {
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof(header);
    header.bV5Width = 16;
    header.bV5Height = -16;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HBITMAP color = ::CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                       DIB_RGB_COLORS, &bits, nullptr, 0);
    ::ReleaseDC(nullptr, screen);
    if (!color) return nullptr;
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int i = 0; i < 256; ++i) pixels[i] = 0xFF2060C0u;
    uint16_t mask[16] = {};
    HBITMAP maskBitmap = ::CreateBitmap(16, 16, 1, 1, mask);
    ICONINFO info{TRUE, 0, 0, maskBitmap, color};
    HICON icon = ::CreateIconIndirect(&info);
    ::DeleteObject(maskBitmap);
    ::DeleteObject(color);
    return icon;
}

// Creates the hidden owner window of class `name` with `proc` and adds the icon; false when
// either fails.
inline bool StartTray(const wchar_t* name, WNDPROC proc, HWND* owner, NOTIFYICONDATAW* record) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    if (!::RegisterClassExW(&wc)) return false;
    *owner = ::CreateWindowExW(0, name, name, WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr, nullptr,
                               wc.hInstance, nullptr);
    if (!*owner) return false;
    *record = {};
    record->cbSize = sizeof(*record);
    record->hWnd = *owner;
    record->uID = 1;
    record->uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record->uCallbackMessage = kTrayMessage;
    record->hIcon = MakeIcon();
    std::wcscpy(record->szTip, name);
    return ::Shell_NotifyIconW(NIM_ADD, record) != FALSE;
}

inline int Loop() {
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

// The common closing of a floor: WM_CLOSE to the owner removes the icon and ends the loop.
inline bool HandleClose(HWND hwnd, UINT msg, NOTIFYICONDATAW* record) {
    if (msg == WM_CLOSE) {
        ::Shell_NotifyIconW(NIM_DELETE, record);
        ::DestroyWindow(hwnd);
        return true;
    }
    if (msg == WM_DESTROY) ::PostQuitMessage(0);
    return false;
}

// Temp file, bytes, flush, then the final name: the store's own pattern, so both pay for the
// flush a stored picture needs to survive a power cut.
inline bool WriteFinal(const wchar_t* folder, const wchar_t* name, const void* head, DWORD headSize,
                       const void* body, DWORD bodySize) {
    wchar_t temp[MAX_PATH], final[MAX_PATH];
    ::wsprintfW(temp, L"%s\\floor.tmp", folder);
    ::wsprintfW(final, L"%s\\%s", folder, name);
    HANDLE file = ::CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = (!headSize || ::WriteFile(file, head, headSize, &written, nullptr)) &&
              ::WriteFile(file, body, bodySize, &written, nullptr) && ::FlushFileBuffers(file);
    ::CloseHandle(file);
    return ok && ::MoveFileExW(temp, final, MOVEFILE_COPY_ALLOWED);
}

}  // namespace bench
