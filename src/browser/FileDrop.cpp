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

DropResult DropFiles(const std::vector<std::wstring>& paths, const std::wstring& folder, bool move,
                     const DropFileOps& ops) {
    DropResult result;
    for (const std::wstring& path : paths) {
        const std::wstring name = DroppedFileName(path);
        if (name.empty()) {
            result.error = kErrorInvalidName;
            return result;
        }
        if ((result.error = ops.copy(path, folder + name)) != 0) return result;
        if (move) {
            // A failed delete leaves the file in both folders, never in neither.
            if ((result.error = ops.remove(path)) != 0) return result;
            ops.moved(path);
        }
        ++result.handled;
    }
    return result;
}

}  // namespace trovell
