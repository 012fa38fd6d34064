#include "platform/TreeView_win.h"

#include <windowsx.h>

#include <utility>

#include "platform/Window_win.h"

namespace trovell {

std::wstring TreeItemText(HWND tree, HTREEITEM item) {
    if (!item) return {};
    // A folder name fits a path component; the buffer leaves room for any name.
    wchar_t text[1024] = {};
    TVITEMW info{};
    info.mask = TVIF_TEXT;
    info.hItem = item;
    info.pszText = text;
    info.cchTextMax = 1024;
    return TreeView_GetItem(tree, &info) ? text : L"";
}

LPARAM TreeItemData(HWND tree, HTREEITEM item) {
    TVITEMW info{};
    info.mask = TVIF_PARAM;
    info.hItem = item;
    return item && TreeView_GetItem(tree, &info) ? info.lParam : 0;
}

HTREEITEM TreeRowAt(HWND tree, POINT at) {
    TVHITTESTINFO hit{};
    hit.pt = at;
    const HTREEITEM item = TreeView_HitTest(tree, &hit);
    constexpr UINT kOnRow = TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT | TVHT_ONITEMBUTTON;
    return (hit.flags & kOnRow) ? item : nullptr;
}

HTREEITEM TreeDropMark(HWND tree) {
    const HTREEITEM selected = TreeView_GetSelection(tree);
    if (selected && (TreeView_GetItemState(tree, selected, TVIS_DROPHILITED) & TVIS_DROPHILITED))
        return selected;
    return TreeView_GetDropHilight(tree);
}

void SetTreeDropMark(HWND tree, HTREEITEM item) {
    if (TreeDropMark(tree) == item) return;
    TreeView_SelectDropTarget(tree, nullptr);
    TreeView_SelectDropTarget(tree, item);
    // Wine's tree takes no drop target that is its selected item; the item's state marks it
    // all the same, as the drop target's state does on Windows.
    if (const HTREEITEM selected = TreeView_GetSelection(tree))
        TreeView_SetItemState(tree, selected, item == selected ? TVIS_DROPHILITED : 0,
                              TVIS_DROPHILITED);
}

void TreeItems::Sync(HWND tree, const std::vector<Entry>& entries) {
    // Thousands of items inserted or removed with redraw on repaint the tree for every one.
    ::SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    std::unordered_map<uintptr_t, Item> kept;
    for (const Entry& entry : entries)
        if (auto found = items_.find(entry.id); found != items_.end())
            kept.insert(items_.extract(found));
    if (kept.empty())
        TreeView_DeleteAllItems(tree);
    else
        for (const auto& [id, gone] : items_) TreeView_DeleteItem(tree, gone.item);
    items_ = std::move(kept);
    for (const Entry& entry : entries) {
        TVINSERTSTRUCTW insert{};
        TVITEMW& item = insert.item;
        item.mask = TVIF_TEXT;
        item.pszText = const_cast<wchar_t*>(entry.text->c_str());
        if (auto found = items_.find(entry.id); found != items_.end()) {
            if (found->second.text == *entry.text) continue;
            item.hItem = found->second.item;
            TreeView_SetItem(tree, &item);
            found->second.text = *entry.text;
            continue;
        }
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        item.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
        item.iImage = 0;
        item.iSelectedImage = 1;
        item.lParam = static_cast<LPARAM>(entry.id);
        const auto made = reinterpret_cast<HTREEITEM>(
            SendPastSubclasses(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
        if (made) items_[entry.id] = {made, *entry.text};
    }
    ::SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(tree, nullptr, TRUE);
}

HTREEITEM TreeItems::Find(uintptr_t id) const {
    const auto found = items_.find(id);
    return found == items_.end() ? nullptr : found->second.item;
}

void TreeItems::Retitled(uintptr_t id, const std::wstring& text) {
    if (auto found = items_.find(id); found != items_.end()) found->second.text = text;
}

void TreeEvents::OnMouse(UINT msg, LPARAM lp) {
    if (msg != WM_LBUTTONDOWN) return;
    bySelection_ = false;
    at_ = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
}

HTREEITEM TreeEvents::ClickedSelectedItem(HWND tree) {
    if (std::exchange(bySelection_, false)) return nullptr;
    TVHITTESTINFO hit{};
    hit.pt = at_;
    const HTREEITEM item = TreeView_HitTest(tree, &hit);
    return item && (hit.flags & TVHT_ONITEM) && item == TreeView_GetSelection(tree) ? item
                                                                                    : nullptr;
}

void TreeEvents::Select(HWND tree, HTREEITEM item) {
    selecting_ = true;
    TreeView_SelectItem(tree, item);
    selecting_ = false;
}

LRESULT TreeEvents::OnNotify(HWND tree, const NMHDR& header) {
    switch (header.code) {
        case TVN_SELCHANGEDW: {
            const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
            if (selecting_) return 0;
            if (!change.itemNew.hItem) {
                on_.nodeClick(nullptr);
                return 0;
            }
            if (change.action == TVC_UNKNOWN) return 0;
            bySelection_ = change.action == TVC_BYMOUSE;
            on_.nodeClick(change.itemNew.hItem);
            return 0;
        }
        case NM_CLICK:
            if (const HTREEITEM item = ClickedSelectedItem(tree)) on_.nodeClick(item);
            return 0;
        case NM_SETFOCUS: on_.gotFocus(); return 0;
        case TVN_BEGINLABELEDITW: editing_ = true; return FALSE;
        case TVN_ENDLABELEDITW: {
            // Some versions report the end of one edit twice.
            const auto& edit = reinterpret_cast<const NMTVDISPINFOW&>(header);
            if (!edit.item.pszText || !std::exchange(editing_, false)) return FALSE;
            return on_.afterLabelEdit(edit.item.hItem, edit.item.pszText);
        }
    }
    return 0;
}

}  // namespace trovell
