// The floor of the freeze and drop-store figures. A left click on its tray icon copies the
// virtual screen into a DIB section with one BitBlt and shows a window of that size that
// paints it. In that window a button release copies a block from (200, 150), 1000 x 700
// unless told, into a 24-bpp DIB section (whose bits are a BMP's pixel rows) and writes it
// with one write, as the product's drop picture stores on the pointer move that Wine sends it
// when the capture ends. Usage: bench_capture_floor.exe FOLDER CAPTION [WIDTH HEIGHT]
#include "FloorTray.h"

namespace {
NOTIFYICONDATAW record;
const wchar_t* folder = L".";
const wchar_t* caption = L"bench capture floor";
HWND frozen = nullptr;
HDC frozenDc = nullptr;
HBITMAP frozenBitmap = nullptr;
bool armed = false;
int screenLeft = 0, screenTop = 0, screenWidth = 0, screenHeight = 0;
int blockWidth = 1000, blockHeight = 700;

HBITMAP MakeDib(HDC dc, int width, int height, int bits, void** pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = bits == 24 ? height : -height;  // a BMP's rows are bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bits);
    info.bmiHeader.biCompression = BI_RGB;
    return ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, pixels, nullptr, 0);
}

LRESULT CALLBACK FrozenProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(hwnd, &ps);
            ::BitBlt(dc, 0, 0, screenWidth, screenHeight, frozenDc, 0, 0, SRCCOPY);
            ::EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_LBUTTONDOWN: armed = true; return 0;
        case WM_LBUTTONUP:
            if (armed) {
                armed = false;
                const int kWidth = blockWidth, kHeight = blockHeight;
                HDC dc = ::CreateCompatibleDC(frozenDc);
                void* bits = nullptr;
                HBITMAP block = MakeDib(dc, kWidth, kHeight, 24, &bits);
                HGDIOBJ old = ::SelectObject(dc, block);
                ::BitBlt(dc, 0, 0, kWidth, kHeight, frozenDc, 200, 150, SRCCOPY);
                ::GdiFlush();
                const DWORD stride = (kWidth * 3 + 3) & ~3u, size = stride * kHeight;
                struct {
                    BITMAPFILEHEADER file;
                    BITMAPINFOHEADER info;
                } __attribute__((packed)) head{};
                head.file.bfType = 0x4D42;
                head.file.bfSize = sizeof(head) + size;
                head.file.bfOffBits = sizeof(head);
                head.info.biSize = sizeof(head.info);
                head.info.biWidth = kWidth;
                head.info.biHeight = kHeight;
                head.info.biPlanes = 1;
                head.info.biBitCount = 24;
                bench::WriteFinal(folder, L"floor.bmp", &head, sizeof(head), bits, size);
                ::SelectObject(dc, old);
                ::DeleteObject(block);
                ::DeleteDC(dc);
            }
            return 0;
        case WM_RBUTTONUP: ::DestroyWindow(hwnd); return 0;
        case WM_DESTROY:
            frozen = nullptr;
            ::DeleteDC(frozenDc);
            ::DeleteObject(frozenBitmap);
            frozenDc = nullptr;
            return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

void Freeze() {
    if (frozen) return;
    screenLeft = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    screenTop = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    screenWidth = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screenHeight = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    HDC screen = ::GetDC(::GetDesktopWindow());
    frozenDc = ::CreateCompatibleDC(screen);
    void* bits = nullptr;
    frozenBitmap = MakeDib(frozenDc, screenWidth, screenHeight, 32, &bits);
    ::SelectObject(frozenDc, frozenBitmap);
    ::BitBlt(frozenDc, 0, 0, screenWidth, screenHeight, screen, screenLeft, screenTop, SRCCOPY);
    ::ReleaseDC(::GetDesktopWindow(), screen);
    frozen =
        ::CreateWindowExW(0, L"bench frozen", caption, WS_POPUP, screenLeft, screenTop, screenWidth,
                          screenHeight, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::ShowWindow(frozen, SW_SHOW);
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == bench::kTrayMessage && lp == WM_LBUTTONUP) {
        Freeze();
        return 0;
    }
    if (bench::HandleClose(hwnd, msg, &record)) return 0;
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argc > 1) folder = argv[1];
    if (argc > 2) caption = argv[2];
    if (argc > 4) blockWidth = _wtoi(argv[3]), blockHeight = _wtoi(argv[4]);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = FrozenProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_CROSS);
    wc.lpszClassName = L"bench frozen";
    if (!::RegisterClassExW(&wc)) return 1;
    HWND owner;
    if (!bench::StartTray(L"bench capture floor", Proc, &owner, &record)) return 1;
    return bench::Loop();
}
