#include "platform/PictureLoader_win.h"

#include <wincodec.h>

#include <new>
#include <vector>

#include "platform/Handles_win.h"

namespace trovell {

namespace {

uint32_t OverWhite(uint32_t bgra) {
    const uint32_t alpha = bgra >> 24;
    if (alpha == 0xFF) return bgra & 0x00FFFFFF;
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t c = (bgra >> shift) & 0xFF;
        out |= ((c * alpha + 0xFF * (0xFF - alpha) + 127) / 0xFF) << shift;
    }
    return out;
}

bool Decode(const std::wstring& path, UINT* width, UINT* height, std::vector<uint32_t>& pixels) {
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWICImagingFactory, factory.put_void())))
        return false;
    ComPtr<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, decoder.put())))
        return false;
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.put()))) return false;
    // Straight to 24bppBGR fails under Wine for 8-bit GIFs and 16-bit PNGs; 32bppBGRA is
    // reachable from every format the decoders produce.
    ComPtr<IWICBitmapSource> bgra;
    if (FAILED(::WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.get(), bgra.put())))
        return false;
    if (FAILED(bgra->GetSize(width, height)) || *width == 0 || *height == 0 ||
        *width > 0x7FFFFFFF / 4 / *height)
        return false;
    pixels.resize(static_cast<size_t>(*width) * *height);
    return SUCCEEDED(bgra->CopyPixels(nullptr, *width * 4, static_cast<UINT>(pixels.size() * 4),
                                      reinterpret_cast<BYTE*>(pixels.data())));
}

}  // namespace

bool LoadPicture(const std::wstring& path, DibSurface& target) {
    ComInit com;
    UINT width = 0;
    UINT height = 0;
    std::vector<uint32_t> pixels;
    try {
        if (!Decode(path, &width, &height, pixels)) return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!target.Resize(static_cast<int>(width), static_cast<int>(height))) return false;
    uint32_t* dst = target.bits();
    for (uint32_t p : pixels) *dst++ = OverWhite(p);
    return true;
}

}  // namespace trovell
