// The records this program hands to the system, as the system reads them in each build.
// A header macro, a packing pragma or a pointer-sized field taken for a DWORD would change
// them without a warning; a machine that cannot run the 32-bit exe would never notice, so
// the build itself refuses. The numbers are the Windows SDK's for _WIN32_WINNT 0x0601.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstddef>

namespace {

constexpr bool k32 = sizeof(void*) == 4;
constexpr size_t Bits(size_t on32, size_t on64) { return k32 ? on32 : on64; }

static_assert(sizeof(void*) == Bits(4, 8) && sizeof(LONG_PTR) == sizeof(void*) &&
              sizeof(WPARAM) == sizeof(void*) && sizeof(LPARAM) == sizeof(void*) &&
              sizeof(DWORD_PTR) == sizeof(void*) && sizeof(UINT_PTR) == sizeof(void*));
static_assert(sizeof(LONG) == 4 && sizeof(DWORD) == 4 && sizeof(wchar_t) == 2);

// The tray icon and its balloon: the shell takes the texts at these offsets.
static_assert(sizeof(NOTIFYICONDATAW) == Bits(956, 976));
static_assert(offsetof(NOTIFYICONDATAW, hWnd) == Bits(4, 8));
static_assert(offsetof(NOTIFYICONDATAW, uID) == Bits(8, 16));
static_assert(offsetof(NOTIFYICONDATAW, hIcon) == Bits(20, 32));
static_assert(offsetof(NOTIFYICONDATAW, szTip) == Bits(24, 40));
static_assert(offsetof(NOTIFYICONDATAW, szInfo) == Bits(288, 304));
static_assert(offsetof(NOTIFYICONDATAW, szInfoTitle) == Bits(804, 820));
static_assert(offsetof(NOTIFYICONDATAW, dwInfoFlags) == Bits(932, 948));

// The file list of a drag: other programs read it, in either bitness.
static_assert(sizeof(DROPFILES) == 20 && offsetof(DROPFILES, fWide) == 16);
static_assert(sizeof(FORMATETC) == Bits(20, 32) && sizeof(STGMEDIUM) == Bits(12, 24));

// Pictures: the DIB headers are the same in both builds; BITMAP carries a pointer.
static_assert(sizeof(BITMAPINFOHEADER) == 40 && sizeof(BITMAPV5HEADER) == 124);
static_assert(sizeof(BITMAP) == Bits(24, 32) && offsetof(BITMAP, bmBits) == Bits(20, 24));

// Windows and controls.
static_assert(sizeof(WNDCLASSEXW) == Bits(48, 80) && sizeof(MSG) == Bits(28, 48));
static_assert(sizeof(NONCLIENTMETRICSW) == 504 && sizeof(LOGFONTW) == 92);
static_assert(sizeof(INITCOMMONCONTROLSEX) == 8);
static_assert(sizeof(TBBUTTON) == Bits(20, 32) && offsetof(TBBUTTON, dwData) == Bits(12, 16));
static_assert(sizeof(TTTOOLINFOW) == Bits(48, 72) && offsetof(TTTOOLINFOW, lpszText) == Bits(36, 48));
static_assert(sizeof(NMHDR) == Bits(12, 24));
static_assert(sizeof(TVITEMW) == Bits(40, 56) && sizeof(TVINSERTSTRUCTW) == Bits(68, 96));
static_assert(sizeof(NMTREEVIEWW) == Bits(104, 152) && sizeof(NMTVDISPINFOW) == Bits(52, 80));

}  // namespace
