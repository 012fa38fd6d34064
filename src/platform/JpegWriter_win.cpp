#include "platform/JpegWriter_win.h"

#include <ocidl.h>
#include <wincodec.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "platform/BmpFormat.h"
#include "platform/Dib_win.h"
#include "platform/FileOps_win.h"
#include "platform/Handles_win.h"
#include "platform/Status_win.h"

namespace trovell {

namespace {

// Rows are handed to the encoder in blocks of about this many bytes: a picture of any size
// needs no second full copy of itself.
constexpr size_t kBlockBytes = 1u << 20;

bool HoldsPicture(HDC dc) {
    switch (::GetObjectType(dc)) {
        case OBJ_DC: return true;  // a window or screen DC: its pixels are the picture
        case OBJ_MEMDC: {
            // A memory DC starts out with the system's 1x1 monochrome placeholder selected;
            // a fresh one shows which handle that is.
            UniqueDc probe(::CreateCompatibleDC(nullptr));
            const HGDIOBJ selected = ::GetCurrentObject(dc, OBJ_BITMAP);
            return selected && probe && selected != ::GetCurrentObject(probe.get(), OBJ_BITMAP);
        }
        default: return false;
    }
}

// An option the encoder may not know (4:4:4 needs Windows 8) is left at its default.
void SetOption(IPropertyBag2* options, const wchar_t* name, const VARIANT& value) {
    PROPBAG2 option{};
    option.pstrName = const_cast<wchar_t*>(name);
    VARIANT copy = value;
    options->Write(1, &option, &copy);
}

struct Failure {
    int16_t code = kJpegOk;
    DWORD system = ERROR_SUCCESS;  // the failing call's Win32 code, where it has one
};

// Only a system code says more than the writer's own number.
Failure Fail(int16_t code, HRESULT hr) {
    if (HRESULT_FACILITY(hr) == FACILITY_WIN32) return {code, static_cast<DWORD>(HRESULT_CODE(hr))};
    if (hr == E_OUTOFMEMORY) return {code, kErrorPictureTooLarge};
    return {code, ERROR_SUCCESS};
}

// Encodes into memory: WIC's own file stream stops at the classic path limit (under Wine it
// even reports success for a file it never wrote), and writing the bytes ourselves gives
// the system's own code for a full disk.
Failure Encode(HDC source, UINT width, UINT height, uint8_t quality, IStream* out) {
    HRESULT hr;
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(hr = ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IWICImagingFactory, factory.put_void())))
        return Fail(kJpegFormatError, hr);
    ComPtr<IWICBitmapEncoder> encoder;
    if (FAILED(hr = factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, encoder.put())))
        return Fail(kJpegFormatError, hr);
    if (FAILED(hr = encoder->Initialize(out, WICBitmapEncoderNoCache)))
        return Fail(kJpegCannotWrite, hr);
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    if (FAILED(hr = encoder->CreateNewFrame(frame.put(), options.put())))
        return Fail(kJpegFormatError, hr);
    if (options) {
        VARIANT value{};
        value.vt = VT_R4;
        value.fltVal = std::min<int>(quality, 100) / 100.0f;
        SetOption(options.get(), L"ImageQuality", value);
        value = VARIANT{};
        value.vt = VT_UI1;
        value.bVal = WICJpegYCrCbSubsampling444;
        SetOption(options.get(), L"JpegYCrCbSubsampling", value);
    }
    if (FAILED(hr = frame->Initialize(options.get())) || FAILED(hr = frame->SetSize(width, height)))
        return Fail(kJpegFormatError, hr);
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(hr = frame->SetPixelFormat(&format)) || format != GUID_WICPixelFormat24bppBGR)
        return Fail(kJpegFormatError, hr);

    // Successive WritePixels calls append rows, so the picture goes in blocks, each copied
    // out of the source by GDI, which knows its layout (a DIB section of either row order, a
    // device bitmap, a window) and turns it into the encoder's 24-bpp rows as it copies: the
    // block's bits are handed over as they are. One block-sized copy is all this needs.
    const size_t stride = DibStride(static_cast<int>(width), 24);
    const UINT blockRows = static_cast<UINT>(std::clamp<size_t>(kBlockBytes / stride, 1, height));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(blockRows);  // top-down, as WIC takes rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueDc stripDc(::CreateCompatibleDC(nullptr));
    UniqueBitmap strip(
        stripDc ? ::CreateDIBSection(stripDc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0)
                : nullptr);
    if (!strip || !bits) return {kJpegFormatError, kErrorPictureTooLarge};
    SelectGuard select(stripDc.get(), strip.get());
    for (UINT y = 0; y < height; y += blockRows) {
        const UINT count = std::min(blockRows, height - y);
        if (!::BitBlt(stripDc.get(), 0, 0, static_cast<int>(width), static_cast<int>(count), source,
                      0, static_cast<int>(y), SRCCOPY))
            return {kJpegNoBitmap, ::GetLastError()};
        ::GdiFlush();
        if (FAILED(hr = frame->WritePixels(count, static_cast<UINT>(stride),
                                           static_cast<UINT>(stride * count),
                                           static_cast<BYTE*>(bits))))
            return Fail(kJpegCannotWrite, hr);
    }
    if (FAILED(hr = frame->Commit()) || FAILED(hr = encoder->Commit()))
        return Fail(kJpegCannotWrite, hr);
    return {};
}

Failure WriteEncoded(IStream* encoded, const std::wstring& path) {
    FileWriter file;
    if (Status opened = file.Open(path); !opened) return {kJpegCannotOpen, opened.code()};
    HGLOBAL memory = nullptr;
    ULARGE_INTEGER size{};
    HRESULT hr;
    if (FAILED(hr = ::GetHGlobalFromStream(encoded, &memory)) ||
        FAILED(hr = encoded->Seek({}, STREAM_SEEK_CUR, &size)))
        return Fail(kJpegCannotWrite, hr);
    const void* bytes = ::GlobalLock(memory);
    Status written =
        bytes ? file.Write(bytes, static_cast<size_t>(size.QuadPart)) : Status::LastError();
    if (bytes) ::GlobalUnlock(memory);
    if (written) written = file.Commit();
    return written ? Failure{} : Failure{kJpegCannotWrite, written.code()};
}

Failure Write(HDC dc, int32_t width, int32_t height, const std::wstring& path, uint8_t quality) {
    ComInit com;
    ComPtr<IStream> encoded;
    if (HRESULT hr = ::CreateStreamOnHGlobal(nullptr, TRUE, encoded.put()); FAILED(hr))
        return Fail(kJpegFormatError, hr);
    Failure failure =
        Encode(dc, static_cast<UINT>(width), static_cast<UINT>(height), quality, encoded.get());
    return failure.code == kJpegOk ? WriteEncoded(encoded.get(), path) : failure;
}

}  // namespace

int16_t __stdcall DCSavetoJPEG(HDC dc, int32_t width, int32_t height, const wchar_t* path,
                               uint8_t quality, [[maybe_unused]] int32_t reserved) noexcept {
    if (!dc || !HoldsPicture(dc)) return kJpegNoBitmap;
    if (width <= 0 || height <= 0) return kJpegFormatError;
    if (!path || !*path) return kJpegCannotOpen;

    Failure failure;
    try {
        failure = Write(dc, width, height, path, quality);
    } catch (const std::bad_alloc&) {
        failure = {kJpegFormatError, kErrorPictureTooLarge};
    }
    if (failure.code == kJpegOk) return kJpegOk;
    ::SetLastError(failure.system);
    return failure.code;
}

}  // namespace trovell
