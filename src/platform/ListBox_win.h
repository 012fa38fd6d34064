#pragma once
// A list box with extended selection, filled and selected from a list of names.
#include <windows.h>

#include <string>
#include <vector>

namespace trovell {

// Fills the list anew; keepScroll keeps the first entry shown where it was.
void FillListBox(HWND list, const std::vector<std::wstring>& names, bool keepScroll);
// Selects exactly these entries, the first of them focused.
void SelectListEntries(HWND list, const std::vector<int>& indexes);
std::vector<int> ListSelection(HWND list);
int ListCaret(HWND list);

}  // namespace trovell
