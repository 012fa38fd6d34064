#pragma once
// Files dropped onto a folder of the store: the name each takes there, and the order of
// copying, deleting and stopping. The file operations are passed in.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace trovell {

inline constexpr uint32_t kErrorInvalidName = 123;  // ERROR_INVALID_NAME

// The part of a dropped path after its last "\" or "/"; empty when that part cannot name a
// file right inside the target folder ("..", nothing after a trailing separator, ...).
std::wstring DroppedFileName(const std::wstring& path);

// Each operation returns 0 or the system's error code.
struct DropFileOps {
    // Never replaces an existing file, and refuses a folder.
    std::function<uint32_t(const std::wstring& from, const std::wstring& to)> copy;
    std::function<uint32_t(const std::wstring& path)> remove;
    // The source of a moved file is gone.
    std::function<void(const std::wstring& from)> moved;
};

// Copies each file into folder (ending in "\") in the order given; a move deletes the source
// only once its copy is complete. Stops at the first failure, whose code it returns (0 when
// none): what was handled before stays.
uint32_t DropFiles(const std::vector<std::wstring>& paths, const std::wstring& folder, bool move,
                   const DropFileOps& ops);

}  // namespace trovell
