#include "platform/FileDragDrop_win.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <utility>

#include "platform/Startup_win.h"

namespace trovell {

namespace {

// Finds our own data object behind an IDataObject pointer; never leaves this process.
// {6C0F1E52-6B1D-4C3A-9E57-3D1B52A7C2F1}
constexpr IID kIidFileDataObject = {
    0x6c0f1e52, 0x6b1d, 0x4c3a, {0x9e, 0x57, 0x3d, 0x1b, 0x52, 0xa7, 0xc2, 0xf1}};

FORMATETC FileListFormat() {
    return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// A DROPFILES block with wide paths, each ended by a null and the list by one more.
HGLOBAL RenderFileList(const std::vector<std::wstring>& paths) {
    size_t chars = 2;
    for (const std::wstring& path : paths) chars += path.size() + 1;
    UniqueGlobal memory(::GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t)));
    if (!memory) return nullptr;
    auto* header = static_cast<DROPFILES*>(::GlobalLock(memory.get()));
    if (!header) return nullptr;
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* out = reinterpret_cast<wchar_t*>(header + 1);
    for (const std::wstring& path : paths) {
        std::memcpy(out, path.c_str(), path.size() * sizeof(wchar_t));
        out += path.size() + 1;  // the block is zeroed: the null is there
    }
    ::GlobalUnlock(memory.get());
    return memory.release();
}

// IUnknown for an object offering one interface (and an own identity, where given), used
// on the window's thread only.
template <typename Interface, const IID* kIid, const IID* kOwnIid = nullptr>
class ComObject : public Interface {
public:
    virtual ~ComObject() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == *kIid || (kOwnIid && iid == *kOwnIid)) {
            *out = static_cast<Interface*>(this);
            this->AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() noexcept override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

private:
    ULONG refs_ = 1;
};

class FileDataObject final : public ComObject<IDataObject, &IID_IDataObject, &kIidFileDataObject> {
public:
    explicit FileDataObject(FileListSource source) : source_(std::move(source)) {}
    void Detach() noexcept { source_ = nullptr; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) noexcept override {
        if (!medium) return E_POINTER;
        *medium = {};
        if (const HRESULT offered = QueryGetData(format); offered != S_OK) return offered;
        if (!source_) return E_UNEXPECTED;
        try {
            medium->hGlobal = RenderFileList(source_());
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        if (!medium->hGlobal) return E_OUTOFMEMORY;
        medium->tymed = TYMED_HGLOBAL;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) noexcept override {
        if (!format) return E_POINTER;
        if (format->cfFormat != CF_HDROP) return DV_E_FORMATETC;
        if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
        if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in,
                                                    FORMATETC* out) noexcept override {
        if (!in || !out) return E_POINTER;
        *out = *in;
        out->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction,
                                            IEnumFORMATETC** out) noexcept override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (direction != DATADIR_GET) return E_NOTIMPL;
        FORMATETC format = FileListFormat();
        return ::SHCreateStdEnumFmtEtc(1, &format, out);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) noexcept override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) noexcept override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) noexcept override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    FileListSource source_;
};

class DropSource final : public ComObject<IDropSource, &IID_IDropSource> {
public:
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) noexcept override {
        // The right button pressed during a left-button drag cancels it, as in the shell.
        if (escape || (keys & MK_RBUTTON)) return DRAGDROP_S_CANCEL;
        if (!(keys & MK_LBUTTON)) return DRAGDROP_S_DROP;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) noexcept override {
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }
};

