#include "browser/DiskStore_win.h"

#include "platform/FileOps_win.h"

namespace trovell {

namespace {
uint32_t Code(const Status& status) {
    return status.code();
}
}  // namespace

StoreOps DiskStoreOps() {
    using Names = std::vector<std::wstring>;
    return {
        .listFolders = [](const std::wstring& folder,
                          Names* names) { return Code(ListSubfolders(folder, names)); },
        .listFiles = [](const std::wstring& folder,
                        Names* names) { return Code(ListFiles(folder, names)); },
        .makeFolder = [](const std::wstring& path) { return Code(MakeFolder(path)); },
        .removeFolder = [](const std::wstring& path) { return Code(RemoveFolder(path)); },
        .removeFile = [](const std::wstring& path) { return Code(RemoveFile(path)); },
        .move = [](const std::wstring& from,
                   const std::wstring& to) { return Code(MoveFileTo(from, to)); },
        .copy = [](const std::wstring& from,
                   const std::wstring& to) { return Code(CopyFileTo(from, to)); },
        .createdText = FileCreatedText,
    };
}

std::wstring FailureText(const Failure& failure) {
    if (!failure) return {};
    return failure.text ? std::wstring(failure.text) : Status(failure.code).Text();
}

}  // namespace trovell
