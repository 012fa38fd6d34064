#include "browser/FileDrop.h"

#include "browser/BrowserRules.h"

namespace trovell {

std::wstring DroppedFileName(const std::wstring& path) {
    const size_t separator = path.find_last_of(L"\\/");
    std::wstring name = separator == std::wstring::npos ? path : path.substr(separator + 1);
    // The rule for a folder's name holds for a file's: one component the file system keeps
    // as it is written.
    return IsSingleFolderName(name) ? name : std::wstring();
}

uint32_t DropFiles(const std::vector<std::wstring>& paths, const std::wstring& folder, bool move,
                   const DropFileOps& ops) {
    for (const std::wstring& path : paths) {
        const std::wstring name = DroppedFileName(path);
        if (name.empty()) return kErrorInvalidName;
        if (const uint32_t copied = ops.copy(path, folder + name)) return copied;
        if (!move) continue;
        // A failed delete leaves the file in both folders, never in neither.
        if (const uint32_t removed = ops.remove(path)) return removed;
        ops.moved(path);
    }
    return 0;
}

}  // namespace trovell
