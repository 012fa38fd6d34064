#pragma once
// The browser's rules that need no window: where an entry lies, how a name splits, which
// new-folder name is free, what a folder may be renamed to, what a key in the tree does.
#include <functional>
#include <optional>
#include <string>

#include "platform/InputState.h"

namespace trovell {

// The folder of a node: the store folder (ending in "\") and the node's text.
std::wstring NodeFolder(const std::wstring& strImgPath, const std::wstring& nodeText);
// The folder a listed file lies in, ending in "\".
std::wstring EntryFolder(const std::wstring& strImgPath, const std::wstring& nodeText);
std::wstring EntryPath(const std::wstring& strImgPath, const std::wstring& nodeText,
                       const std::wstring& entry);

// A file name split at its last ".": the name part and the extension (empty without a dot).
struct SplitName {
    std::wstring name;
    std::wstring extension;
    friend bool operator==(const SplitName&, const SplitName&) = default;
};
SplitName SplitFileName(const std::wstring& fileName);

// "新しいフォルダ" for n = 1, "新しいフォルダ (n)" after.
std::wstring NewFolderCandidate(int n);
// Tries the candidates in order until make makes one, each name already taken counting as a
// try. Empty when the counter reached 65535 (the last candidate tried is the 65534th), or at
// once when a folder could not be made for another reason: a store the user may not write
// would otherwise be asked 65534 times, for seconds, for minutes on a share.
enum class MakeResult { Made, Taken, Refused };
std::optional<std::wstring> MakeFreeFolder(
    const std::function<MakeResult(const std::wstring&)>& make);

// True when name names one folder right inside another: no separator or other character the
// file system refuses, not "." or "..", not ending in a blank or a dot, not empty. Anything
// else could move a folder out of the store.
bool IsSingleFolderName(const std::wstring& name);

enum class TreeKey { None, ToList, Close, NewFolder, DeleteFolder };
// What a key pressed in the folder tree does; vk is the virtual-key code.
TreeKey TreeKeyAction(int vk, int shift);

// A shown date: any text but blanks.
bool ShowsDate(const std::wstring& text);

enum class ListKey { None, ToTree, Close, ToName, Copy, Open, Delete };
// What a key pressed in the file list does; the keys that act on entries act only while
// the list has some.
ListKey ListKeyAction(int vk, int shift, bool hasEntries);

// A new name part holds none of \ / , ; : * ? " < > |, also where the file system would take
// the character.
bool ValidName(const std::wstring& name);
// Blanks (spaces only, as the name box trims them) removed from both ends, or from the front.
std::wstring TrimSpaces(const std::wstring& text);
std::wstring TrimLeadingSpaces(const std::wstring& text);

// The two paths of a file rename in one folder (ending in "\"): the committed name part and
// the new one with its leading blanks dropped, each with the unchanged extension. Without an
// extension no dot is added, which is the name the file system would make of one.
struct FileRename {
    std::wstring from;
    std::wstring to;
    friend bool operator==(const FileRename&, const FileRename&) = default;
};
FileRename FileRenamePaths(const std::wstring& folder, const std::wstring& oldName,
                           const std::wstring& newText, const std::wstring& extension);

}  // namespace trovell