class DropTargetObject final : public ComObject<IDropTarget, &IID_IDropTarget> {
public:
    DropTargetObject(HWND window, FileDropHandlers handlers)
        : window_(window), handlers_(std::move(handlers)) {}
    void Detach() noexcept {
        window_ = nullptr;
        handlers_ = {};
        data_.reset();
    }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL at,
                                        DWORD* effect) noexcept override {
        if (!effect) return E_INVALIDARG;
        data_.reset();
        if (data) {
            data->AddRef();
            *data_.put() = data;
        }
        offersFiles_ = data && OffersFiles(data);
        *effect = Effect(*effect);
        Over(at, DragState::Enter);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL at, DWORD* effect) noexcept override {
        if (!effect) return E_INVALIDARG;
        *effect = Effect(*effect);
        Over(at, DragState::Over);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() noexcept override {
        if (handlers_.dragOver) {
            try {
                handlers_.dragOver(data_.get(), last_, DragState::Leave);
            } catch (...) {
            }
        }
        data_.reset();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL at,
                                   DWORD* effect) noexcept override {
        if (!effect) return E_INVALIDARG;
        offersFiles_ = data && OffersFiles(data);
        *effect = Effect(*effect);
        data_.reset();
        // A copy: a message box of the drop runs messages, and one of them may revoke this
        // target, which empties its handlers.
        if (const auto drop = handlers_.drop) {
            try {
                drop(data, ClientPoint(at));
            } catch (...) {
            }
        }
        return S_OK;
    }

private:
    // Never a move: a source that moves would delete its files once they are copied here,
    // and the files from the browser's own list are moved by the drop itself.
    DWORD Effect(DWORD allowed) const {
        return offersFiles_ && window_ ? (allowed & DROPEFFECT_COPY) : DROPEFFECT_NONE;
    }
    POINT ClientPoint(POINTL at) const {
        POINT p{at.x, at.y};
        if (window_) ::ScreenToClient(window_, &p);
        return p;
    }
    void Over(POINTL at, DragState state) {
        last_ = ClientPoint(at);
        if (!handlers_.dragOver) return;
        try {
            handlers_.dragOver(data_.get(), last_, state);
        } catch (...) {
        }
    }

    HWND window_;
    FileDropHandlers handlers_;
    ComPtr<IDataObject> data_;  // from enter to leave or drop
    bool offersFiles_ = false;
    POINT last_{};
};

}  // namespace

ComPtr<IDataObject> MakeFileDataObject(FileListSource source) {
    ComPtr<IDataObject> data;
    *data.put() = new FileDataObject(std::move(source));
    return data;
}

void DetachFileDataObject(IDataObject* data) {
    if (!data) return;
    void* own = nullptr;
    if (SUCCEEDED(data->QueryInterface(kIidFileDataObject, &own))) {
        auto* object = static_cast<FileDataObject*>(static_cast<IDataObject*>(own));
        object->Detach();
        object->Release();
    }
}

DWORD DragFiles(IDataObject* data) {
    if (!data || !EnsureOle()) return DROPEFFECT_NONE;
    ComPtr<IDropSource> source;
    *source.put() = new DropSource();
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT hr = ::DoDragDrop(data, source.get(), DROPEFFECT_COPY, &effect);
    return hr == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

std::optional<std::vector<std::wstring>> DroppedFiles(IDataObject* data) {
    if (!data) return std::nullopt;
    FORMATETC format = FileListFormat();
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&format, &medium))) return std::nullopt;
    struct Release {
        STGMEDIUM* medium;
        ~Release() { ::ReleaseStgMedium(medium); }
    } release{&medium};
    if (medium.tymed != TYMED_HGLOBAL || !medium.hGlobal) return std::nullopt;
    // DragQueryFileW reads wide and ANSI lists alike.
    const auto drop = static_cast<HDROP>(medium.hGlobal);
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::vector<std::wstring> paths;
    paths.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(::DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(std::move(path));
    }
    return paths;
}

bool OffersFiles(IDataObject* data) {
    FORMATETC format = FileListFormat();
    return data && data->QueryGetData(&format) == S_OK;
}

Status FileDropTarget::Register(HWND window, FileDropHandlers handlers) {
    Revoke();
    ComPtr<IDropTarget> target;
    *target.put() = new DropTargetObject(window, std::move(handlers));
    const HRESULT hr = ::RegisterDragDrop(window, target.get());
    if (FAILED(hr)) {
        static_cast<DropTargetObject*>(target.get())->Detach();
        return Status::FromHresult(hr);
    }
    window_ = window;
    target_ = std::move(target);
    return {};
}

void FileDropTarget::Revoke() {
    if (!target_) return;
    ::RevokeDragDrop(window_);
    static_cast<DropTargetObject*>(target_.get())->Detach();
    target_.reset();
    window_ = nullptr;
}

}  // namespace trovell
