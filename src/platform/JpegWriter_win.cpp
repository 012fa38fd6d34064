#include "platform/JpegWriter_win.h"

#include <ocidl.h>
#include <wincodec.h>

#include <algorithm>
#include <new>
#include <vector>

#include "platform/BmpFormat.h"
#include "platform/Dib_win.h"
#include "platform/Handles_win.h"

namespace trovell {

namespace {

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

int16_t Encode(std::vector<uint8_t>& bgr, UINT width, UINT height, UINT stride, const wchar_t* path,
               uint8_t quality, bool* created) {
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWICImagingFactory, factory.put_void())))
        return kJpegFormatError;
    ComPtr<IWICStream> stream;
    if (FAILED(factory->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromFilename(path, GENERIC_WRITE)))
        return kJpegCannotOpen;
    *created = true;

    ComPtr<IWICBitmapEncoder> encoder;
    if (FAILED(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, encoder.put())))
        return kJpegFormatError;
    if (FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache))) return kJpegCannotWrite;
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    if (FAILED(encoder->CreateNewFrame(frame.put(), options.put()))) return kJpegFormatError;
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
    if (FAILED(frame->Initialize(options.get())) || FAILED(frame->SetSize(width, height)))
        return kJpegFormatError;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(frame->SetPixelFormat(&format)) || format != GUID_WICPixelFormat24bppBGR)
        return kJpegFormatError;
    if (FAILED(frame->WritePixels(height, stride, static_cast<UINT>(bgr.size()), bgr.data())) ||
        FAILED(frame->Commit()) || FAILED(encoder->Commit()))
        return kJpegCannotWrite;
    return kJpegOk;
}

}  // namespace

int16_t __stdcall DCSavetoJPEG(HDC dc, int32_t width, int32_t height, const wchar_t* path,
                               uint8_t quality, [[maybe_unused]] int32_t reserved) noexcept {
    if (!dc || !HoldsPicture(dc)) return kJpegNoBitmap;
    if (width <= 0 || height <= 0) return kJpegFormatError;
    if (!path || !*path) return kJpegCannotOpen;

    // Copied out first so that the source may be any DC, a DIB section or a device bitmap.
    DibSurface copy;
    if (!copy.Resize(width, height)) return kJpegFormatError;
    if (!::BitBlt(copy.dc(), 0, 0, width, height, dc, 0, 0, SRCCOPY)) return kJpegNoBitmap;

    const size_t stride = DibStride(width, 24);
    std::vector<uint8_t> bgr;
    try {
        bgr.resize(stride * static_cast<size_t>(height));
    } catch (const std::bad_alloc&) {
        return kJpegFormatError;
    }
    const uint32_t* src = copy.bits();
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* dst = bgr.data() + static_cast<size_t>(y) * stride;
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t c = *src++;
            *dst++ = static_cast<uint8_t>(c);
            *dst++ = static_cast<uint8_t>(c >> 8);
            *dst++ = static_cast<uint8_t>(c >> 16);
        }
    }

    ComInit com;
    bool created = false;
    const int16_t code = Encode(bgr, static_cast<UINT>(width), static_cast<UINT>(height),
                                static_cast<UINT>(stride), path, quality, &created);
    // Every COM object, and with them the stream's file handle, is released by now.
    if (code != kJpegOk && created) ::DeleteFileW(path);
    return code;
}

}  // namespace trovell
