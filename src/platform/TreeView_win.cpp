#include "platform/TreeView_win.h"

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

}  // namespace trovell
