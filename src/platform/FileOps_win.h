#pragma once
// File operations on the picture store. None throws; the failing ones leave the system's
// description of the failure in LastErrorText() for the caller to show.
#include <string>

#include "platform/LocalTime.h"

namespace trovell {

bool FolderExists(const std::wstring& path);
// The creation time in the user's short date and long time forms; empty on any failure.
std::wstring FileCreatedText(const std::wstring& path);
// One level; the parent must exist and the folder must not.
bool MakeFolder(const std::wstring& path);
// A read-only file is not forced.
bool RemoveFile(const std::wstring& path);
// The folder and everything in it; read-only content is not forced.
bool RemoveFolder(const std::wstring& path);
// Moves or renames in one step, across volumes too; never replaces an existing file.
bool MoveFileTo(const std::wstring& source, const std::wstring& destination);
bool FileExists(const std::wstring& path);
LocalTime LocalNow();

// A new empty file with a unique name in the folder, for writing before renaming into place;
// empty text on failure.
std::wstring CreateTempFileIn(const std::wstring& folder);

const std::wstring& LastErrorText();
unsigned long LastErrorCode();
// Records the text for a Win32 error code (used by callers that fail on their own).
void SetLastErrorText(unsigned long code);

}  // namespace trovell
