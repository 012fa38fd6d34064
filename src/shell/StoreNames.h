#pragma once
// Where the store lives and what its folders and pictures are called.
#include <cstdint>
#include <string>

#include "platform/LocalTime.h"

namespace trovell {

// Joins a folder and a name with exactly one "\" (a drive root already ends in one).
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// The folder that holds a file or folder, ending in "\" ("C:\a\b\" gives "C:\a\").
std::wstring ParentFolder(const std::wstring& path);
// The folder of a file, without the final separator, as an application folder is named;
// a drive root keeps its separator ("C:\t.exe" gives "C:\").
std::wstring FolderOf(const std::wstring& path);

std::wstring ImgFolderPath(const std::wstring& appFolder);
// Application folder, "img", user name; always ends in "\".
std::wstring StoreRootPath(const std::wstring& appFolder, const std::wstring& userName);
std::wstring SettingsFilePath(const std::wstring& appFolder);

std::wstring DayFolderName(const LocalTime& t);     // yymmdd
std::wstring PictureBaseName(const LocalTime& t);   // yymmddhhmmss
// The n-th candidate for a picture name: n = 1 is the base itself, then base_2, base_3 ...
std::wstring PictureFileName(const std::wstring& base, int n, const std::wstring& extension);

// Folder listings are ordered by ordinal comparison with ASCII letters folded, so that a
// picture's base name sorts before its "_2" sibling and the time stamps run oldest first.
int CompareFileNames(const std::wstring& a, const std::wstring& b);

// One running instance per user and executable: a kernel object name from both. Object
// names may not contain "\" beyond the namespace, so the path goes in as a hash.
std::wstring InstanceMutexName(const std::wstring& userName, const std::wstring& exePath);

}  // namespace trovell
