// The floor of the clipboard-store figures: a left click on its tray icon reads the
// clipboard's DIB and writes it as a 24-bpp BMP with one write, or as a JPEG through a bare
// WIC encode at the product's options, into today's folder under FOLDER. Usage:
// bench_store_floor.exe FOLDER bmp|jpeg
#include "FloorTray.h"

#include <ole2.h>
#include <wincodec.h>

#include <type_traits>

namespace {
NOTIFYICONDATAW record;
const wchar_t* root = L".";
wchar_t folder[MAX_PATH];
bool jpeg = false;

// COM and the codecs come with the first store, as in the product, which a resident
// program that must stay small cannot hold from its start.
struct Com {
    HRESULT(WINAPI* init)(LPVOID, DWORD);
    void(WINAPI* uninit)();
    HRESULT(WINAPI* create)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
    HRESULT(WINAPI* stream)(HGLOBAL, BOOL, LPSTREAM*);
    HRESULT(WINAPI* global)(LPSTREAM, HGLOBAL*);
};

const Com* LoadCom() {
    static Com com{};
    static const bool loaded = [] {
        HMODULE ole = ::LoadLibraryW(L"ole32.dll");
        if (!ole || !::LoadLibraryW(L"windowscodecs.dll")) return false;
        auto get = [ole](auto& fn, const char* name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(
                reinterpret_cast<void*>(::GetProcAddress(ole, name)));
            return fn != nullptr;
        };
        return get(com.init, "CoInitializeEx") && get(com.uninit, "CoUninitialize") &&
               get(com.create, "CoCreateInstance") && get(com.stream, "CreateStreamOnHGlobal") &&
               get(com.global, "GetHGlobalFromStream");
    }();
    return loaded ? &com : nullptr;
}

void SetOption(IPropertyBag2* bag, const wchar_t* name, VARIANT value) {
    PROPBAG2 option{};
    option.pstrName = const_cast<wchar_t*>(name);
    bag->Write(1, &option, &value);
}

// The clipboard's DIB (Wine offers 32 bpp) as the BMP's 24-bpp bottom-up rows: the one pass
// over the pixels that the file's format needs.
void Rows24(const BITMAPINFOHEADER* info, const uint8_t* bits, UINT y, uint8_t* out) {
    const UINT width = static_cast<UINT>(info->biWidth);
    const UINT height = static_cast<UINT>(info->biHeight < 0 ? -info->biHeight : info->biHeight);
    const UINT inStride = (width * info->biBitCount / 8 + 3) & ~3u;
    // Row y counted from the top of the picture.
    const uint8_t* in = bits + size_t{info->biHeight > 0 ? height - 1 - y : y} * inStride;
    if (info->biBitCount == 24) {
        std::memcpy(out, in, width * 3);
        return;
    }
    for (UINT x = 0; x < width; ++x, in += 4) {
        *out++ = in[0];
        *out++ = in[1];
        *out++ = in[2];
    }
}

bool WriteJpeg(const BITMAPINFOHEADER* info, const uint8_t* bits) {
    const UINT width = static_cast<UINT>(info->biWidth);
    const UINT height = static_cast<UINT>(info->biHeight < 0 ? -info->biHeight : info->biHeight);
    const UINT stride = (width * 3 + 3) & ~3u;
    const Com* com = LoadCom();
    if (!com || FAILED(com->init(nullptr, COINIT_APARTMENTTHREADED))) return false;
    bool ok = false;
    IWICImagingFactory* factory = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    IStream* stream = nullptr;
    if (SUCCEEDED(com->stream(nullptr, TRUE, &stream)) &&
        SUCCEEDED(com->create(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, &options))) {
        VARIANT v{};
        v.vt = VT_R4;
        v.fltVal = 1.0f;
        SetOption(options, L"ImageQuality", v);
        v = VARIANT{};
        v.vt = VT_UI1;
        v.bVal = WICJpegYCrCbSubsampling444;
        SetOption(options, L"JpegYCrCbSubsampling", v);
        WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
        ok = SUCCEEDED(frame->Initialize(options)) && SUCCEEDED(frame->SetSize(width, height)) &&
             SUCCEEDED(frame->SetPixelFormat(&format));
        static uint8_t row[4 * 8192];
        for (UINT y = 0; ok && y < height; ++y) {
            Rows24(info, bits, y, row);
            ok = SUCCEEDED(frame->WritePixels(1, stride, stride, row));
        }
        ok = ok && SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
        HGLOBAL memory = nullptr;
        ULARGE_INTEGER size{};
        if (ok && SUCCEEDED(com->global(stream, &memory)) &&
            SUCCEEDED(stream->Seek({}, STREAM_SEEK_CUR, &size))) {
            void* bytes = ::GlobalLock(memory);
            ok = bench::WriteFinal(folder, L"floor.jpg", nullptr, 0, bytes,
                                   static_cast<DWORD>(size.QuadPart));
            ::GlobalUnlock(memory);
        }
    }
    if (options) options->Release();
    if (frame) frame->Release();
    if (encoder) encoder->Release();
    if (factory) factory->Release();
    if (stream) stream->Release();
    com->uninit();
    return ok;
}

bool WriteBmp(const BITMAPINFOHEADER* info, const uint8_t* bits) {
    const UINT width = static_cast<UINT>(info->biWidth);
    const UINT height = static_cast<UINT>(info->biHeight < 0 ? -info->biHeight : info->biHeight);
    const DWORD stride = (width * 3 + 3) & ~3u, size = stride * height;
    struct {
        BITMAPFILEHEADER file;
        BITMAPINFOHEADER info;
    } __attribute__((packed)) head{};
    head.file.bfType = 0x4D42;
    head.file.bfSize = sizeof(head) + size;
    head.file.bfOffBits = sizeof(head);
    head.info.biSize = sizeof(head.info);
    head.info.biWidth = static_cast<LONG>(width);
    head.info.biHeight = static_cast<LONG>(height);
    head.info.biPlanes = 1;
    head.info.biBitCount = 24;
    uint8_t* body =
        static_cast<uint8_t*>(::VirtualAlloc(nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    if (!body) return false;
    for (UINT y = 0; y < height; ++y) Rows24(info, bits, height - 1 - y, body + size_t{y} * stride);
    const bool ok = bench::WriteFinal(folder, L"floor.bmp", &head, sizeof(head), body, size);
    ::VirtualFree(body, 0, MEM_RELEASE);
    return ok;
}

// Today's folder, made with the store as the product makes it in a fresh store.
void MakeDayFolder() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    ::wsprintfW(folder, L"%s\\%02u%02u%02u", root, now.wYear % 100u, now.wMonth, now.wDay);
    ::CreateDirectoryW(folder, nullptr);
}

void Store() {
    if (!::IsClipboardFormatAvailable(CF_DIB) || !::OpenClipboard(nullptr)) return;
    MakeDayFolder();
    if (HGLOBAL handle = ::GetClipboardData(CF_DIB)) {
        auto* dib = static_cast<const uint8_t*>(::GlobalLock(handle));
        const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(dib);
        // Only what the bench puts there: BI_RGB without a palette.
        if ((info->biBitCount == 24 || info->biBitCount == 32) && info->biCompression == BI_RGB) {
            const uint8_t* bits = dib + info->biSize;
            if (jpeg)
                WriteJpeg(info, bits);
            else
                WriteBmp(info, bits);
        }
        ::GlobalUnlock(handle);
    }
    ::CloseClipboard();
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == bench::kTrayMessage && lp == WM_LBUTTONUP) {
        Store();
        return 0;
    }
    if (bench::HandleClose(hwnd, msg, &record)) return 0;
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argc > 1) root = argv[1];
    jpeg = argc > 2 && std::wcscmp(argv[2], L"jpeg") == 0;
    HWND owner;
    if (!bench::StartTray(L"bench store floor", Proc, &owner, &record)) return 1;
    return bench::Loop();
}
