#include "platform/ListBox_win.h"

#include "platform/Window_win.h"

namespace trovell {

void FillListBox(HWND list, const std::vector<std::wstring>& names, bool keepScroll) {
    const LRESULT top = keepScroll ? ::SendMessageW(list, LB_GETTOPINDEX, 0, 0) : 0;
    // A list box filled with redraw on takes tens of seconds for ten thousand names.
    size_t chars = 0;
    for (const std::wstring& name : names) chars += name.size() + 1;
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    ::SendMessageW(list, LB_INITSTORAGE, names.size(), chars * sizeof(wchar_t));
    for (const std::wstring& name : names)
        SendPastSubclasses(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    if (keepScroll) ::SendMessageW(list, LB_SETTOPINDEX, top, 0);
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void SelectListEntries(HWND list, const std::vector<int>& indexes) {
    ::SendMessageW(list, LB_SETSEL, FALSE, -1);
    for (int index : indexes) ::SendMessageW(list, LB_SETSEL, TRUE, index);
    if (!indexes.empty()) ::SendMessageW(list, LB_SETCARETINDEX, indexes.front(), FALSE);
}

std::vector<int> ListSelection(HWND list) {
    std::vector<int> indexes(static_cast<size_t>(::SendMessageW(list, LB_GETSELCOUNT, 0, 0)));
    if (!indexes.empty())
        ::SendMessageW(list, LB_GETSELITEMS, indexes.size(),
                       reinterpret_cast<LPARAM>(indexes.data()));
    return indexes;
}

int ListCaret(HWND list) {
    return static_cast<int>(::SendMessageW(list, LB_GETCARETINDEX, 0, 0));
}

}  // namespace trovell
