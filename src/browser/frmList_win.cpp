#include "browser/frmList_win.h"

#include <windowsx.h>

#include "browser/BrowserLayout.h"
#include "browser/BrowserRules.h"
#include "browser/BrowserTexts.h"
#include "browser/DiskStore_win.h"
#include "browser/frmPicture_win.h"
#include "platform/Clipboard_win.h"
#include "platform/Input_win.h"
#include "platform/ListBox_win.h"
#include "platform/MessageBox_win.h"
#include "platform/PictureLoader_win.h"
#include "platform/Pointer_win.h"
#include "platform/ScreenMetrics_win.h"
#include "platform/Startup_win.h"
#include "platform/TreeView_win.h"
#include "shell/StoreNames.h"

namespace trovell {

namespace {

namespace layout = browser::layout;

constexpr wchar_t kClassName[] = L"TrovellList";

}  // namespace

frmList::frmList(Options options)
    : options_(std::move(options)),
      model_(DiskStoreOps()),
      treeEvents_({.nodeClick = [this](HTREEITEM node) { TreeView1_NodeClick(node); },
                   .gotFocus = [this] { if (!focus_.restoring()) TreeView1_GotFocus(); },
                   .afterLabelEdit = [this](HTREEITEM node, const wchar_t* text) {
                       return TreeView1_AfterLabelEdit(node, text);
                   }}) {}

frmList::~frmList() {
    // The window goes first, while the fonts and image lists its controls use still exist.
    destroying_ = true;
    if (hwnd()) ::DestroyWindow(hwnd());
}

Status frmList::Open() {
    // The tree, the toolbar and the tooltip belong to the common controls.
    EnsureCommonControls();
    twips_ = ScreenTwipsPerPixel();
    if (Status created = Create({.className = kClassName,
                                 .caption = texts::kListCaption,
                                 .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                                 .client = {TwipsToPixelsX(layout::kClientWidth, twips_),
                                            TwipsToPixelsY(layout::kClientHeight, twips_)},
                                 .centred = true});
        !created)
        return created;
    if (Status made = CreateControls(); !made) return made;
    Form_Load();
    ::ShowWindow(hwnd(), SW_SHOW);
    ::SetForegroundWindow(hwnd());
    // Neither the tree nor the list: their focus rules would set button 3 at once, and the
    // button starts enabled.
    ::SetFocus(c_.cmdReSetFolder);
    return {};
}

Status frmList::CreateControls() {
    if (Status made = c_.Create(hwnd(), twips_); !made) return made;
    focus_.SetFallback(c_.cmdReSetFolder);
    for (HWND control : {c_.TreeView1, c_.List1})
        if (Status hooked = controlHook_.Attach(control); !hooked) return hooked;
    SetUpDragDrop();
    return txtFileName_.Attach(c_.txtFileName,
                               {.commit = [this] { return destroying_ || txtFileName_Validate(); },
                                .committed = [this] { return model_.shown().name; }});
}

// ---------------------------------------------------------------- rendering the model

void frmList::Render(unsigned changed) {
    if (changed & (kTreeChanged | kFolderSelected)) RenderTree((changed & kTreeChanged) != 0);
    if (changed & kListChanged) RenderList((changed & kEntriesRemoved) != 0);
    if (changed & kShownChanged) RenderShown();
}

void frmList::RenderTree(bool folders) {
    // A click on a folder changes only the selection: no pass over thousands of nodes.
    if (folders) {
        std::vector<TreeItems::Entry> entries;
        entries.reserve(model_.folders().size());
        for (const auto& folder : model_.folders()) entries.push_back({folder.id, &folder.name});
        nodes_.Sync(c_.TreeView1, entries);
    }
    const HTREEITEM selected = nodes_.Find(model_.selected());
    if (selected && selected != SelectedNode()) treeEvents_.Select(c_.TreeView1, selected);
}

void frmList::RenderList(bool keepScroll) {
    FillListBox(c_.List1, model_.entries(), keepScroll);
    SelectListEntries(c_.List1, model_.selection());
    const HICON order = (model_.descending() ? c_.sortDown : c_.sortUp).get();
    ::SendMessageW(c_.cmdListSort, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(order));
}

void frmList::RenderShown() {
    const ShownFile& shown = model_.shown();
    SetText(c_.lblYMD, shown.date);
    const bool dated = ShowsDate(shown.date);
    ::EnableWindow(c_.txtFileName, dated);
    ::EnableWindow(c_.txtK, dated);
    SetText(c_.txtK, shown.extension);
    SetText(c_.txtFileName, shown.name);
    SetText(c_.lblListIndexBack, shown.folder);
    if (shown.empty())
        c_.Picture2.Clear();
    else
        c_.Picture2.ShowFitted(Picture1_);
}

void frmList::Report(const Failure& failure) {
    if (failure) SetText(c_.lblErrorMessage, FailureText(failure));
}

void frmList::Tell(const Failure& failure, const wchar_t* title, UINT icon) {
    ShowMessage(hwnd(), FailureText(failure), title, MB_OK | icon);
}

void frmList::EnableDelete(bool enabled) {
    ::SendMessageW(c_.Toolbar1, TB_ENABLEBUTTON, kToolDelete, MAKELPARAM(enabled, 0));
}

void frmList::ApplyTreeRule() {
    EnableDelete(!model_.folders().empty());
}

std::function<bool(const std::wstring&)> frmList::PictureLoader() {
    // A picture that cannot be decoded or is too large to hold fails here, and the holder
    // keeps what it held.
    return [this](const std::wstring& path) { return LoadPicture(path, Picture1_); };
}

// ---------------------------------------------------------------- opening, refresh, closing

void frmList::Form_Load() {
    // A store that cannot be read: an empty browser, without a word, its order button drawn.
    Render(model_.Refresh(StoreRootPath(options_.appFolder, options_.userName)).changed |
           kListChanged);
}

void frmList::cmdReSetFolder_Click() {
    // A store that cannot be read leaves the tree as it was.
    const Outcome refreshed = model_.Refresh(StoreRootPath(options_.appFolder, options_.userName));
    if (refreshed.failure) return;
    Render(refreshed.changed);
    ApplyTreeRule();
}

void frmList::Form_Unload() {
    frmPicture& viewer = frmPicture::Viewer();
    if (viewer.Loaded() && ::IsWindowVisible(viewer.hwnd())) viewer.Unload();
}

void frmList::CloseWindow() {
    loops_.RunOrHold([this] {
        Form_Unload();
        ::DestroyWindow(hwnd());
    });
}

void frmList::OnDestroyed() {
    if (!destroying_ && options_.onDestroyed) options_.onDestroyed();
}

// ---------------------------------------------------------------- tree

void frmList::TreeView1_NodeClick(HTREEITEM node) {
    // No node: a tree left without a selection lists no folder. A click on the node already
    // selected reads its folder afresh.
    const Outcome selected = model_.SelectFolder(FolderOf(node));
    Render(selected.changed);
    // A folder removed behind the window's back: the list is empty, the reason is shown.
    Report(selected.failure);
}

void frmList::TreeView1_GotFocus() {
    ApplyTreeRule();
    Render(model_.ClearShown().changed);
}

void frmList::TreeView1_KeyDown(int& keyCode, int shift) {
    switch (TreeKeyAction(keyCode, shift)) {
        case TreeKey::ToList: {
            keyCode = 0;
            std::vector<int> selection = model_.selection();
            selection.push_back(0);  // the selection keeps no entry an empty list lacks
            SelectEntries(std::move(selection));
            ::SetFocus(c_.List1);
            return;
        }
        case TreeKey::Close: CloseWindow(); return;
        case TreeKey::NewFolder: NewFolder(); return;
        case TreeKey::DeleteFolder: Delete(true); return;
        case TreeKey::None: return;
    }
}

bool frmList::TreeView1_AfterLabelEdit(HTREEITEM node, const wchar_t* newText) {
    const FolderId id = FolderOf(node);
    const Outcome renamed = model_.RenameFolder(id, newText);
    if (renamed.failure) {
        // After the tree has ended the edit: a box shown inside the end notification takes the
        // focus from the edit box, which would end the edit a second time.
        Later([this, failure = renamed.failure] {
            Tell(failure, texts::kRenameTitle);
            Report(failure);
        });
        return false;
    }
    // The tree takes the new text itself once this returns.
    nodes_.Retitled(id, newText);
    Render(renamed.changed & ~kTreeChanged);
    return true;
}

// ---------------------------------------------------------------- toolbar

void frmList::Toolbar1_ButtonClick(int index) {
    switch (index) {
        case kToolClose: CloseWindow(); return;
        case kToolNew: NewFolder(); return;
        case kToolDelete:
            // Clicking the toolbar leaves the focus where it was.
            if (::GetFocus() == c_.List1) Delete(false);
            if (::GetFocus() == c_.TreeView1) Delete(true);
            return;
    }
}

void frmList::NewFolder() {
    const Outcome made = model_.NewFolder();
    if (made.failure.text == texts::kNoNewFolder) {
        Tell(made.failure, texts::kNewFolderTitle);
        return;
    }
    Render(made.changed);
    Report(made.failure);
    ApplyTreeRule();
}

void frmList::Delete(bool folder) {
    // Files are asked about even with none selected; without a folder nothing is asked.
    if (!model_.selected() || (!folder && model_.entries().empty())) return;
    const wchar_t* title = folder ? texts::kDeleteFolderTitle : texts::kDeleteFilesTitle;
    if (ShowMessage(hwnd(), folder ? texts::kConfirmDeleteFolder : texts::kConfirmDeleteFiles,
                    title, MB_OKCANCEL | MB_ICONEXCLAMATION) == IDCANCEL)
        return;
    const Outcome deleted = folder ? model_.DeleteFolder(model_.selected()) : model_.DeleteFiles();
    Render(deleted.changed);
    if (deleted.failure) {
        Tell({.text = texts::kDeleteFailed}, title);
        Report(deleted.failure);
    }
    if (folder) ApplyTreeRule();
}

// ---------------------------------------------------------------- list and preview

void frmList::List1_Click() {
    // The user's selection, as the list has just changed it.
    model_.SetSelection(ListSelection(c_.List1));
    const int index = ListCaret(c_.List1);
    if (index < 0 || index >= static_cast<int>(model_.entries().size())) return;
    const Outcome shown = model_.ShowEntry(index, PictureLoader());
    Render(shown.changed);
    SetText(c_.lblErrorMessage, FailureText(shown.failure));
}

void frmList::SelectEntries(std::vector<int> indexes) {
    model_.SetSelection(std::move(indexes));
    SelectListEntries(c_.List1, model_.selection());
}

void frmList::List1_GotFocus() {
    EnableDelete(!model_.entries().empty());
}

void frmList::List1_KeyDown(int& keyCode, int shift) {
    switch (ListKeyAction(keyCode, shift, !model_.entries().empty())) {
        case ListKey::ToTree: {
            keyCode = 0;
            std::vector<int> kept = model_.selection();
            std::erase(kept, ListCaret(c_.List1));
            SelectEntries(std::move(kept));
            ::SetFocus(c_.TreeView1);
            return;
        }
        case ListKey::Close: CloseWindow(); return;
        case ListKey::ToName:
            keyCode = 0;
            if (::IsWindowEnabled(c_.txtFileName)) ::SetFocus(c_.txtFileName);
            return;
        case ListKey::Copy: Command1_Click(); return;
        case ListKey::Open: cmdBigPic_Click(); return;
        case ListKey::Delete: Delete(false); return;
        case ListKey::None: return;
    }
}

void frmList::cmdBigPic_Click() {
    const Rect design = TwipsToPixels(layout::kPicture1, twips_);
    const Status shown = frmPicture::Viewer().ShowPicture(Picture1_, {design.width, design.height},
                                                          model_.shown().date);
    if (!shown) SetText(c_.lblErrorMessage, shown.Text());
}

void frmList::Command1_Click() {
    // Before the first picture was shown there is nothing to copy.
    if (Picture1_.empty()) return;
    const Status copied = WriteClipboardBitmap(Picture1_, hwnd());
    if (!copied) SetText(c_.lblErrorMessage, copied.Text());
}

bool frmList::txtFileName_Validate() {
    const RenameOutcome renamed = model_.RenameShown(WindowText(c_.txtFileName), PictureLoader());
    if (renamed.outcome.changed == kNoChange) return true;
    Render(renamed.outcome.changed);
    if (renamed.refused) {
        Tell(renamed.outcome.failure, texts::kRenameTitle,
             renamed.asInformation ? MB_ICONINFORMATION : MB_ICONHAND);
    } else {
        SetText(c_.lblErrorMessage, FailureText(renamed.outcome.failure));
    }
    if (renamed.listed) ::SetFocus(c_.List1);
    return !renamed.refused;
}

// ---------------------------------------------------------------- dragging out of the list

void frmList::SetUpDragDrop() {
    // Without OLE the browser works on, without drag and drop.
    if (!EnsureOle()) return;
    (void)TreeView1Drop_.Register(
        c_.TreeView1,
        {.dragOver = [this](IDataObject*, POINT at,
                            DragState state) { TreeView1_OLEDragOver(at, state); },
         .drop = [this](IDataObject* data, POINT at) { TreeView1_OLEDragDrop(data, at); }});
}

void frmList::List1_Drag() {
    if (loops_.running() || model_.selection().empty()) return;
    const LoopGuard::Scope loop(loops_);
    ComPtr<IDataObject> data = List1_DragData();
    List1_OLEStartDrag();
    const DWORD effect = DragFiles(data.get());
    DetachFileDataObject(data.get());
    List1_OLECompleteDrag(effect);
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
    const LoopGuard::Scope loop(loops_);
    const std::optional<std::vector<std::wstring>> files = DroppedFiles(data);
    if (files && !files->empty()) {
        Outcome dropped;
        {
            // A large file or thousands of them take seconds.
            WaitPointer waiting;
            dropped = model_.Drop(*files, FolderOf(TreeRowAt(c_.TreeView1, at)), blnListDrag);
        }
        Render(dropped.changed);
        if (dropped.failure) {
            SetTreeDropMark(c_.TreeView1, nullptr);
            Tell(dropped.failure, texts::kDropFailedTitle);
            Report(dropped.failure);
        }
    }
    SetTreeDropMark(c_.TreeView1, nullptr);
}

// ---------------------------------------------------------------- order

void frmList::cmdListSort_Click() {
    Render(model_.Sort().changed);
}

// ---------------------------------------------------------------- messages

LRESULT frmList::Control_Message(HWND control, UINT msg, WPARAM wp, LPARAM lp) {
    const bool tree = control == c_.TreeView1;
    if (tree) {
        treeEvents_.OnMouse(msg, lp);
        if (msg == WM_DESTROY) TreeView1Drop_.Revoke();
    } else if (listDrag_.OnMouse(control, msg, wp, lp, [this] { List1_Drag(); })) {
        return 0;
    }
    if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) {
        int keyCode = static_cast<int>(wp);
        (this->*(tree ? &frmList::TreeView1_KeyDown : &frmList::List1_KeyDown))(keyCode,
                                                                                ShiftNow());
        if (keyCode == 0 || !::IsWindow(control)) return 0;  // taken, or the window closed
    }
    return ::DefSubclassProc(control, msg, wp, lp);
}

