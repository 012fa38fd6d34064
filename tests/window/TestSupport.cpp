#include "TestSupport.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "platform/Clipboard_win.h"
#include "platform/FileOps_win.h"
#include "platform/Handles_win.h"
#include "platform/PictureLoader_win.h"

namespace trovell::test {

namespace {
void RemoveTreeForce(const std::wstring& folder) {
    for (const std::wstring& name : ListFolder(folder)) {
        const std::wstring path = ForFileCall(folder + name);
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            RemoveTreeForce(folder + name + L"\\");
        else
            ::DeleteFileW(path.c_str());
    }
    ::SetFileAttributesW(ForFileCall(folder).c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryW(ForFileCall(folder).c_str());
}

// Root under Wine writes a read-only file, as it writes every folder.
bool IgnoresRights(const std::wstring& folder) {
    const std::wstring probe =
        folder + (folder.ends_with(L'\\') ? L"" : L"\\") + L"trovell-probe.ro";
    WriteFileBytes(probe, "");
    const bool written = !MakeReadOnly(probe);
    ::SetFileAttributesW(probe.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(probe.c_str());
    return written;
}

HWND ClipboardOwner() {
    static HWND owner = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr,
                                          nullptr, nullptr);
    return owner;
}
}  // namespace

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH];
    ::GetTempPathW(MAX_PATH, base);
    for (unsigned n = ::GetTickCount() ^ ::GetCurrentProcessId();; ++n) {
        std::wstring candidate = std::wstring(base) + L"trovell-test-" + std::to_wstring(n);
        if (::CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = candidate + L"\\";
            return;
        }
    }
}

TempFolder::~TempFolder() {
    RemoveTreeForce(path_);
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    UniqueFileHandle file(::CreateFileW(ForFileCall(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string ReadFileBytes(const std::wstring& path) {
    UniqueFileHandle file(::CreateFileW(ForFileCall(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    std::string bytes(::GetFileSize(file.get(), nullptr), '\0');
    DWORD read = 0;
    ::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

bool PathExists(const std::wstring& path) {
    return ::GetFileAttributesW(ForFileCall(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool DenyWrites(const std::wstring& folder, bool deny) {
    using UnixName = char*(CDECL*)(const wchar_t*);
    // Through void*: a function pointer of one type to another draws a warning.
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (!unixName || (deny && IgnoresRights(folder))) return false;
    char* name = unixName(folder.c_str());
    if (!name) return false;
    // Wine starts a Unix program as it is.
    std::wstring command = deny ? L"/bin/chmod a-w \"" : L"/bin/chmod u+w \"";
    command.append(name, name + std::strlen(name));  // the test's paths are ASCII
    command += L'"';
    ::HeapFree(::GetProcessHeap(), 0, name);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(L"Z:\\bin\\chmod", command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process))
        return false;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    // Wine's handle of a Unix process is signalled at once: wait for what it does instead, a
    // folder without write bits shown as read-only. A probe file would tell as well, but one
    // made just before the change can no longer be deleted and stays in the folder.
    return PumpUntil([&] {
        const DWORD attributes = ::GetFileAttributesW(ForFileCall(folder).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES &&
               ((attributes & FILE_ATTRIBUTE_READONLY) != 0) == deny;
    });
}

bool MakeReadOnly(const std::wstring& file) {
    const std::wstring path = ForFileCall(file);
    if (!::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY)) return false;
    if (!UniqueFileHandle(
            ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)))
        return true;
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return false;
}

std::wstring DeepFolder(const TempFolder& base, size_t length) {
    std::wstring deep = base.path();
    while (deep.size() < length) {
        deep += L"深いフォルダ0123456789\\";
        if (!MakeFolder(deep).ok()) return {};
    }
    return deep;
}

std::vector<std::wstring> ListFolder(const std::wstring& folder, bool sorted) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    UniqueFind find(::FindFirstFileW(ForFileCall(folder + L"*").c_str(), &found));
    if (!find) return names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(find.get(), &found));
    if (sorted) std::sort(names.begin(), names.end());
    return names;
}

std::string IniSection(const std::string& body) {
    wchar_t name[257] = {};
    DWORD length = 256;
    ::GetUserNameW(name, &length);
    std::string section = "[";
    section.append(name, name + std::wcslen(name));  // the test user's name is ASCII
    return section + "]\r\n" + body;
}

frmMain::Options OptionsFor(const TempFolder& app) {
    frmMain::Options o;
    o.appFolder = app.path();
    o.exePath = app / L"trovell.exe";  // each test its own exe, so instances never meet
    o.quitWithWindow = false;
    return o;
}

std::wstring TakeBalloon(const frmMain& w) {
    wchar_t* text = const_cast<NOTIFYICONDATAW&>(w.TrayRecord()).szInfo;
    const std::wstring taken = text;
    text[0] = L'\0';
    return taken;
}

void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds) {
    DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > milliseconds) return false;
        Pump();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

DibSurface Pattern(int width, int height, uint32_t seed) {
    DibSurface s;
    if (!s.Resize(width, height)) return s;
    uint32_t* bits = s.bits();
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
        bits[i] = static_cast<uint32_t>((i + seed) * 2654435761u) & 0x00FFFFFF;
    return s;
}

std::vector<uint32_t> Pixels(const DibSurface& s) {
    return {s.bits(), s.bits() + static_cast<size_t>(s.width()) * s.height()};
}

std::string Dib(DWORD headerSize, int width, int height, WORD bitCount, DWORD compression,
                const std::vector<uint32_t>& table, const std::vector<uint8_t>& bits) {
    BITMAPV5HEADER header{};
    header.bV5Size = headerSize;
    header.bV5Width = width;
    header.bV5Height = height;
    header.bV5Planes = 1;
    header.bV5BitCount = bitCount;
    header.bV5Compression = compression;
    header.bV5ClrUsed = bitCount <= 8 ? static_cast<DWORD>(table.size()) : 0;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    std::string out(reinterpret_cast<const char*>(&header), headerSize);
    out.append(reinterpret_cast<const char*>(table.data()), table.size() * 4);
    out.append(bits.begin(), bits.end());
    return out;
}

HGLOBAL GlobalCopy(const std::string& bytes) {
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size() ? bytes.size() : 1);
    std::memcpy(::GlobalLock(h), bytes.data(), bytes.size());
    ::GlobalUnlock(h);
    return h;
}

void PutOnClipboard(UINT format, const std::string& bytes) {
    HGLOBAL h = GlobalCopy(bytes);
    ClipboardGuard clipboard(ClipboardOwner());
    ::EmptyClipboard();
    if (!::SetClipboardData(format, h)) ::GlobalFree(h);
}

void PutOnClipboard(const DibSurface& picture) {
    (void)WriteClipboardBitmap(picture, ClipboardOwner());
}

}  // namespace trovell::test
