#pragma once
// The clipboard's picture: reading CF_DIB (or CF_BITMAP, or a "PNG") into a picture, and
// placing one.
#include <windows.h>

#include "platform/Dib_win.h"
#include "platform/Status_win.h"

namespace trovell {

// Opens the clipboard for the scope. Another program may hold it for a moment (clipboard
// managers and remote-desktop agents read every change), so opening is retried briefly.
class ClipboardGuard {
public:
    explicit ClipboardGuard(HWND owner = nullptr) noexcept;
    ~ClipboardGuard();
    ClipboardGuard(const ClipboardGuard&) = delete;
    ClipboardGuard& operator=(const ClipboardGuard&) = delete;

    explicit operator bool() const noexcept { return open_; }
    Status status() const noexcept { return Status(error_); }  // of the last failed attempt

private:
    bool open_ = false;
    DWORD error_ = ERROR_SUCCESS;
};

// A DIB, a bitmap, or a registered "PNG" (browsers and office programs offer one).
bool ClipboardHasPicture();

// The reason ReadClipboardPicture gives when there is simply no picture to read.
inline constexpr DWORD kErrorNoClipboardPicture = kCustomerCode | 0x100;

// Sizes target to the clipboard picture and copies it exactly; target is untouched unless
// it succeeds. A DIB is checked whole against its header before a pixel is read, and a
// broken one is refused (kErrorBrokenPicture), never replaced by the bitmap the system
// would make from it.
Status ReadClipboardPicture(DibSurface& target);

// Empties the clipboard and places picture as a 24-bit bottom-up CF_DIB, exact whatever the
// screen's depth and read by every program; the system offers CF_BITMAP from it. A window
// should pass itself as owner: with no owner, SetClipboardData is documented to fail after
// EmptyClipboard.
Status WriteClipboardBitmap(const DibSurface& picture, HWND owner = nullptr);

}  // namespace trovell
