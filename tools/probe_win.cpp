// probe.exe: looks at and pokes the top-level windows of other processes for the
// end-to-end scripts, which cannot reach hidden windows or window texts through X.
//
//   probe wait <caption> [seconds]          exit 0 once a window (hidden too) has the caption
//   probe gone <caption> [seconds]          exit 0 once no window has it
//   probe visible <caption>                 exit 0 when a visible window has it
//   probe texts <caption>                   the caption, then the text of every child
//   probe waittext <caption> <text> [seconds]  until a window has a child with that text
//   probe click <caption> <button text>     BM_CLICK on that child button
//   probe iconrect <caption>                "left top right bottom" of its icon (SS_ICON)
//   probe client <caption>                  "left top right bottom" of its client area on
//                                           the screen
//   probe row <caption> <class> <index>     "x y" on the screen in row `index` of the window's
//                                           child of that class (ListBox or SysTreeView32),
//                                           where the row's text starts
//   probe droptarget <caption> <folder> <x> <y> [seconds]
//                                           shows a window of that caption at (x, y) that
//                                           takes files as a file manager does: a move where
//                                           the source allows one, else a copy into folder;
//                                           prints "enter" when a drag comes over it, then
//                                           "drop allowed=A effect=E" and the dropped paths
//   probe close <caption>                   post WM_CLOSE
//   probe moving <caption> [seconds]        until its thread runs the system's move loop
//   probe notmoving <caption> [seconds]     until it no longer does
//   probe kill <caption>                    TerminateProcess of its process
//   probe pid <caption>                     its process id
//   probe menus <count> [seconds]           until exactly `count` popup menus are visible,
//                                           then "left top right bottom pid" of each, oldest first
//   probe shown <class> <text start> [seconds]  until a visible window of that class has a
//                                           text starting so; prints "pid text" of it
//   probe notshown <class> <text start> [seconds]  until none has
//   probe clip <format> [seconds]           until the clipboard offers the format (8 = CF_DIB,
//                                           or a registered name such as PNG)
//   probe noclip <format> [seconds]         until it no longer does
//   probe clipsave <8|2> <file>             the clipboard's CF_DIB (8) as it is, or its
//                                           CF_BITMAP (2) read at 24 bits, as a .bmp file
//   probe list                              every top-level window, for diagnosis
//
// Output is UTF-8 written as bytes: wide console output of Japanese is cut off on a pipe
// under Wine. Exit codes: 0 done, 3 not found or timed out, 2 usage. Not 1: that is what
// Wine's start.exe returns when it fails to launch a program, which happens now and then.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPollMs = 25;
constexpr int kNo = 3;

void Write(const std::wstring& text) {
    std::wstring line = text + L"\n";
    int size = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes.data(), size,
                        nullptr, nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
              &written, nullptr);
}

std::wstring TextOf(HWND hwnd) {
    // WM_GETTEXT rather than GetWindowTextW: the latter does not ask windows of other
    // processes for the text of their controls. A hung window must not hang the probe.
    DWORD_PTR length = 0, got = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 2000, &got))
        return {};
    text.resize(std::min<size_t>(got, length));
    return text;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return name;
}

BOOL CALLBACK Collect(HWND hwnd, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> TopLevel() {
    std::vector<HWND> all;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&all));
    return all;
}

// Visible matches first: a hidden and a shown window may share a caption.
std::vector<HWND> WithCaption(const std::wstring& caption) {
    std::vector<HWND> shown, hidden;
    for (HWND hwnd : TopLevel()) {
        if (TextOf(hwnd) != caption) continue;
        (IsWindowVisible(hwnd) ? shown : hidden).push_back(hwnd);
    }
    shown.insert(shown.end(), hidden.begin(), hidden.end());
    return shown;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> all;
    EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&all));
    return all;
}

HWND ChildWithText(HWND parent, const std::wstring& text) {
    for (HWND child : Children(parent))
        if (TextOf(child) == text) return child;
    return nullptr;
}

