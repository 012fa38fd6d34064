#include "platform/Clipboard_win.h"

#include <algorithm>
#include <vector>

#include "platform/BmpFormat.h"
#include "platform/Handles_win.h"
#include "platform/PictureLoader_win.h"

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
    size_t size() const noexcept { return p_ ? ::GlobalSize(h_) : 0; }

private:
    HGLOBAL h_;
    void* p_;
};

UINT PngFormat() {
    static const UINT format = ::RegisterClipboardFormatW(L"PNG");
    return format;
}

// GDI draws every DIB that passed the header check (palettes, 16 bpp, bit fields, RLE,
// either row order) into the 32-bpp surface without loss, so the conversion is left to it,
// except for plain 24 and 32 bpp: what nearly every program offers, decoded directly in one
// pass (GDI's conversion of a 1920x1080 24-bpp DIB took 36 ms under 64-bit Wine).
Status ReadDib(DibSurface& picture) {
    HGLOBAL handle = ::GetClipboardData(CF_DIB);
    if (!handle) return Status::LastError();
    LockedGlobal lock(handle);
    if (!lock.get()) return Status::LastError();
    const auto layout = ReadPackedDib(lock.get(), lock.size());
    if (!layout) return Status(kErrorBrokenPicture);
    // Only a run-length encoded DIB may leave pixels out (its deltas); every other one covers
    // the whole picture, which a white fill would only delay.
    const bool mayLeaveGaps = layout->compression == kBiRle4 || layout->compression == kBiRle8;
    if (!picture.Resize(layout->width, layout->height,
                        mayLeaveGaps ? DibSurface::Fill::White : DibSurface::Fill::None))
        return Status(kErrorPictureTooLarge);
    if (DecodePlainDib(lock.get() + layout->bitsOffset, *layout, picture.bits())) return {};
    const int lines = ::SetDIBitsToDevice(
        picture.dc(), 0, 0, static_cast<DWORD>(layout->width), static_cast<DWORD>(layout->height),
        0, 0, 0, static_cast<UINT>(layout->height), lock.get() + layout->bitsOffset,
        reinterpret_cast<const BITMAPINFO*>(lock.get()), DIB_RGB_COLORS);
    if (lines <= 0) return Status(kErrorBrokenPicture);
    // 32-bpp bit fields may carry alpha in the high byte too; GDI leaves it 0 for the rest.
    if (layout->bitCount != 32) return {};
    uint32_t* bits = picture.bits();
    std::transform(bits, bits + static_cast<size_t>(layout->width) * picture.height(), bits,
                   [](uint32_t c) { return c & 0x00FFFFFFu; });
    return {};
}

// Only for a clipboard that offers a bitmap and no DIB at all.
Status ReadDdb(DibSurface& picture) {
    HBITMAP bitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
    BITMAP info{};
    if (!bitmap) return Status::LastError();
    if (!::GetObjectW(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return Status(kErrorBrokenPicture);
    // GetDIBits below writes every pixel.
    if (!picture.Resize(info.bmWidth, info.bmHeight, DibSurface::Fill::None))
        return Status(kErrorPictureTooLarge);
    WindowDc screen(nullptr);
    BITMAPINFO want{};
    want.bmiHeader.biSize = sizeof(want.bmiHeader);
    want.bmiHeader.biWidth = info.bmWidth;
    want.bmiHeader.biHeight = -info.bmHeight;
    want.bmiHeader.biPlanes = 1;
    want.bmiHeader.biBitCount = 32;
    want.bmiHeader.biCompression = BI_RGB;
    if (::GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(info.bmHeight), picture.bits(),
                    &want, DIB_RGB_COLORS) != info.bmHeight)
        return Status(kErrorBrokenPicture);
    uint32_t* bits = picture.bits();
    std::transform(bits, bits + static_cast<size_t>(picture.width()) * picture.height(), bits,
                   [](uint32_t c) { return c & 0x00FFFFFFu; });
    return {};
}

Status ReadPng(DibSurface& picture) {
    HGLOBAL handle = ::GetClipboardData(PngFormat());
    if (!handle) return Status::LastError();
    LockedGlobal lock(handle);
    if (!lock.get()) return Status::LastError();
    return LoadPictureFromMemory(lock.get(), lock.size(), picture) ? Status()
                                                                   : Status(kErrorBrokenPicture);
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

bool ClipboardHasPicture() {
    return ::IsClipboardFormatAvailable(CF_DIB) || ::IsClipboardFormatAvailable(CF_BITMAP) ||
           ::IsClipboardFormatAvailable(PngFormat());
}

Status ReadClipboardPicture(DibSurface& target) {
    // Looked at before opening, so that a clipboard without a picture never waits.
    if (!ClipboardHasPicture()) return Status(kErrorNoClipboardPicture);
    DibSurface picture;
    Status status;
    {
        ClipboardGuard clipboard;
        if (!clipboard) return clipboard.status();
        // A DIB is exact whatever the screen depth. The bitmap is read only where no DIB is
        // offered: where there is one, the system makes the bitmap from it, broken or not.
        if (::IsClipboardFormatAvailable(CF_DIB))
            status = ReadDib(picture);
        else if (::IsClipboardFormatAvailable(CF_BITMAP))
            status = ReadDdb(picture);
        else if (::IsClipboardFormatAvailable(PngFormat()))
            status = ReadPng(picture);
        else
            status = Status(kErrorNoClipboardPicture);  // changed meanwhile
    }
    if (status) target = std::move(picture);
    return status;
}

Status WriteClipboardBitmap(const DibSurface& picture, HWND owner) {
    if (picture.empty()) return Status(ERROR_INVALID_PARAMETER);
    const int width = picture.width();
    const int height = picture.height();
    // The file's headers less the file header: what is left is the info header of a packed DIB.
    const std::vector<uint8_t> headers = BmpHeaders24(width, height);
    if (headers.empty()) return Status(kErrorPictureTooLarge);
    const size_t rows = DibStride(width, 24) * static_cast<size_t>(height);
    const size_t size = kBmpInfoHeaderSize + rows;
    UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE, size));
    if (!block) return Status::LastError();
    {
        auto* bytes = static_cast<uint8_t*>(::GlobalLock(block.get()));
        if (!bytes) return Status::LastError();
        std::copy(headers.begin() + kBmpFileHeaderSize, headers.end(), bytes);
        EncodeBmpRows24(picture.bits(), width, height, 0, height, bytes + kBmpInfoHeaderSize);
        ::GlobalUnlock(block.get());
    }
    ClipboardGuard clipboard(owner);
    if (!clipboard) return clipboard.status();
    if (!::EmptyClipboard() || !::SetClipboardData(CF_DIB, block.get())) return Status::LastError();
    block.release();  // the system owns it now
    return {};
}

}  // namespace trovell
