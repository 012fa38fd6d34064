// The browser's drag and drop and its list order: files dragged out of the list, files
// dropped onto the folder tree, and the sort button.
#include <windowsx.h>

#include <cstdlib>
#include <utility>

#include "browser/BrowserRules.h"
#include "browser/BrowserTexts.h"
#include "browser/FileDrop.h"
#include "browser/frmList_win.h"
#include "platform/FileOps_win.h"
#include "platform/Icons_win.h"
#include "platform/MessageBox_win.h"
#include "platform/PixelArt.h"
#include "platform/Startup_win.h"

namespace trovell {

namespace {

constexpr int kSortImageWidth = 9;
constexpr int kSortImageHeight = 8;
constexpr UINT_PTR kDragDropSubclass = 1;

bool PastDragThreshold(POINT from, POINT to) {
    return std::abs(to.x - from.x) > ::GetSystemMetrics(SM_CXDRAG) ||
           std::abs(to.y - from.y) > ::GetSystemMetrics(SM_CYDRAG);
}

}  // namespace

void frmList::SetUpDragDrop() {
    ImageList2_.reset(
        ::ImageList_Create(kSortImageWidth, kSortImageHeight, ILC_COLOR32 | ILC_MASK, 2, 0));
    if (ImageList2_) {
        for (const art::PixelMap* map : {&art::kSortUp, &art::kSortDown})
            if (UniqueIcon icon = IconFromPixelMap(*map))
                ::ImageList_AddIcon(ImageList2_.get(), icon.get());
        sortUp_.reset(::ImageList_GetIcon(ImageList2_.get(), 0, ILD_NORMAL));
        sortDown_.reset(::ImageList_GetIcon(ImageList2_.get(), 1, ILD_NORMAL));
    }
    ShowSortPicture();

    const auto self = reinterpret_cast<DWORD_PTR>(this);
    ::SetWindowSubclass(List1_, &frmList::DragDropProc, kDragDropSubclass, self);
    ::SetWindowSubclass(TreeView1_, &frmList::DragDropProc, kDragDropSubclass, self);
    // Without OLE the browser works on, without drag and drop.
    if (!EnsureOle()) return;
    (void)TreeView1Drop_.Register(
        TreeView1_,
        {.dragOver = [this](IDataObject* data, POINT at,
                            DragState state) { TreeView1_OLEDragOver(data, at, state); },
         .drop = [this](IDataObject* data, POINT at) { TreeView1_OLEDragDrop(data, at); }});
}

LRESULT CALLBACK frmList::DragDropProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                       DWORD_PTR self) noexcept {
    auto* form = reinterpret_cast<frmList*>(self);
    try {
        if (msg == WM_DESTROY && hwnd == form->TreeView1_) form->TreeView1Drop_.Revoke();
        if (hwnd == form->List1_ && form->List1_DragMouse(msg, wp, lp)) return 0;
    } catch (...) {
        return 0;
    }
    if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(hwnd, &frmList::DragDropProc, id);
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

// ---------------------------------------------------------------- dragging out of the list

bool frmList::List1_DragMouse(UINT msg, WPARAM wp, LPARAM lp) {
    const POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    switch (msg) {
        case WM_LBUTTONDOWN: {
            // A drag starts on an entry, not on the empty space below the last one.
            const LRESULT hit = ::SendMessageW(List1_, LB_ITEMFROMPOINT, 0, lp);
            const bool onEntry = HIWORD(hit) == 0 && ListCount() > 0;
            listPress_ = {.armed = onEntry, .deferred = false, .at = at};
            // The list narrows the selection to the pressed entry at once; a press on an entry
            // already selected may be the start of dragging all of them, so the list sees it
            // only once it has turned out to be a click.
            if (onEntry && !(wp & (MK_SHIFT | MK_CONTROL)) &&
                ::SendMessageW(List1_, LB_GETSEL, LOWORD(hit), 0) > 0) {
                listPress_.deferred = true;
                ::SetFocus(List1_);
                ::SetCapture(List1_);
                return true;
            }
            return false;
        }
        case WM_MOUSEMOVE: {
            if (!listPress_.armed) return false;
            if (!(wp & MK_LBUTTON)) {
                listPress_.armed = false;
                return false;
            }
            // Small moves neither drag nor stretch the selection over more entries.
            if (!PastDragThreshold(listPress_.at, at)) return true;
            listPress_.armed = false;
            if (listPress_.deferred) {
                ::ReleaseCapture();
            } else {
                // The list ends its own tracking of the button as it does on a release.
                const POINT p = listPress_.at;
                ::DefSubclassProc(List1_, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
            }
            List1_Drag();
            return true;
        }
        case WM_LBUTTONUP: {
            if (!std::exchange(listPress_.armed, false) || !listPress_.deferred) return false;
            ::ReleaseCapture();
            // A click after all: the list gets the press it was spared, then this release.
            const POINT p = listPress_.at;
            ::DefSubclassProc(List1_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
            return false;
        }
        case WM_CAPTURECHANGED:
            if (listPress_.deferred && reinterpret_cast<HWND>(lp) != List1_)
                listPress_.armed = false;
            return false;
    }
    return false;
}

void frmList::List1_Drag() {
    if (inDragDrop_ > 0 || ::SendMessageW(List1_, LB_GETSELCOUNT, 0, 0) <= 0) return;
    ComPtr<IDataObject> data = List1_DragData();
    List1_OLEStartDrag();
    ++inDragDrop_;
    const DWORD effect = DragFiles(data.get());
    --inDragDrop_;
    DetachFileDataObject(data.get());
    List1_OLECompleteDrag(effect);
    CloseIfAskedMeanwhile();
}

void frmList::CloseIfAskedMeanwhile() {
    if (inDragDrop_ == 0 && std::exchange(closeAfterDrag_, false)) CloseWindow();
}

ComPtr<IDataObject> frmList::List1_DragData() {
    return MakeFileDataObject([this] { return List1_OLESetData(); });
}

std::vector<std::wstring> frmList::List1_OLESetData() {
    std::vector<std::wstring> paths;
    const HTREEITEM node = SelectedNode();
    if (!node) return paths;
    const std::wstring folder = NodeText(node);
    const int count = ListCount();
    for (int i = 0; i < count; ++i)
        if (::SendMessageW(List1_, LB_GETSEL, i, 0) > 0)
            paths.push_back(EntryPath(strImgPath_, folder, ListEntry(i)));
    return paths;
}

void frmList::List1_OLEStartDrag() {
    blnListDrag = true;
}

void frmList::List1_OLECompleteDrag(DWORD) {
    // Whatever the target did: the list and its files stay as they are.
    if (!blnListDrag) return;
    SetDropHighlight(nullptr);
    blnListDrag = false;
}

// ---------------------------------------------------------------- dropping onto the tree

HTREEITEM frmList::DropHighlight() const {
    const HTREEITEM selected = SelectedNode();
    if (selected &&
        (TreeView_GetItemState(TreeView1_, selected, TVIS_DROPHILITED) & TVIS_DROPHILITED))
        return selected;
    return TreeView_GetDropHilight(TreeView1_);
}

void frmList::SetDropHighlight(HTREEITEM node) {
    if (DropHighlight() == node) return;
    TreeView_SelectDropTarget(TreeView1_, nullptr);
    TreeView_SelectDropTarget(TreeView1_, node);
    // Wine's tree takes no drop target that is its selected node; the node's state marks it
    // all the same, as the drop target's state does on Windows.
    if (const HTREEITEM selected = SelectedNode())
        TreeView_SetItemState(TreeView1_, selected, node == selected ? TVIS_DROPHILITED : 0,
                              TVIS_DROPHILITED);
}

HTREEITEM frmList::DropNodeAt(POINT at) const {
    TVHITTESTINFO hit{};
    hit.pt = at;
    const HTREEITEM node = TreeView_HitTest(TreeView1_, &hit);
    // Anywhere on a node's row: the label is a narrow target for a drop.
    constexpr UINT kOnRow = TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT | TVHT_ONITEMBUTTON;
    return (hit.flags & kOnRow) ? node : nullptr;
}

void frmList::TreeView1_OLEDragOver(IDataObject* /*data*/, POINT at, DragState state) {
    // Whatever the data: the mark follows the pointer, the drop alone refuses what is no file
    // list. Leaving takes the mark away wherever the pointer was last: a drag cancelled over a
    // node must not leave that node marked.
    SetDropHighlight(state != DragState::Leave ? DropNodeAt(at) : nullptr);
}

void frmList::TreeView1_OLEDragDrop(IDataObject* data, POINT at) {
    const std::optional<std::vector<std::wstring>> files = DroppedFiles(data);
    ++inDragDrop_;
    if (files && !files->empty()) DropFilesAt(*files, at);
    --inDragDrop_;
    SetDropHighlight(nullptr);
    CloseIfAskedMeanwhile();
}

void frmList::DropFilesAt(const std::vector<std::wstring>& files, POINT at) {
    const HTREEITEM node = DropNodeAt(at);
    if (!node) {
        ReportDropFailure(Status(ERROR_PATH_NOT_FOUND).Text());
        return;
    }
    const std::wstring folder = EntryFolder(strImgPath_, NodeText(node));
    const std::wstring listFolder = EntryFolder(strImgPath_, NodeText(SelectedNode()));
    // Entries go with redraw off rather than with the list disabled, which would take the
    // focus from it.
    ::SendMessageW(List1_, WM_SETREDRAW, FALSE, 0);
    // A moved file's entry leaves the list that showed it.
    auto leaveList = [&](const std::wstring& from) {
        const std::wstring name = DroppedFileName(from);
        if (from != listFolder + name) return;
        for (int i = ListCount() - 1; i >= 0; --i)
            if (ListEntry(i) == name) ::SendMessageW(List1_, LB_DELETESTRING, i, 0);
    };
    const uint32_t failed =
        DropFiles(files, folder, blnListDrag,
                  {.copy = [](const std::wstring& from,
                              const std::wstring& to) { return CopyFileTo(from, to).code(); },
                   .remove = [](const std::wstring& path) { return RemoveFile(path).code(); },
                   .moved = leaveList});
    ::SendMessageW(List1_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(List1_, nullptr, TRUE);
    if (failed) ReportDropFailure(Status(failed).Text());
}

void frmList::ReportDropFailure(const std::wstring& text) {
    SetDropHighlight(nullptr);
    ShowMessage(hwnd(), text, texts::kDropFailedTitle, MB_OK | MB_ICONHAND);
    SetError(text);
}

// ---------------------------------------------------------------- order

void frmList::cmdListSort_Click() {
    blnSortDesc = !blnSortDesc;
    ShowSortPicture();
    // A folder that vanished reads as empty: the list empties, and the order still changes.
    (void)File1_Read();
    FillFileList();
}

void frmList::ShowSortPicture() {
    const HICON picture = (blnSortDesc ? sortDown_ : sortUp_).get();
    ::SendMessageW(cmdListSort_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(picture));
}

}  // namespace trovell
