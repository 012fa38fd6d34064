#pragma once
// What the browser asks of a tree control beyond its messages: an item's text and data, the
// row under a point, and a drop mark that also shows on the selected item under Wine.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace trovell {

std::wstring TreeItemText(HWND tree, HTREEITEM item);
LPARAM TreeItemData(HWND tree, HTREEITEM item);  // 0 for no item
// The item whose row holds the point (client pixels): the label alone is a narrow target.
HTREEITEM TreeRowAt(HWND tree, POINT at);
HTREEITEM TreeDropMark(HWND tree);
void SetTreeDropMark(HWND tree, HTREEITEM item);

// The items of a one-level tree, kept in step with a list of what they show, by id.
class TreeItems {
public:
    struct Entry {
        uintptr_t id;
        const std::wstring* text;
    };
    // Removes the items whose id is gone, sets changed texts, and appends the new ones in the
    // list's order (closed and open folder pictures 0 and 1; the item's data is its id).
    void Sync(HWND tree, const std::vector<Entry>& entries);
    HTREEITEM Find(uintptr_t id) const;
    // The tree has taken a new text itself, as at the end of a label edit.
    void Retitled(uintptr_t id, const std::wstring& text);

private:
    struct Item {
        HTREEITEM item;
        std::wstring text;
    };
    std::unordered_map<uintptr_t, Item> items_;
};

// A click on the selected item, told apart from one that selects another: the tree reports
// a click before or after selecting the item depending on its version, and a click on the
// item already selected changes nothing in it.
class TreeClicks {
public:
    // The tree's mouse messages, from its subclass procedure: each press starts unclaimed.
    void OnMouse(UINT msg, LPARAM lp);
    // A selection the user made, which claims the click that made it.
    void Selected(const NMTREEVIEWW& change) noexcept {
        bySelection_ = change.action == TVC_BYMOUSE;
    }
    // At NM_CLICK: the selected item, if the click was on it and no selection claimed it.
    HTREEITEM OnSelectedItem(HWND tree);

private:
    bool bySelection_ = false;
    POINT at_{};
};

}  // namespace trovell
