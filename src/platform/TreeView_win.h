#pragma once
// What the browser asks of a tree control beyond its messages: an item's text and data, the
// row under a point, and a drop mark that also shows on the selected item under Wine.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdint>
#include <functional>
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

// The tree's notifications as the events its window handles. A click on the item already
// selected is an event too, told apart from one that selects another: the tree reports a click
// before or after selecting depending on its version, and such a click changes nothing in it.
class TreeEvents {
public:
    struct Handlers {
        std::function<void(HTREEITEM)> nodeClick;  // null: the tree was left without a selection
        std::function<void()> gotFocus;
        // Once for each edit, never for a cancelled one; false keeps the item's text.
        std::function<bool(HTREEITEM, const wchar_t* text)> afterLabelEdit;
    };
    explicit TreeEvents(Handlers handlers) : on_(std::move(handlers)) {}

    // The tree's mouse messages, from its subclass procedure: each press starts unclaimed.
    void OnMouse(UINT msg, LPARAM lp);
    LRESULT OnNotify(HWND tree, const NMHDR& header);
    // Selects an item with no event.
    void Select(HWND tree, HTREEITEM item);

private:
    HTREEITEM ClickedSelectedItem(HWND tree);

    Handlers on_;
    bool bySelection_ = false;  // a selection the user made claims the click that made it
    POINT at_{};
    bool selecting_ = false;
    bool editing_ = false;
};

}  // namespace trovell
