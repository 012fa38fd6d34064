// The floor of the browser figures. Its tray menu has the product's layout; the item
// "トロベル一覧" opens a window of the browser's size with a tree and a list box, fills the
// tree with the store's folders and the list with the first folder's files (sorted, as the
// hidden file listing is), redraw off, then shows it. A click on a node refills the list.
// Usage: bench_browse_floor.exe STORE CAPTION
#include <algorithm>
#include <string>
#include <vector>

#include "FloorTray.h"

#include <commctrl.h>

namespace {
NOTIFYICONDATAW record;
std::wstring store = L".";
const wchar_t* caption = L"bench browse floor";
HMENU menu = nullptr;
HWND tree = nullptr, list = nullptr;
constexpr UINT kOpen = 102;

std::vector<std::wstring> Entries(const std::wstring& folder, bool folders) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const bool isFolder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (isFolder != folders || (folders && found.cFileName[0] == L'.')) continue;
        names.emplace_back(found.cFileName);
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
    return names;
}

void FillList(const std::wstring& folder) {
    std::vector<std::wstring> files = Entries(store + L"\\" + folder, false);
    std::sort(files.begin(), files.end());
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    ::SendMessageW(list, LB_INITSTORAGE, files.size(), files.size() * 32);
    for (const auto& name : files)
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

LRESULT CALLBACK BrowseProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lp);
        if (header->hwndFrom == tree && header->code == NM_CLICK) {
            TVHITTESTINFO hit{};
            ::GetCursorPos(&hit.pt);
            ::ScreenToClient(tree, &hit.pt);
            if (HTREEITEM item = TreeView_HitTest(tree, &hit)) {
                wchar_t text[MAX_PATH];
                TVITEMW tv{};
                tv.mask = TVIF_TEXT;
                tv.hItem = item;
                tv.pszText = text;
                tv.cchTextMax = MAX_PATH;
                TreeView_GetItem(tree, &tv);
                TreeView_SelectItem(tree, item);
                FillList(text);
            }
        }
        return 0;
    }
    if (msg == WM_DESTROY) tree = list = nullptr;
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

void Open() {
    // Loaded here, not at start: a resident program has no reason to hold it before.
    using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    static const auto init = reinterpret_cast<Init>(reinterpret_cast<void*>(
        ::GetProcAddress(::LoadLibraryW(L"comctl32.dll"), "InitCommonControlsEx")));
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    if (!init || !init(&controls)) return;
    RECT r{0, 0, 697, 423};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    ::AdjustWindowRectEx(&r, style, FALSE, 0);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HWND window = ::CreateWindowExW(0, L"bench browse", caption, style,
                                    (::GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                                    (::GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, nullptr,
                                    nullptr, ::GetModuleHandleW(nullptr), nullptr);
    tree = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                             WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_SHOWSELALWAYS, 0, 68, 147,
                             316, window, nullptr, nullptr, nullptr);
    list = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_EXTENDEDSEL, 148,
                             68, 173, 316, window, nullptr, nullptr, nullptr);
    ::SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    HTREEITEM first = nullptr;
    std::wstring firstName;
    for (const auto& name : Entries(store, true)) {
        TVINSERTSTRUCTW insert{};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<wchar_t*>(name.c_str());
        HTREEITEM item = TreeView_InsertItem(tree, &insert);
        if (!first) first = item, firstName = name;
    }
    ::SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    if (first) {
        TreeView_SelectItem(tree, first);
        FillList(firstName);
    }
    ::ShowWindow(window, SW_SHOW);
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == bench::kTrayMessage && lp == WM_RBUTTONUP) {
        POINT at;
        ::GetCursorPos(&at);
        ::SetForegroundWindow(hwnd);
        ::TrackPopupMenu(menu, 0, at.x, at.y, 0, hwnd, nullptr);
        ::PostMessageW(hwnd, WM_NULL, 0, 0);
        return 0;
    }
    if (msg == WM_COMMAND && LOWORD(wp) == kOpen) {
        Open();
        return 0;
    }
    if (bench::HandleClose(hwnd, msg, &record)) return 0;
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

// The product's menu layout, so that the same clicks reach the same item.
HMENU BuildMenu() {
    HMENU format = ::CreatePopupMenu(), method = ::CreatePopupMenu(), m = ::CreatePopupMenu();
    ::AppendMenuW(format, MF_STRING, 103, L"BMP");
    ::AppendMenuW(format, MF_STRING, 104, L"JPEG");
    ::AppendMenuW(method, MF_STRING, 105, L"自分で切り貼り");
    ::AppendMenuW(method, MF_STRING, 106, L"クリップボードから");
    ::AppendMenuW(m, MF_STRING, 101, L"キャプチャー");
    ::AppendMenuW(m, MF_STRING, kOpen, L"トロベル一覧");
    ::AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(format), L"保存形式");
    ::AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(method), L"保存方法");
    ::AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(m, MF_STRING, 107, L"トロベルの終了");
    return m;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argc > 1) store = argv[1];
    if (argc > 2) caption = argv[2];
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = BrowseProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"bench browse";
    if (!::RegisterClassExW(&wc)) return 1;
    menu = BuildMenu();
    HWND owner;
    if (!bench::StartTray(L"bench browse floor", Proc, &owner, &record)) return 1;
    return bench::Loop();
}
