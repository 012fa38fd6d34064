// The browser's drag and drop and its list order: files dragged out of the list, files
// dropped onto the folder tree, and the sort button.
#include <utility>

#include "browser/BrowserTexts.h"
#include "browser/frmList_win.h"
#include "platform/MessageBox_win.h"
#include "platform/Startup_win.h"
#include "platform/TreeView_win.h"

namespace trovell {

void frmList::SetUpDragDrop() {
    ShowSortPicture();
    // Without OLE the browser works on, without drag and drop.
    if (!EnsureOle()) return;
    (void)TreeView1Drop_.Register(
        c_.TreeView1,
        {.dragOver = [this](IDataObject*, POINT at,
                            DragState state) { TreeView1_OLEDragOver(at, state); },
         .drop = [this](IDataObject* data, POINT at) { TreeView1_OLEDragDrop(data, at); }});
}

// ---------------------------------------------------------------- dragging out of the list

void frmList::List1_Drag() {
    if (inDragDrop_ > 0 || model_.selection().empty()) return;
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
    return MakeFileDataObject([this] { return model_.SelectedPaths(); });
}

void frmList::List1_OLEStartDrag() {
    blnListDrag = true;
}

void frmList::List1_OLECompleteDrag(DWORD) {
    // Whatever the target did: the list and its files stay as they are.
    if (!blnListDrag) return;
    SetTreeDropMark(c_.TreeView1, nullptr);
    blnListDrag = false;
}

// ---------------------------------------------------------------- dropping onto the tree

void frmList::TreeView1_OLEDragOver(POINT at, DragState state) {
    // Whatever the data: the mark follows the pointer, the drop alone refuses what is no file
    // list. Leaving takes the mark away wherever the pointer was last: a drag cancelled over a
    // node must not leave that node marked.
    SetTreeDropMark(c_.TreeView1,
                    state != DragState::Leave ? TreeRowAt(c_.TreeView1, at) : nullptr);
}

void frmList::TreeView1_OLEDragDrop(IDataObject* data, POINT at) {
    const std::optional<std::vector<std::wstring>> files = DroppedFiles(data);
    ++inDragDrop_;
    if (files && !files->empty()) {
        const Outcome dropped =
            model_.Drop(*files, FolderOf(TreeRowAt(c_.TreeView1, at)), blnListDrag);
        Render(dropped.changed);
        if (dropped.failure) {
            SetTreeDropMark(c_.TreeView1, nullptr);
            Tell(dropped.failure, texts::kDropFailedTitle);
            Report(dropped.failure);
        }
    }
    --inDragDrop_;
    SetTreeDropMark(c_.TreeView1, nullptr);
    CloseIfAskedMeanwhile();
}

// ---------------------------------------------------------------- order

void frmList::cmdListSort_Click() {
    Render(model_.Sort().changed);
    ShowSortPicture();
}

}  // namespace trovell