template <typename Condition>
bool WaitFor(double seconds, Condition condition) {
    ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(kPollMs);
    }
}

double SecondsArg(int argc, wchar_t** argv, int index) {
    return argc > index ? _wtof(argv[index]) : 30.0;
}

struct Menu {
    RECT rect;
    DWORD pid;
};

// Popup menus have the system class "#32768"; only shown ones count, as Wine keeps hidden
// ones around.
std::vector<Menu> VisibleMenus() {
    std::vector<Menu> menus;
    for (HWND hwnd : TopLevel()) {
        if (!IsWindowVisible(hwnd) || ClassOf(hwnd) != L"#32768") continue;
        Menu menu{};
        GetWindowRect(hwnd, &menu.rect);
        GetWindowThreadProcessId(hwnd, &menu.pid);
        menus.push_back(menu);
    }
    // EnumWindows runs top-down; a submenu opens above its parent.
    std::reverse(menus.begin(), menus.end());
    return menus;
}

// The packed DIB behind a 14-byte file header; the pixels follow the header and its colour
// table or masks.
bool WriteBmp(const wchar_t* path, const BYTE* dib, size_t size, size_t bitsAt) {
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfSize = static_cast<DWORD>(sizeof(file) + size);
    file.bfOffBits = static_cast<DWORD>(sizeof(file) + bitsAt);
    HANDLE out = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(out, &file, sizeof(file), &written, nullptr) &&
              WriteFile(out, dib, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(out);
    return ok;
}

bool SaveClipboard(UINT format, const wchar_t* path) {
    if (!WaitFor(10, [] { return OpenClipboard(nullptr) != FALSE; })) return false;
    bool ok = false;
    if (format == CF_DIB) {
        HGLOBAL handle = GetClipboardData(CF_DIB);
        const auto* dib = handle ? static_cast<const BYTE*>(GlobalLock(handle)) : nullptr;
        if (dib) {
            const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(dib);
            size_t colours = header->biClrUsed;
            if (!colours && header->biBitCount <= 8) colours = size_t{1} << header->biBitCount;
            size_t bitsAt = header->biSize + colours * 4;
            if (header->biCompression == BI_BITFIELDS && header->biSize == 40) bitsAt += 12;
            ok = WriteBmp(path, dib, GlobalSize(handle), bitsAt);
            GlobalUnlock(handle);
        }
    } else if (format == CF_BITMAP) {
        auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
        BITMAP info{};
        if (bitmap && GetObjectW(bitmap, sizeof(info), &info)) {
            BITMAPINFOHEADER header{};
            header.biSize = sizeof(header);
            header.biWidth = info.bmWidth;
            header.biHeight = info.bmHeight;
            header.biPlanes = 1;
            header.biBitCount = 24;
            const size_t stride = (static_cast<size_t>(info.bmWidth) * 3 + 3) & ~size_t{3};
            std::vector<BYTE> dib(sizeof(header) + stride * info.bmHeight);
            std::copy_n(reinterpret_cast<const BYTE*>(&header), sizeof(header), dib.begin());
            HDC screen = GetDC(nullptr);
            ok = GetDIBits(screen, bitmap, 0, info.bmHeight, dib.data() + sizeof(header),
                           reinterpret_cast<BITMAPINFO*>(dib.data()),
                           DIB_RGB_COLORS) == info.bmHeight &&
                 WriteBmp(path, dib.data(), dib.size(), sizeof(header));
            ReleaseDC(nullptr, screen);
        }
    }
    CloseClipboard();
    return ok;
}

// The drop side of a file manager, in another process than the drag's source.
class FolderDropTarget final : public IDropTarget {
public:
    explicit FolderDropTarget(std::wstring folder) : folder_(std::move(folder)) {}
    bool dropped = false;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDropTarget) {
            *out = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on wmain's stack until the end of the process.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        *effect = Choose(*effect);
        Write(L"enter");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = Choose(*effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        const DWORD allowed = *effect;
        *effect = Choose(allowed);
        FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        std::vector<std::wstring> paths;
        if (SUCCEEDED(data->GetData(&format, &medium))) {
            const auto drop = static_cast<HDROP>(medium.hGlobal);
            const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
            for (UINT i = 0; i < count; ++i) {
                wchar_t path[MAX_PATH * 4] = {};
                DragQueryFileW(drop, i, path, MAX_PATH * 4);
                paths.push_back(path);
            }
            ReleaseStgMedium(&medium);
        }
        wchar_t line[80];
        swprintf(line, 80, L"drop allowed=%lu effect=%lu", allowed, *effect);
        Write(line);
        for (const std::wstring& path : paths) {
            const std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
            if (CopyFileW(path.c_str(), (folder_ + L"\\" + name).c_str(), TRUE) &&
                *effect == DROPEFFECT_MOVE)
                DeleteFileW(path.c_str());
            Write(path);
        }
        dropped = true;
        return S_OK;
    }

private:
    static DWORD Choose(DWORD allowed) {
        if (allowed & DROPEFFECT_MOVE) return DROPEFFECT_MOVE;
        return allowed & DROPEFFECT_COPY;
    }
    std::wstring folder_;
};

int DropTarget(const std::wstring& caption, const std::wstring& folder, int x, int y,
               double seconds) {
    if (FAILED(OleInitialize(nullptr))) return kNo;
    HWND window = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", caption.c_str(),
                                  WS_POPUP | WS_VISIBLE | WS_BORDER, x, y, 250, 250, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    FolderDropTarget target(folder);
    if (!window || FAILED(RegisterDragDrop(window, &target))) return kNo;
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    while (!target.dropped && GetTickCount64() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    RevokeDragDrop(window);
    DestroyWindow(window);
    OleUninitialize();
    return target.dropped ? 0 : kNo;
}

BOOL CALLBACK NoteMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info))
        reinterpret_cast<std::vector<MONITORINFO>*>(list)->push_back(info);
    return TRUE;
}

