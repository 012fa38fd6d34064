#include "platform/Clipboard_win.h"

#include <algorithm>
#include <optional>

#include "platform/BmpFormat.h"
#include "platform/Handles_win.h"

namespace trovell {

namespace {

// About a quarter of a second in all: long enough for a clipboard viewer to finish reading,
// short enough not to be felt when someone really keeps the clipboard open.
constexpr int kOpenTries = 10;
constexpr DWORD kRetryPauseMs = 30;

class LockedGlobal {
public:
    explicit LockedGlobal(HGLOBAL h) noexcept : h_(h), p_(h ? ::GlobalLock(h) : nullptr) {}
    ~LockedGlobal() {
        if (p_) ::GlobalUnlock(h_);
    }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    const uint8_t* get() const noexcept { return static_cast<const uint8_t*>(p_); }

private:
    HGLOBAL h_;
    void* p_;
};

BITMAPINFO TopDown32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// GDI draws every DIB it accepts (palettes, 16 bpp, bit fields, RLE, either row order) into
// the 32-bpp surface without loss, so the conversion is left to it.
bool ReadDib(DibSurface& staging) {
    HGLOBAL handle = ::GetClipboardData(CF_DIB);
    if (!handle) return false;
    LockedGlobal lock(handle);
    if (!lock.get()) return false;
    const auto layout = ReadPackedDib(lock.get(), ::GlobalSize(handle));
    if (!layout || !staging.Resize(layout->width, layout->height)) return false;
    const int lines = ::SetDIBitsToDevice(
        staging.dc(), 0, 0, static_cast<DWORD>(layout->width), static_cast<DWORD>(layout->height),
        0, 0, 0, static_cast<UINT>(layout->height), lock.get() + layout->bitsOffset,
        reinterpret_cast<const BITMAPINFO*>(lock.get()), DIB_RGB_COLORS);
    return lines > 0;
}

bool ReadDdb(DibSurface& staging) {
    HBITMAP bitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
    BITMAP info{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(info), &info)) return false;
    if (!staging.Resize(info.bmWidth, info.bmHeight)) return false;
    WindowDc screen(nullptr);
    BITMAPINFO want = TopDown32(info.bmWidth, info.bmHeight);
    return ::GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(info.bmHeight), staging.bits(),
                       &want, DIB_RGB_COLORS) == info.bmHeight;
}

}  // namespace

ClipboardGuard::ClipboardGuard(HWND owner) noexcept {
    for (int attempt = 0; attempt < kOpenTries; ++attempt) {
        if (attempt > 0) ::Sleep(kRetryPauseMs);
        if (::OpenClipboard(owner)) {
            open_ = true;
            return;
        }
        error_ = ::GetLastError();
    }
    if (error_ == ERROR_SUCCESS) error_ = ERROR_ACCESS_DENIED;
}

ClipboardGuard::~ClipboardGuard() {
    if (open_) ::CloseClipboard();
}

bool ClipboardHasBitmap() {
    return ::IsClipboardFormatAvailable(CF_BITMAP) || ::IsClipboardFormatAvailable(CF_DIB);
}

ClipboardRead ReadClipboardBitmap(DibSurface& target, DWORD* error) {
    // Looked at before opening, so that a clipboard without a picture never waits.
    if (!ClipboardHasBitmap()) return ClipboardRead::NoBitmap;
    DibSurface staging;
    {
        ClipboardGuard clipboard;
        if (!clipboard) {
            if (error) *error = clipboard.error();
            return ClipboardRead::Busy;
        }
        if (!ClipboardHasBitmap()) return ClipboardRead::NoBitmap;  // changed meanwhile
        // CF_DIB first: it is exact whatever the screen depth; the DDB is the fallback for
        // a DIB GDI cannot draw (an embedded JPEG or PNG).
        ::SetLastError(ERROR_SUCCESS);
        if (!ReadDib(staging) && !ReadDdb(staging)) {
            if (error) *error = ::GetLastError() ? ::GetLastError() : ERROR_INVALID_DATA;
            return ClipboardRead::Failed;
        }
    }
    if (!target.Resize(staging.width(), staging.height())) {
        if (error) *error = ERROR_NOT_ENOUGH_MEMORY;
        return ClipboardRead::Failed;
    }
    // The high byte may hold a source's alpha; the picture has none.
    const uint32_t* src = staging.bits();
    std::transform(src, src + static_cast<size_t>(staging.width()) * staging.height(),
                   target.bits(), [](uint32_t c) { return c & 0x00FFFFFFu; });
    return ClipboardRead::Ok;
}

bool WriteClipboardBitmap(const DibSurface& picture, DWORD* error, HWND owner) {
    auto fail = [error](DWORD code) {
        if (error) *error = code ? code : ERROR_INVALID_DATA;
        return false;
    };
    if (picture.empty()) return fail(ERROR_INVALID_PARAMETER);
    WindowDc screen(nullptr);
    UniqueBitmap copy(::CreateCompatibleBitmap(screen.get(), picture.width(), picture.height()));
    UniqueDc memory(::CreateCompatibleDC(screen.get()));
    if (!copy || !memory) return fail(::GetLastError());
    {
        SelectGuard select(memory.get(), copy.get());
        if (!::BitBlt(memory.get(), 0, 0, picture.width(), picture.height(), picture.dc(), 0, 0,
                      SRCCOPY))
            return fail(::GetLastError());
    }
    ClipboardGuard clipboard(owner);
    if (!clipboard) return fail(clipboard.error());
    if (!::EmptyClipboard()) return fail(::GetLastError());
    if (!::SetClipboardData(CF_BITMAP, copy.get())) return fail(::GetLastError());
    copy.release();  // the system owns it now
    return true;
}

}  // namespace trovell
