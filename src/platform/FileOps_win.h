#pragma once
// File operations on the picture store. None throws; a failure carries the system's code,
// whose text the caller shows. Paths of any length are accepted.
#include <string>
#include <vector>

#include "platform/LocalTime.h"
#include "platform/Status_win.h"

namespace trovell {

bool FolderExists(const std::wstring& path);
bool FileExists(const std::wstring& path);
// The creation time as "yyyy/mm/dd hh:mm:ss" in local time; empty on any failure.
std::wstring FileCreatedText(const std::wstring& path);
// The names of a folder's direct subfolders, in the order the file system gives them.
Status ListSubfolders(const std::wstring& folder, std::vector<std::wstring>* names);
// The names of a folder's files but its hidden and system ones, in the file system's order.
Status ListFiles(const std::wstring& folder, std::vector<std::wstring>* names);
// One level; the parent must exist and the folder must not.
Status MakeFolder(const std::wstring& path);
// A read-only file is not forced.
Status RemoveFile(const std::wstring& path);
// The folder and everything in it; read-only content is not forced.
Status RemoveFolder(const std::wstring& path);
// Moves or renames in one step, across volumes too; never replaces an existing file.
Status MoveFileTo(const std::wstring& source, const std::wstring& destination);
// Copies one file to a full path; never replaces what is there, and refuses a folder. The
// copy appears under its name only once it is complete.
Status CopyFileTo(const std::wstring& source, const std::wstring& destination);
LocalTime LocalNow();

// A new empty file "trvXXXXXXXX.tmp" in the folder, for writing before renaming into place.
Status CreateTempFileIn(const std::wstring& folder, std::wstring* path);
// Removes the temp files that stores killed midway left in the folder. One still open by a
// running store cannot be deleted and stays.
void RemoveStaleTempFiles(const std::wstring& folder);

// A file written whole or not at all: created (replacing any file there), written, flushed to
// the disk by Commit; a writer dropped before Commit removes the file again.
class FileWriter {
public:
    FileWriter() = default;
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;
    ~FileWriter();
    Status Open(const std::wstring& path);
    Status Write(const void* data, size_t size);
    // A full disk or a lost network share may only show up when the data is flushed.
    Status Commit();

private:
    std::wstring path_;
    void* file_ = nullptr;  // a HANDLE; this header stays free of windows.h
};

// The path as the system's file calls accept it at any length: past the classic limit a
// full path gets the "\\?\" form, which also turns off the parsing of "." and "/".
std::wstring ForFileCall(const std::wstring& path);

}  // namespace trovell
