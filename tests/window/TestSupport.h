#pragma once
// Shared pieces of the window tests: a throwaway folder, files, pictures, the clipboard,
// message pumping.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Dib_win.h"
#include "shell/frmMain_win.h"

namespace trovell::test {

// A fresh folder under the temp path, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& path() const { return path_; }  // ends in "\"
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

void WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);
bool PathExists(const std::wstring& path);
// Takes this user's right to write in a folder away (or gives it back), as an administrator
// would. Under Wine that is the Unix mode of the folder, since Wine keeps no read-only
// attribute for a folder; false where that cannot be done (on Windows).
bool DenyWrites(const std::wstring& folder, bool deny = true);
// Why a test of rights is skipped where DenyWrites cannot take them away.
inline constexpr const char* kWritesEverywhere =
    "root and Windows users write everywhere: tools/as-user.sh runs this as an ordinary user";
// Makes a file read-only, as its owner would; false where the user writes it all the same
// (root under Wine), and then the file is left as it was.
bool MakeReadOnly(const std::wstring& file);
// Folders made one in another under base until the path has `length` characters at least, with
// names that are not ASCII; empty when one cannot be made.
std::wstring DeepFolder(const TempFolder& base, size_t length);
// Names, sorted or in the order the file system gives them.
std::vector<std::wstring> ListFolder(const std::wstring& folder, bool sorted = true);

// trovell.ini text of the test user's section (the test user's name is ASCII).
std::string IniSection(const std::string& body);

// A resident window in app that is its own instance and does not end the test process.
frmMain::Options OptionsFor(const TempFolder& app);
// The tray balloon's text since the last look; the record is left without one.
std::wstring TakeBalloon(const frmMain& w);

// Handles every message already queued; waits for none.
void Pump();
// Pumps messages until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds = 10000);

// Pictures: every pixel distinct in all channels (an odd multiplier is a bijection modulo
// 2^24), shifted by seed.
DibSurface Pattern(int width, int height, uint32_t seed = 0);
std::vector<uint32_t> Pixels(const DibSurface& picture);

// A packed DIB: header (a V5 one cut to headerSize), `table` (masks or colours), bits.
std::string Dib(DWORD headerSize, int width, int height, WORD bitCount, DWORD compression,
                const std::vector<uint32_t>& table, const std::vector<uint8_t>& bits);
// A movable block holding these bytes, as SetClipboardData takes it.
HGLOBAL GlobalCopy(const std::string& bytes);
// Empties the clipboard and leaves these bytes on it in one format, owned by a hidden window.
void PutOnClipboard(UINT format, const std::string& bytes);
void PutOnClipboard(const DibSurface& picture);

}  // namespace trovell::test