bool frmList::OnCommand(HWND from, int id, int code) {
    if (from == c_.Toolbar1) {
        Toolbar1_ButtonClick(id);
        return true;
    }
    if (from == c_.List1) {
        if (code == LBN_SELCHANGE) List1_Click();
        if (code == LBN_DBLCLK) cmdBigPic_Click();
        if (code == LBN_SETFOCUS && !focus_.restoring()) List1_GotFocus();
        return true;
    }
    if (code != BN_CLICKED) return false;
    const std::pair<HWND, void (frmList::*)()> buttons[] = {
        {c_.cmdReSetFolder, &frmList::cmdReSetFolder_Click},
        {c_.cmdListSort, &frmList::cmdListSort_Click},
        {c_.Command1, &frmList::Command1_Click},
        {c_.cmdBigPic, &frmList::cmdBigPic_Click}};
    for (const auto& [button, click] : buttons) {
        if (from != button) continue;
        (this->*click)();
        return true;
    }
    return false;
}

LRESULT frmList::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (focus_.OnMessage(hwnd(), msg, wp)) return 0;
    switch (msg) {
        case WM_COMMAND:
            if (OnCommand(reinterpret_cast<HWND>(lp), LOWORD(wp), HIWORD(wp))) return 0;
            break;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lp);
            if (header->hwndFrom == c_.TreeView1)
                return treeEvents_.OnNotify(c_.TreeView1, *header);
            break;
        }
        case WM_CLOSE: CloseWindow(); return 0;
    }
    return Window::OnMessage(msg, wp, lp);
}

}  // namespace trovell
