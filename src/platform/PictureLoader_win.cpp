#include "platform/PictureLoader_win.h"

#include <wincodec.h>

#include <algorithm>
#include <utility>

#include "platform/FileOps_win.h"
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

ComPtr<IWICBitmapDecoder> OpenDecoder(IWICImagingFactory* factory, const uint8_t* data,
                                      size_t size) {
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICStream> stream;
    if (size > 0xFFFFFFFFu || FAILED(factory->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size))) ||
        FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr,
                                                WICDecodeMetadataCacheOnLoad, decoder.put())))
        decoder.reset();
    return decoder;
}

// Decodes straight into a new surface of the picture's size: one copy of the pixels.
bool Decode(const uint8_t* data, size_t size, DibSurface& picture) {
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWICImagingFactory, factory.put_void())))
        return false;
    ComPtr<IWICBitmapDecoder> decoder = OpenDecoder(factory.get(), data, size);
    if (!decoder) return false;
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.put()))) return false;
    // Straight to 24bppBGR fails under Wine for 8-bit GIFs and 16-bit PNGs; 32bppBGRA is
    // reachable from every format the decoders produce.
    ComPtr<IWICBitmapSource> bgra;
    if (FAILED(::WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.get(), bgra.put())))
        return false;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(bgra->GetSize(&width, &height)) || width == 0 || height == 0 ||
        width > 0x7FFFFFFF / 4 / height ||
        !picture.Resize(static_cast<int>(width), static_cast<int>(height)))
        return false;
    uint32_t* pixels = picture.bits();
    if (FAILED(bgra->CopyPixels(nullptr, width * 4, width * height * 4,
                                reinterpret_cast<BYTE*>(pixels))))
        return false;
    std::transform(pixels, pixels + static_cast<size_t>(width) * height, pixels, OverWhite);
    return true;
}

}  // namespace

bool LoadPicture(const std::wstring& path, DibSurface& target) {
    // Mapped rather than opened by WIC, whose file streams stop at the classic path limit.
    UniqueFileHandle file(::CreateFileW(ForFileCall(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart == 0 ||
        static_cast<uint64_t>(size.QuadPart) > SIZE_MAX)
        return false;
    UniqueHandleKernel mapping(
        ::CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping) return false;
    UniqueView view(::MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
    if (!view) return false;
    return LoadPictureFromMemory(static_cast<const uint8_t*>(view.get()),
                                 static_cast<size_t>(size.QuadPart), target);
}

bool LoadPictureFromMemory(const uint8_t* data, size_t size, DibSurface& target) {
    ComInit com;
    DibSurface picture;
    if (!Decode(data, size, picture)) return false;
    target = std::move(picture);
    return true;
}

}  // namespace trovell
