// bench_watch.exe: the bench's eyes inside Wine, for what X cannot show: how full a list and
// a tree of another process are, where a tree item lies, the clipboard, GDI counts.
//
//   bench_watch filled CAPTION LIST TREE DONE READY
//       once READY exists the watch is armed: after a moment when the visible window CAPTION
//       does not hold exactly LIST list-box entries and at least TREE tree items, DONE is
//       created as soon as it does (the bench times DONE's appearance)
//   bench_watch counts CAPTION             "TREE LIST": items of its tree and its list box
//   bench_watch treeitem CAPTION INDEX     "x y" on the screen of that root item's text
//   bench_watch client CAPTION [SECONDS]   "left top right bottom" of its client area on the
//                                          screen, once the window is visible
//   bench_watch clipread                   reads the clipboard's DIB once; prints "W H"
// Exit 0 done, 3 not found or timed out, 2 usage.
#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

constexpr int kNo = 3;

HWND VisibleTopLevel(const wchar_t* caption) {
    for (HWND w = ::FindWindowExW(nullptr, nullptr, nullptr, caption); w;
         w = ::FindWindowExW(nullptr, w, nullptr, caption))
        if (::IsWindowVisible(w)) return w;
    return nullptr;
}

struct Find {
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK ByClass(HWND hwnd, LPARAM lp) {
    auto* find = reinterpret_cast<Find*>(lp);
    wchar_t name[64];
    ::GetClassNameW(hwnd, name, 64);
    if (_wcsicmp(name, find->className) != 0) return TRUE;
    find->found = hwnd;
    return FALSE;
}

HWND Child(HWND parent, const wchar_t* className) {
    Find find{className, nullptr};
    ::EnumChildWindows(parent, ByClass, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

// A busy window answers once its thread is back in its message loop, which is the moment
// its work is done.
LRESULT Ask(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_NORMAL, 20000, &result)) return -1;
    return static_cast<LRESULT>(result);
}

bool Touch(const wchar_t* path) {
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return true;
}

bool Filled(const wchar_t* caption, long listCount, long treeMin) {
    HWND window = VisibleTopLevel(caption);
    if (!window) return false;
    HWND list = Child(window, L"ListBox");
    if (!list || Ask(list, LB_GETCOUNT) != listCount) return false;
    if (treeMin <= 0) return true;
    HWND tree = Child(window, WC_TREEVIEWW);
    return tree && Ask(tree, TVM_GETCOUNT) >= treeMin;
}

int Print(const char* format, long a, long b) {
    std::printf(format, a, b);
    std::fflush(stdout);
    return 0;
}

int Run(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring command = argv[1];
    if (command == L"filled" && argc >= 7) {
        const long listCount = std::wcstol(argv[3], nullptr, 10);
        const long treeMin = std::wcstol(argv[4], nullptr, 10);
        bool armed = false;
        const ULONGLONG end = ::GetTickCount64() + 60000;
        while (::GetTickCount64() < end) {
            const bool filled = Filled(argv[2], listCount, treeMin);
            if (!armed && !filled) {
                armed = true;
                if (!Touch(argv[6])) return 2;
            } else if (armed && filled) {
                return Touch(argv[5]) ? 0 : 2;
            }
            ::Sleep(2);
        }
        return kNo;
    }
    if (command == L"counts" && argc >= 3) {
        HWND window = VisibleTopLevel(argv[2]);
        if (!window) return kNo;
        HWND tree = Child(window, WC_TREEVIEWW), list = Child(window, L"ListBox");
        return Print("%ld %ld\n", tree ? static_cast<long>(Ask(tree, TVM_GETCOUNT)) : -1L,
                     list ? static_cast<long>(Ask(list, LB_GETCOUNT)) : -1L);
    }
    if (command == L"treeitem" && argc >= 4) {
        HWND window = VisibleTopLevel(argv[2]);
        HWND tree = window ? Child(window, WC_TREEVIEWW) : nullptr;
        if (!tree) return kNo;
        HTREEITEM item = reinterpret_cast<HTREEITEM>(Ask(tree, TVM_GETNEXTITEM, TVGN_ROOT));
        for (long i = std::wcstol(argv[3], nullptr, 10); item && i > 0; --i)
            item = reinterpret_cast<HTREEITEM>(
                Ask(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
        if (!item) return kNo;
        // TVM_GETITEMRECT reads and writes its RECT in the tree's own process.
        DWORD pid = 0;
        ::GetWindowThreadProcessId(tree, &pid);
        HANDLE process =
            ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (!process) return kNo;
        void* remote = ::VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
        RECT rect{};
        std::memcpy(&rect, &item, sizeof(item));
        bool ok = remote && ::WriteProcessMemory(process, remote, &rect, sizeof(rect), nullptr) &&
                  Ask(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote)) > 0 &&
                  ::ReadProcessMemory(process, remote, &rect, sizeof(rect), nullptr);
        if (remote) ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
        ::CloseHandle(process);
        if (!ok) return kNo;
        POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        ::ClientToScreen(tree, &centre);
        return Print("%ld %ld\n", centre.x, centre.y);
    }
    if (command == L"client" && argc >= 3) {
        const double seconds = argc > 3 ? _wtof(argv[3]) : 10.0;
        const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
        HWND window;
        while (!(window = VisibleTopLevel(argv[2])) && ::GetTickCount64() < end) ::Sleep(5);
        RECT r{};
        if (!window || !::GetClientRect(window, &r)) return kNo;
        POINT a{r.left, r.top}, b{r.right, r.bottom};
        ::ClientToScreen(window, &a);
        ::ClientToScreen(window, &b);
        std::printf("%ld %ld %ld %ld\n", a.x, a.y, b.x, b.y);
        std::fflush(stdout);
        return 0;
    }
    if (command == L"clipread") {
        if (!::OpenClipboard(nullptr)) return kNo;
        long width = 0, height = 0;
        if (HGLOBAL handle = ::GetClipboardData(CF_DIB)) {
            if (auto* info = static_cast<const BITMAPINFOHEADER*>(::GlobalLock(handle))) {
                width = info->biWidth;
                height = info->biHeight;
                ::GlobalUnlock(handle);
            }
        }
        ::CloseClipboard();
        return width ? Print("%ld %ld\n", width, height) : kNo;
    }
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Lines end in \n alone: the bench reads them with the shell.
    _setmode(_fileno(stdout), _O_BINARY);
    return Run(argc, argv);
}
