#include "browser/frmList_win.h"

#include <windowsx.h>

#include "browser/BrowserLayout.h"
#include "browser/BrowserRules.h"
#include "browser/BrowserTexts.h"
#include "browser/frmPicture_win.h"
#include "platform/Clipboard_win.h"
#include "platform/FileOps_win.h"
#include "platform/Input_win.h"
#include "platform/MessageBox_win.h"
#include "platform/PictureLoader_win.h"
#include "platform/ScreenMetrics_win.h"
#include "platform/Startup_win.h"
#include "platform/TreeView_win.h"
#include "shell/StoreNames.h"

namespace trovell {

namespace {

namespace layout = browser::layout;

constexpr wchar_t kClassName[] = L"TrovellList";

// Posted so that the message box of a failed rename comes after the tree has ended the
// edit: a box shown inside the end notification takes the focus from the edit box, which
// would end the edit a second time.
constexpr UINT kMsgRenameFailed = WM_APP + 1;

uint32_t Code(const Status& status) {
    return status.code();
}

// The file system as the model uses it.
StoreOps DiskOps() {
    return {
        .listFolders =
            [](const std::wstring& folder, std::vector<std::wstring>* names) {
                return Code(ListSubfolders(folder, names));
            },
        .listFiles =
            [](const std::wstring& folder, std::vector<std::wstring>* names) {
                return Code(ListFiles(folder, names));
            },
        .makeFolder = [](const std::wstring& path) { return Code(MakeFolder(path)); },
        .removeFolder = [](const std::wstring& path) { return Code(RemoveFolder(path)); },
        .removeFile = [](const std::wstring& path) { return Code(RemoveFile(path)); },
        .move = [](const std::wstring& from,
                   const std::wstring& to) { return Code(MoveFileTo(from, to)); },
        .copy = [](const std::wstring& from,
                   const std::wstring& to) { return Code(CopyFileTo(from, to)); },
        .createdText = FileCreatedText,
    };
}

std::wstring Reason(const Failure& failure) {
    return failure.text ? std::wstring(failure.text) : Status(failure.code).Text();
}

}  // namespace

frmList::frmList(Options options) : options_(std::move(options)), model_(DiskOps()) {}

frmList::~frmList() {
    // The window goes first, while the fonts and image lists its controls use still exist.
    destroying_ = true;
    if (hwnd()) ::DestroyWindow(hwnd());
}

Status frmList::Open() {
    // The tree, the toolbar and the tooltip belong to the common controls.
    EnsureCommonControls();
    twips_ = ScreenTwipsPerPixel();
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT outer{0, 0, TwipsToPixelsX(layout::kClientWidth, twips_),
               TwipsToPixelsY(layout::kClientHeight, twips_)};
    ::AdjustWindowRectEx(&outer, style, FALSE, 0);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    if (Status created = Create({.className = kClassName,
                                 .caption = texts::kListCaption,
                                 .style = style,
                                 .bounds = {left, top, width, height}});
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

void frmList::RestoreFocus(HWND control) {
    restoringFocus_ = true;
    ::SetFocus(control && ::IsWindow(control) ? control : c_.cmdReSetFolder);
    restoringFocus_ = false;
}

Status frmList::CreateControls() {
    if (Status made = c_.Create(hwnd(), twips_); !made) return made;
    for (HWND control : {c_.TreeView1, c_.List1, c_.txtFileName})
        ::SetWindowSubclass(control, &frmList::ControlProc, 0, reinterpret_cast<DWORD_PTR>(this));
    SetUpDragDrop();
    // Only a move to another control of this window commits, as a validation does: not the
    // focus going to a message box, to another window, or away as the window closes.
    return txtFileNameLeave_.Watch(c_.txtFileName, [this](HWND gaining) {
        if (committing_ || destroying_ || !gaining || ::GetAncestor(gaining, GA_ROOT) != hwnd())
            return true;
        bool cancel = false;
        txtFileName_Validate(cancel);
        return !cancel;
    });
}

// ---------------------------------------------------------------- rendering the model

void frmList::Render(unsigned changed) {
    if (changed & kTreeChanged) RenderTree();
    if (changed & kListChanged) RenderList((changed & kEntriesRemoved) != 0);
    if (changed & kShownChanged) RenderShown();
}

void frmList::RenderTree() {
    const auto& folders = model_.folders();
    // Thousands of nodes inserted or removed with redraw on repaint the tree for every one.
    ::SendMessageW(c_.TreeView1, WM_SETREDRAW, FALSE, 0);
    selectingByCode_ = true;
    std::unordered_map<FolderId, Node> kept;
    for (const auto& folder : folders)
        if (auto found = nodes_.find(folder.id); found != nodes_.end())
            kept.insert(nodes_.extract(found));
    if (kept.empty()) {
        TreeView_DeleteAllItems(c_.TreeView1);
    } else {
        for (const auto& [id, node] : nodes_) TreeView_DeleteItem(c_.TreeView1, node.item);
    }
    nodes_ = std::move(kept);
    for (const auto& folder : folders) {
        TVITEMW item{};
        item.mask = TVIF_TEXT;
        item.pszText = const_cast<wchar_t*>(folder.name.c_str());
        if (auto found = nodes_.find(folder.id); found != nodes_.end()) {
            if (found->second.name == folder.name) continue;
            item.hItem = found->second.item;
            TreeView_SetItem(c_.TreeView1, &item);
            found->second.name = folder.name;
            continue;
        }
        TVINSERTSTRUCTW insert{};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item = item;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
        insert.item.iImage = 0;
        insert.item.iSelectedImage = 1;
        insert.item.lParam = static_cast<LPARAM>(folder.id);
        const auto node = reinterpret_cast<HTREEITEM>(SendPastSubclasses(
            c_.TreeView1, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
        if (node) nodes_[folder.id] = {node, folder.name};
    }
    const auto selected = nodes_.find(model_.selected());
    if (selected != nodes_.end() && selected->second.item != SelectedNode())
        TreeView_SelectItem(c_.TreeView1, selected->second.item);
    selectingByCode_ = false;
    ::SendMessageW(c_.TreeView1, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(c_.TreeView1, nullptr, TRUE);
}

void frmList::RenderList(bool keepScroll) {
    const auto& entries = model_.entries();
    const LRESULT top = keepScroll ? ::SendMessageW(c_.List1, LB_GETTOPINDEX, 0, 0) : 0;
    // A list box filled with redraw on takes tens of seconds for ten thousand names.
    size_t chars = 0;
    for (const std::wstring& name : entries) chars += name.size() + 1;
    ::SendMessageW(c_.List1, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(c_.List1, LB_RESETCONTENT, 0, 0);
    ::SendMessageW(c_.List1, LB_INITSTORAGE, entries.size(), chars * sizeof(wchar_t));
    for (const std::wstring& name : entries)
        SendPastSubclasses(c_.List1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    RenderSelection();
    if (keepScroll) ::SendMessageW(c_.List1, LB_SETTOPINDEX, top, 0);
    ::SendMessageW(c_.List1, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(c_.List1, nullptr, TRUE);
}

void frmList::RenderSelection() {
    const auto& selection = model_.selection();
    ::SendMessageW(c_.List1, LB_SETSEL, FALSE, -1);
    for (int index : selection) ::SendMessageW(c_.List1, LB_SETSEL, TRUE, index);
    if (!selection.empty()) ::SendMessageW(c_.List1, LB_SETCARETINDEX, selection.front(), FALSE);
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
    if (shown.empty()) {
        c_.Picture2.Clear();
        return;
    }
    c_.Picture2.ShowFitted(Picture1_);
}

void frmList::ShowSortPicture() {
    const HICON picture = (model_.descending() ? c_.sortDown : c_.sortUp).get();
    ::SendMessageW(c_.cmdListSort, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(picture));
}

void frmList::SetText(HWND control, const std::wstring& text) {
    ::SetWindowTextW(control, text.c_str());
}

void frmList::SetError(const std::wstring& text) {
    SetText(c_.lblErrorMessage, text);
}

void frmList::Report(const Failure& failure) {
    if (failure) SetError(Reason(failure));
}

void frmList::Tell(const Failure& failure, const wchar_t* title, UINT icon) {
    ShowMessage(hwnd(), Reason(failure), title, MB_OK | icon);
}

std::wstring frmList::NodeText(HTREEITEM node) const {
    return TreeItemText(c_.TreeView1, node);
}

frmList::FolderId frmList::FolderOf(HTREEITEM node) const {
    return static_cast<FolderId>(TreeItemData(c_.TreeView1, node));
}

HTREEITEM frmList::DropHighlight() const {
    return TreeDropMark(c_.TreeView1);
}

void frmList::SelectNodeByCode(HTREEITEM node) {
    selectingByCode_ = true;
    TreeView_SelectItem(c_.TreeView1, node);
    selectingByCode_ = false;
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
    // A store that cannot be read: an empty browser, without a word.
    Render(model_.Refresh(StoreRootPath(options_.appFolder, options_.userName)).changed);
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
    // A drag loop or a drop's message box runs on this object's stack: the window goes once
    // it has returned.
    if (inDragDrop_ > 0) {
        closeAfterDrag_ = true;
        return;
    }
    Form_Unload();
    ::DestroyWindow(hwnd());
}

void frmList::OnDestroyed() {
    if (!destroying_ && options_.onDestroyed) options_.onDestroyed();
}

// ---------------------------------------------------------------- tree

void frmList::TreeView1_NodeClick(HTREEITEM node) {
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
        case TreeKey::ToList:
            keyCode = 0;
            if (!model_.entries().empty()) {
                std::vector<int> selection = model_.selection();
                selection.push_back(0);
                SelectEntries(std::move(selection));
            }
            ::SetFocus(c_.List1);
            return;
        case TreeKey::Close: CloseWindow(); return;
        case TreeKey::NewFolder: NewFolder(); return;
        case TreeKey::DeleteFolder: DeleteFolder(); return;
        case TreeKey::None: return;
    }
}

bool frmList::TreeView1_AfterLabelEdit(HTREEITEM node, const wchar_t* newText) {
    // No text is a cancelled edit. One edit renames once, also where the end of an edit is
    // reported twice.
    if (!newText || !std::exchange(labelEditing_, false)) return false;
    const FolderId id = FolderOf(node);
    const Outcome renamed = model_.RenameFolder(id, newText);
    if (renamed.failure) {
        renameFailure_ = renamed.failure;
        ::PostMessageW(hwnd(), kMsgRenameFailed, 0, 0);
        return false;
    }
    // The tree takes the new text itself once this returns.
    if (auto found = nodes_.find(id); found != nodes_.end()) found->second.name = newText;
    Render(renamed.changed & ~kTreeChanged);
    return true;
}

void frmList::ReportRenameFailure() {
    const Failure failure = std::exchange(renameFailure_, {});
    if (!failure) return;
    Tell(failure, texts::kRenameTitle);
    Report(failure);
}

// ---------------------------------------------------------------- toolbar

void frmList::Toolbar1_ButtonClick(int index) {
    switch (index) {
        case kToolClose: CloseWindow(); return;
        case kToolNew: NewFolder(); return;
        case kToolDelete:
            // Clicking the toolbar leaves the focus where it was.
            if (::GetFocus() == c_.List1) DeleteFiles();
            if (::GetFocus() == c_.TreeView1) DeleteFolder();
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

void frmList::DeleteFiles() {
    if (!model_.selected() || model_.entries().empty()) return;
    if (ShowMessage(hwnd(), texts::kConfirmDeleteFiles, texts::kDeleteFilesTitle,
                    MB_OKCANCEL | MB_ICONEXCLAMATION) == IDCANCEL)
        return;
    const Outcome deleted = model_.DeleteFiles();
    Render(deleted.changed);
    if (!deleted.failure) return;
    ShowMessage(hwnd(), texts::kDeleteFailed, texts::kDeleteFilesTitle, MB_OK | MB_ICONHAND);
    Report(deleted.failure);
}

void frmList::DeleteFolder() {
    const HTREEITEM node = SelectedNode();
    if (!node) return;
    if (ShowMessage(hwnd(), texts::kConfirmDeleteFolder, texts::kDeleteFolderTitle,
                    MB_OKCANCEL | MB_ICONEXCLAMATION) == IDCANCEL)
        return;
    const Outcome deleted = model_.DeleteFolder(FolderOf(node));
    if (deleted.failure) {
        ShowMessage(hwnd(), texts::kDeleteFailed, texts::kDeleteFolderTitle, MB_OK | MB_ICONHAND);
        Report(deleted.failure);
        return;
    }
    Render(deleted.changed);
    ApplyTreeRule();
}

// ---------------------------------------------------------------- list and preview

void frmList::List1_Click() {
    // The user's selection, as the list has just changed it.
    std::vector<int> selected(static_cast<size_t>(::SendMessageW(c_.List1, LB_GETSELCOUNT, 0, 0)));
    if (!selected.empty())
        ::SendMessageW(c_.List1, LB_GETSELITEMS, selected.size(),
                       reinterpret_cast<LPARAM>(selected.data()));
    model_.SetSelection(std::move(selected));
    const int index = static_cast<int>(::SendMessageW(c_.List1, LB_GETCARETINDEX, 0, 0));
    if (index < 0 || index >= static_cast<int>(model_.entries().size())) return;
    const Outcome shown = model_.ShowEntry(index, PictureLoader());
    Render(shown.changed);
    SetError(shown.failure ? Reason(shown.failure) : L"");
}

void frmList::SelectEntries(std::vector<int> indexes) {
    model_.SetSelection(std::move(indexes));
    RenderSelection();
}

void frmList::List1_GotFocus() {
    EnableDelete(!model_.entries().empty());
}

void frmList::List1_KeyDown(int& keyCode, int shift) {
    switch (ListKeyAction(keyCode, shift, !model_.entries().empty())) {
        case ListKey::ToTree: {
            keyCode = 0;
            const int focused = static_cast<int>(::SendMessageW(c_.List1, LB_GETCARETINDEX, 0, 0));
            std::vector<int> kept = model_.selection();
            std::erase(kept, focused);
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
        case ListKey::Delete: DeleteFiles(); return;
        case ListKey::None: return;
    }
}

void frmList::cmdBigPic_Click() {
    const Rect design = TwipsToPixels(layout::kPicture1, twips_);
    const Status shown = frmPicture::Viewer().ShowPicture(Picture1_, {design.width, design.height},
                                                          model_.shown().date);
    if (!shown) SetError(shown.Text());
}

void frmList::Command1_Click() {
    // Before the first picture was shown there is nothing to copy.
    if (Picture1_.empty()) return;
    const Status copied = WriteClipboardBitmap(Picture1_, hwnd());
    if (!copied) SetError(copied.Text());
}

void frmList::txtFileName_Validate(bool& cancel) {
    if (committing_) return;
    committing_ = true;
    const RenameOutcome renamed = model_.RenameShown(WindowText(c_.txtFileName), PictureLoader());
    if (renamed.outcome.changed != kNoChange) {
        Render(renamed.outcome.changed);
        if (renamed.refused) {
            cancel = true;
            Tell(renamed.outcome.failure, texts::kRenameTitle,
                 renamed.asInformation ? MB_ICONINFORMATION : MB_ICONHAND);
        } else {
            SetError(renamed.outcome.failure ? Reason(renamed.outcome.failure) : L"");
        }
        if (renamed.listed) ::SetFocus(c_.List1);
    }
    committing_ = false;
}

// ---------------------------------------------------------------- messages

LRESULT CALLBACK frmList::ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                      DWORD_PTR self) noexcept {
    auto* form = reinterpret_cast<frmList*>(self);
    if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, &frmList::ControlProc, id);
        return ::DefSubclassProc(hwnd, msg, wp, lp);
    }
    try {
        if (hwnd == form->c_.TreeView1) return form->TreeView1_Message(msg, wp, lp);
        if (hwnd == form->c_.List1) return form->List1_Message(msg, wp, lp);
        return form->txtFileName_Message(msg, wp, lp);
    } catch (...) {
        return 0;
    }
}

LRESULT frmList::TreeView1_Message(UINT msg, WPARAM wp, LPARAM lp) {
    const HWND tree = c_.TreeView1;
    // The tree reports a click before or after selecting the node depending on its version;
    // each click starts unclaimed.
    if (msg == WM_LBUTTONDOWN) {
        nodeClickedBySelection_ = false;
        treeClickAt_ = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    }
    if (msg == WM_DESTROY) TreeView1Drop_.Revoke();
    if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) {
        int keyCode = static_cast<int>(wp);
        TreeView1_KeyDown(keyCode, ShiftNow());
        if (keyCode == 0 || !::IsWindow(tree)) return 0;  // taken, or the window closed
    }
    return ::DefSubclassProc(tree, msg, wp, lp);
}

LRESULT frmList::List1_Message(UINT msg, WPARAM wp, LPARAM lp) {
    const HWND list = c_.List1;
    if (listDrag_.OnMouse(list, msg, wp, lp, [this] { List1_Drag(); })) return 0;
    if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) {
        int keyCode = static_cast<int>(wp);
        List1_KeyDown(keyCode, ShiftNow());
        if (keyCode == 0 || !::IsWindow(list)) return 0;
    }
    return ::DefSubclassProc(list, msg, wp, lp);
}

LRESULT frmList::txtFileName_Message(UINT msg, WPARAM wp, LPARAM lp) {
    const HWND box = c_.txtFileName;
    if (msg == WM_CHAR && wp == VK_RETURN) {
        bool ignored = false;
        txtFileName_Validate(ignored);
        if (!::IsWindow(box)) return 0;
    } else if (msg == WM_CHAR && wp == VK_ESCAPE) {
        SetText(box, model_.shown().name);
    }
    return ::DefSubclassProc(box, msg, wp, lp);
}

bool frmList::OnCommand(HWND from, int code) {
    if (from == c_.List1) {
        if (code == LBN_SELCHANGE) List1_Click();
        if (code == LBN_DBLCLK) cmdBigPic_Click();
        if (code == LBN_SETFOCUS && !restoringFocus_) List1_GotFocus();
        return true;
    }
    if (code != BN_CLICKED) return false;
    if (from == c_.cmdReSetFolder)
        cmdReSetFolder_Click();
    else if (from == c_.cmdListSort)
        cmdListSort_Click();
    else if (from == c_.Command1)
        Command1_Click();
    else if (from == c_.cmdBigPic)
        cmdBigPic_Click();
    else
        return false;
    return true;
}

LRESULT frmList::OnNotify(const NMHDR& header) {
    switch (header.code) {
        case TVN_SELCHANGEDW: {
            const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
            if (selectingByCode_) return 0;
            // A tree left without a selection lists no folder.
            if (!change.itemNew.hItem) {
                Render(model_.SelectFolder(0).changed);
                return 0;
            }
            if (change.action == TVC_UNKNOWN) return 0;
            nodeClickedBySelection_ = change.action == TVC_BYMOUSE;
            TreeView1_NodeClick(change.itemNew.hItem);
            return 0;
        }
        case NM_CLICK: {
            // A click on the node already selected changes nothing in the tree but still
            // reads its folder afresh.
            if (std::exchange(nodeClickedBySelection_, false)) return 0;
            TVHITTESTINFO hit{};
            hit.pt = treeClickAt_;
            const HTREEITEM node = TreeView_HitTest(c_.TreeView1, &hit);
            if (node && (hit.flags & TVHT_ONITEM) && node == SelectedNode())
                TreeView1_NodeClick(node);
            return 0;
        }
        case NM_SETFOCUS:
            if (!restoringFocus_) TreeView1_GotFocus();
            return 0;
        case TVN_BEGINLABELEDITW: labelEditing_ = true; return FALSE;
        case TVN_ENDLABELEDITW: {
            const auto& edit = reinterpret_cast<const NMTVDISPINFOW&>(header);
            return TreeView1_AfterLabelEdit(edit.item.hItem, edit.item.pszText);
        }
    }
    return 0;
}

LRESULT frmList::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND: {
            const auto from = reinterpret_cast<HWND>(lp);
            if (from == c_.Toolbar1) {
                Toolbar1_ButtonClick(LOWORD(wp));
                return 0;
            }
            if (OnCommand(from, HIWORD(wp))) return 0;
            break;
        }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lp);
            if (header->hwndFrom == c_.TreeView1) return OnNotify(*header);
            break;
        }
        case kMsgRenameFailed: ReportRenameFailure(); return 0;
        case WM_ACTIVATE:
            // As a dialog does: the control that had the focus gets it back, without its
            // focus rules running for a return from another window or a message box.
            if (LOWORD(wp) == WA_INACTIVE) {
                const HWND focus = ::GetFocus();
                if (focus && ::IsChild(hwnd(), focus)) savedFocus_ = focus;
            } else if (!HIWORD(wp)) {
                RestoreFocus(savedFocus_);
            }
            return 0;
        case WM_SETFOCUS: {
            // The frame takes no keys (a SetFocus on it, as a tray click's bringing it
            // forward did): the focus goes on to the control that had it.
            const HWND from = reinterpret_cast<HWND>(wp);
            RestoreFocus(from && ::IsChild(hwnd(), from) ? from : savedFocus_);
            return 0;
        }
        case WM_CLOSE: CloseWindow(); return 0;
    }
    return Window::OnMessage(msg, wp, lp);
}

}  // namespace trovell
