#pragma once
// What the browser asks of a tree control beyond its messages: an item's text and data, the
// row under a point, and a drop mark that also shows on the selected item under Wine.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <string>

namespace trovell {

std::wstring TreeItemText(HWND tree, HTREEITEM item);
LPARAM TreeItemData(HWND tree, HTREEITEM item);  // 0 for no item
// The item whose row holds the point (client pixels): the label alone is a narrow target.
HTREEITEM TreeRowAt(HWND tree, POINT at);
HTREEITEM TreeDropMark(HWND tree);
void SetTreeDropMark(HWND tree, HTREEITEM item);

}  // namespace trovell
