// The resident icon needs neither COM, OLE, the imaging codecs nor the common controls.
// Imported the usual way they are loaded with the process and cost about 3 MB of private
// memory under Wine before anything needs them; here each of these functions binds on its
// first call instead. The import slot the compiler calls through (__imp_ + the decorated
// name) is defined here, first pointing at a stub that loads the DLL, then at the function.
// GNU ld's delay-import libraries would do the same, but on i686 they link the stubs to
// address 0 (binutils 2.40); MSVC builds use /DELAYLOAD instead of this file.
// A function of these DLLs that is missing below is simply imported at start-up again: the
// bench's idle-memory figure shows it.
#if defined(__GNUC__)

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <wincodec.h>

namespace {

FARPROC Resolve(const wchar_t* dll, const char* name) {
    HMODULE module = ::GetModuleHandleW(dll);
    if (!module) module = ::LoadLibraryW(dll);
    return module ? ::GetProcAddress(module, name) : nullptr;
}

}  // namespace

// A header may declare the function without dllimport; its callers then call the function's
// own symbol, which the stub takes over as well.
#if defined(_WIN64)
#define TROVELL_IMP(name, bytes) "__imp_" #name
#define TROVELL_FN(name, bytes) #name
#else
#define TROVELL_IMP(name, bytes) "__imp__" #name "@" #bytes
#define TROVELL_FN(name, bytes) "_" #name "@" #bytes
#endif

// LATE(dll, return type, name, argument bytes on i686, (parameters), (arguments), on failure)
#define LATE(dll, ret, name, bytes, params, args, failure)                    \
    extern "C" ret WINAPI Late##name params __asm__(TROVELL_FN(name, bytes)); \
    extern "C" void* lateSlot##name __asm__(TROVELL_IMP(name, bytes));        \
    void* lateSlot##name = reinterpret_cast<void*>(&Late##name);              \
    extern "C" ret WINAPI Late##name params {                                 \
        using Fn = ret(WINAPI*) params;                                       \
        static const FARPROC real = Resolve(dll, #name);                      \
        if (!real) {                                                          \
            failure;                                                          \
        }                                                                     \
        lateSlot##name = reinterpret_cast<void*>(real);                       \
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(real)) args;      \
    }

#define OLE L"ole32.dll"
#define WIC L"windowscodecs.dll"
#define CTL L"comctl32.dll"

LATE(OLE, HRESULT, CoInitializeEx, 8, (LPVOID a, DWORD b), (a, b), return E_FAIL)
LATE(OLE, void, CoUninitialize, 0, (), (), return )
LATE(OLE, HRESULT, CoCreateInstance, 20, (REFCLSID a, LPUNKNOWN b, DWORD c, REFIID d, LPVOID* e),
     (a, b, c, d, e), return E_FAIL)
LATE(OLE, void, CoTaskMemFree, 4, (LPVOID a), (a), return )
LATE(OLE, HRESULT, CreateStreamOnHGlobal, 12, (HGLOBAL a, BOOL b, LPSTREAM* c), (a, b, c),
     return E_FAIL)
LATE(OLE, HRESULT, GetHGlobalFromStream, 8, (LPSTREAM a, HGLOBAL* b), (a, b), return E_FAIL)
LATE(OLE, HRESULT, OleInitialize, 4, (LPVOID a), (a), return E_FAIL)
LATE(OLE, void, OleUninitialize, 0, (), (), return )
LATE(OLE, HRESULT, DoDragDrop, 16, (LPDATAOBJECT a, LPDROPSOURCE b, DWORD c, LPDWORD d),
     (a, b, c, d), return E_FAIL)
LATE(OLE, HRESULT, RegisterDragDrop, 8, (HWND a, LPDROPTARGET b), (a, b), return E_FAIL)
LATE(OLE, HRESULT, RevokeDragDrop, 4, (HWND a), (a), return E_FAIL)
LATE(OLE, void, ReleaseStgMedium, 4, (LPSTGMEDIUM a), (a), return )
LATE(WIC, HRESULT, WICConvertBitmapSource, 12,
     (REFWICPixelFormatGUID a, IWICBitmapSource* b, IWICBitmapSource** c), (a, b, c), return E_FAIL)
LATE(CTL, BOOL, InitCommonControlsEx, 4, (const INITCOMMONCONTROLSEX* a), (a), return FALSE)
LATE(CTL, HIMAGELIST, ImageList_Create, 20, (int a, int b, UINT c, int d, int e), (a, b, c, d, e),
     return nullptr)
LATE(CTL, BOOL, ImageList_Destroy, 4, (HIMAGELIST a), (a), return FALSE)
LATE(CTL, int, ImageList_ReplaceIcon, 12, (HIMAGELIST a, int b, HICON c), (a, b, c), return -1)
LATE(CTL, HICON, ImageList_GetIcon, 12, (HIMAGELIST a, int b, UINT c), (a, b, c), return nullptr)
LATE(CTL, int, ImageList_GetImageCount, 4, (HIMAGELIST a), (a), return 0)
LATE(CTL, BOOL, ImageList_GetIconSize, 12, (HIMAGELIST a, int* b, int* c), (a, b, c), return FALSE)
LATE(CTL, BOOL, SetWindowSubclass, 16, (HWND a, SUBCLASSPROC b, UINT_PTR c, DWORD_PTR d),
     (a, b, c, d), return FALSE)
LATE(CTL, BOOL, RemoveWindowSubclass, 12, (HWND a, SUBCLASSPROC b, UINT_PTR c), (a, b, c),
     return FALSE)
LATE(CTL, LRESULT, DefSubclassProc, 16, (HWND a, UINT b, WPARAM c, LPARAM d), (a, b, c, d),
     return 0)

#endif