int Usage() {
    Write(
        L"usage: probe wait|gone|visible|texts|waittext|click|iconrect|row|droptarget|close|"
        L"command|monitors|moving|notmoving|kill|pid|menus|shown|notshown|clip|noclip|clipsave|list ...");
    return 2;
}

int Run(int argc, wchar_t** argv) {
    if (argc < 2) return Usage();
    const std::wstring command = argv[1];

    // One line per monitor, "left top right bottom" of the monitor then of its work area,
    // the primary first; then the virtual screen's "left top width height".
    if (command == L"monitors") {
        std::vector<MONITORINFO> monitors;
        EnumDisplayMonitors(nullptr, nullptr, NoteMonitor, reinterpret_cast<LPARAM>(&monitors));
        std::stable_partition(monitors.begin(), monitors.end(),
                              [](const MONITORINFO& m) { return m.dwFlags & MONITORINFOF_PRIMARY; });
        wchar_t line[120];
        for (const MONITORINFO& m : monitors) {
            swprintf(line, 120, L"%ld %ld %ld %ld %ld %ld %ld %ld", m.rcMonitor.left,
                     m.rcMonitor.top, m.rcMonitor.right, m.rcMonitor.bottom, m.rcWork.left,
                     m.rcWork.top, m.rcWork.right, m.rcWork.bottom);
            Write(line);
        }
        swprintf(line, 120, L"virtual %d %d %d %d", GetSystemMetrics(SM_XVIRTUALSCREEN),
                 GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN),
                 GetSystemMetrics(SM_CYVIRTUALSCREEN));
        Write(line);
        return 0;
    }
    if (command == L"list") {
        for (HWND hwnd : TopLevel()) {
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            RECT rect{};
            GetWindowRect(hwnd, &rect);
            wchar_t head[160];
            swprintf(head, 160, L"%p pid=%lu %ls (%ld,%ld)-(%ld,%ld) ", static_cast<void*>(hwnd),
                     pid, IsWindowVisible(hwnd) ? L"shown " : L"hidden", rect.left, rect.top,
                     rect.right, rect.bottom);
            Write(head + ClassOf(hwnd) + L" \"" + TextOf(hwnd) + L"\"");
        }
        return 0;
    }

    if (command == L"menus") {
        if (argc < 3) return Usage();
        size_t count = static_cast<size_t>(_wtoi(argv[2]));
        std::vector<Menu> menus;
        bool found = WaitFor(SecondsArg(argc, argv, 3), [&] {
            menus = VisibleMenus();
            return menus.size() == count;
        });
        for (const Menu& m : menus) {
            wchar_t line[100];
            swprintf(line, 100, L"%ld %ld %ld %ld %lu", m.rect.left, m.rect.top, m.rect.right,
                     m.rect.bottom, m.pid);
            Write(line);
        }
        return found ? 0 : kNo;
    }

    if (command == L"clip" || command == L"noclip") {
        if (argc < 3) return Usage();
        // Asking for availability leaves the clipboard closed for the program under test.
        // A number, or the name of a registered format ("PNG").
        UINT format = static_cast<UINT>(_wtoi(argv[2]));
        if (format == 0) format = RegisterClipboardFormatW(argv[2]);
        bool wanted = command == L"clip";
        return WaitFor(SecondsArg(argc, argv, 3),
                       [&] { return (IsClipboardFormatAvailable(format) != FALSE) == wanted; })
                   ? 0
                   : kNo;
    }

    if (command == L"clipsave") {
        if (argc < 4) return Usage();
        return SaveClipboard(static_cast<UINT>(_wtoi(argv[2])), argv[3]) ? 0 : kNo;
    }

    if (command == L"shown" || command == L"notshown") {
        // Tooltips and balloons carry their text as the window text, but not as a caption
        // FindWindowW would know in advance.
        if (argc < 4) return Usage();
        const std::wstring start = argv[3];
        const bool wanted = command == L"shown";
        HWND found = nullptr;
        bool done = WaitFor(SecondsArg(argc, argv, 4), [&] {
            found = nullptr;
            for (HWND hwnd : TopLevel())
                if (IsWindowVisible(hwnd) && _wcsicmp(ClassOf(hwnd).c_str(), argv[2]) == 0 &&
                    TextOf(hwnd).starts_with(start))
                    found = hwnd;
            return (found != nullptr) == wanted;
        });
        if (!done) return kNo;
        if (!wanted) return 0;
        DWORD pid = 0;
        GetWindowThreadProcessId(found, &pid);
        Write(std::to_wstring(pid) + L" " + TextOf(found));
        return 0;
    }

    if (argc < 3) return Usage();
    const std::wstring caption = argv[2];

    if (command == L"droptarget") {
        if (argc < 6) return Usage();
        return DropTarget(caption, argv[3], _wtoi(argv[4]), _wtoi(argv[5]),
                          SecondsArg(argc, argv, 6));
    }

    if (command == L"wait")
        return WaitFor(SecondsArg(argc, argv, 3), [&] { return !WithCaption(caption).empty(); })
                   ? 0
                   : kNo;
    if (command == L"gone")
        return WaitFor(SecondsArg(argc, argv, 3), [&] { return WithCaption(caption).empty(); })
                   ? 0
                   : kNo;
    if (command == L"moving" || command == L"notmoving") {
        const bool wanted = command == L"moving";
        return WaitFor(SecondsArg(argc, argv, 3),
                       [&] {
                           for (HWND hwnd : WithCaption(caption)) {
                               GUITHREADINFO info{};
                               info.cbSize = sizeof(info);
                               const DWORD thread = GetWindowThreadProcessId(hwnd, nullptr);
                               if (GetGUIThreadInfo(thread, &info))
                                   return ((info.flags & GUI_INMOVESIZE) != 0) == wanted;
                           }
                           return false;
                       })
                   ? 0
                   : kNo;
    }
    if (command == L"waittext") {
        if (argc < 4) return Usage();
        return WaitFor(SecondsArg(argc, argv, 4),
                       [&] {
                           for (HWND hwnd : WithCaption(caption))
                               if (ChildWithText(hwnd, argv[3])) return true;
                           return false;
                       })
                   ? 0
                   : kNo;
    }

    std::vector<HWND> matches = WithCaption(caption);
    if (matches.empty()) {
        Write(L"probe: no window \"" + caption + L"\"");
        return kNo;
    }
    HWND hwnd = matches.front();

    if (command == L"visible") return IsWindowVisible(hwnd) ? 0 : kNo;
    if (command == L"texts") {
        Write(caption);
        for (HWND child : Children(hwnd)) {
            std::wstring text = TextOf(child);
            if (!text.empty()) Write(text);
        }
        return 0;
    }
    if (command == L"click") {
        if (argc < 4) return Usage();
        HWND button = ChildWithText(hwnd, argv[3]);
        if (!button) {
            Write(L"probe: no button \"" + std::wstring(argv[3]) + L"\"");
            return kNo;
        }
        // Posted, not sent: the click ends a modal loop of the other process, and a sent
        // BM_CLICK would block us until that process has finished reacting to it.
        PostMessageW(button, BM_CLICK, 0, 0);
        return 0;
    }
    if (command == L"iconrect") {
        for (HWND child : Children(hwnd)) {
            if (_wcsicmp(ClassOf(child).c_str(), L"Static") != 0 ||
                (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON ||
                !IsWindowVisible(child))
                continue;
            RECT r{};
            GetWindowRect(child, &r);
            wchar_t line[80];
            swprintf(line, 80, L"%ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
            Write(line);
            return 0;
        }
        return kNo;
    }
    if (command == L"client") {
        RECT r{};
        GetClientRect(hwnd, &r);
        MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
        wchar_t line[80];
        swprintf(line, 80, L"%ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
        Write(line);
        return 0;
    }
    if (command == L"row") {
        if (argc < 5) return Usage();
        const int index = _wtoi(argv[4]);
        for (HWND child : Children(hwnd)) {
            if (_wcsicmp(ClassOf(child).c_str(), argv[3]) != 0) continue;
            // Neither message carries a pointer, so both work across processes.
            const bool tree = _wcsicmp(argv[3], L"SysTreeView32") == 0;
            const int height = static_cast<int>(
                SendMessageW(child, tree ? TVM_GETITEMHEIGHT : LB_GETITEMHEIGHT, 0, 0));
            const int top = tree ? 0 : static_cast<int>(SendMessageW(child, LB_GETTOPINDEX, 0, 0));
            // Past a tree's icon, onto the start of the text.
            POINT p{tree ? 40 : 20, (index - top) * height + height / 2};
            ClientToScreen(child, &p);
            wchar_t line[40];
            swprintf(line, 40, L"%ld %ld", p.x, p.y);
            Write(line);
            return 0;
        }
        return kNo;
    }
    if (command == L"close") return PostMessageW(hwnd, WM_CLOSE, 0, 0) ? 0 : kNo;
    // A menu command, as the window's own menu would send it.
    if (command == L"command") {
        if (argc < 4) return Usage();
        return PostMessageW(hwnd, WM_COMMAND, _wtoi(argv[3]), 0) ? 0 : kNo;
    }

    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (command == L"pid") {
        Write(std::to_wstring(pid));
        return 0;
    }
    if (command == L"kill") {
        // Returns once the process has ended, so that the caller may look at what it left.
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (!process) return kNo;
        bool killed =
            TerminateProcess(process, 9) && WaitForSingleObject(process, 30000) == WAIT_OBJECT_0;
        CloseHandle(process);
        return killed ? 0 : kNo;
    }
    return Usage();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    return Run(argc, argv);
}
