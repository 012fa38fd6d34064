#pragma once
// The clipboard's bitmap: reading CF_DIB (or CF_BITMAP) into a picture, and placing one.
#include <windows.h>

#include "platform/Dib_win.h"

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
    DWORD error() const noexcept { return error_; }  // of the last failed attempt

private:
    bool open_ = false;
    DWORD error_ = ERROR_SUCCESS;
};

bool ClipboardHasBitmap();

enum class ClipboardRead { Ok, NoBitmap, Busy, Failed };

// Sizes target to the clipboard picture and copies it exactly. Busy: the clipboard stayed
// held by someone else; Failed: the data could not be read. *error (when given) carries
// the Win32 code for Busy and Failed. target is untouched unless the result is Ok.
ClipboardRead ReadClipboardBitmap(DibSurface& target, DWORD* error);

// Empties the clipboard and places a device-dependent copy of picture as CF_BITMAP; the
// system offers CF_DIB from it. A window should pass itself as owner: with no owner,
// SetClipboardData is documented to fail after EmptyClipboard.
bool WriteClipboardBitmap(const DibSurface& picture, DWORD* error, HWND owner = nullptr);

}  // namespace trovell
