#pragma once
// What the browser shows and does, without a window: the store's folders, the selected
// folder's files in their order, the selection, the shown file, and every command on them.
// The file operations are passed in; each command returns what changed and why it failed.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "browser/NodeKeys.h"

namespace trovell {

// Each operation returns 0 or the system's error code.
struct StoreOps {
    // The names of a folder's subfolders or of its shown files, in the file system's order.
    std::function<uint32_t(const std::wstring& folder, std::vector<std::wstring>* names)>
        listFolders;
    std::function<uint32_t(const std::wstring& folder, std::vector<std::wstring>* names)> listFiles;
    std::function<uint32_t(const std::wstring& path)> makeFolder;
    std::function<uint32_t(const std::wstring& path)> removeFolder;
    std::function<uint32_t(const std::wstring& path)> removeFile;
    // Neither replaces an existing file; a copy refuses a folder.
    std::function<uint32_t(const std::wstring& from, const std::wstring& to)> move;
    std::function<uint32_t(const std::wstring& from, const std::wstring& to)> copy;
    // "yyyy/mm/dd hh:mm:ss", empty on any failure.
    std::function<std::wstring(const std::wstring& path)> createdText;
};

// Why a command failed: one of the browser's own texts, or else the system's error code.
struct Failure {
    uint32_t code = 0;
    const wchar_t* text = nullptr;
    explicit operator bool() const noexcept { return code != 0 || text != nullptr; }
    friend bool operator==(const Failure&, const Failure&) = default;
};

// What a command changed, for the view to render again.
enum Change : unsigned {
    kNoChange = 0,
    kTreeChanged = 1,  // folders added, removed or renamed
    kListChanged = 2,  // the entries, their order or the selection
    kShownChanged = 4,
    kEntriesRemoved = 8,  // with kListChanged: the same folder's list, shorter
    kFolderSelected = 16,  // another folder selected, the folders as they were
};

struct Outcome {
    unsigned changed = kNoChange;
    Failure failure{};
};

// The file whose picture, date and name the panel shows.
struct ShownFile {
    std::wstring folder;     // ending in "\"; empty when nothing is shown
    std::wstring name;       // the name part as last committed
    std::wstring extension;  // without the dot
    std::wstring date;
    bool empty() const noexcept { return folder.empty(); }
};

// What a file rename did: a refusal is told in a box (the name goes back to the committed
// one) and keeps the focus in the name box.
struct RenameOutcome {
    Outcome outcome;
    bool refused = false;
    bool asInformation = false;  // an empty name is a hint, the other refusals stop
    bool listed = false;         // the folder was read again
};

class BrowserModel {
public:
    using FolderId = NodeKeys::Node;
    struct Folder {
        FolderId id;
        std::wstring name;
    };

    explicit BrowserModel(StoreOps ops) : ops_(std::move(ops)) {}

    // Reads the store's folders and selects the first. A store that cannot be read leaves
    // everything as it was.
    Outcome Refresh(const std::wstring& root);
    // Selects a folder (0: none) and reads its files; one that cannot be read lists nothing
    // and says why.
    Outcome SelectFolder(FolderId id);
    Outcome NewFolder();
    // Renames on disk and in the tree; newName is what the user typed.
    Outcome RenameFolder(FolderId id, const std::wstring& newName);
    // Removes the folder with its files; the folder after it, else the one before, is selected.
    Outcome DeleteFolder(FolderId id);

    // The entries the user selected, as indexes into entries().
    Outcome SetSelection(std::vector<int> indexes);
    // Removes the selected files from the last up, and stops at the first that cannot go.
    Outcome DeleteFiles();
    // Shows an entry when load accepts its path; otherwise the panel empties.
    Outcome ShowEntry(int index, const std::function<bool(const std::wstring& path)>& load);
    Outcome ClearShown();
    // Commits the name box's text as the shown file's new name part, then lists the folder
    // again and selects and shows (through load) the entry the text finds.
    RenameOutcome RenameShown(const std::wstring& text,
                              const std::function<bool(const std::wstring& path)>& load);
    // Reverses the order and lists the folder again.
    Outcome Sort();
    // What a drag out of the list carries: the selected entries' paths.
    std::vector<std::wstring> SelectedPaths() const;
    // Copies (or moves) files into a folder; a moved file's entry leaves the list showing it.
    Outcome Drop(const std::vector<std::wstring>& files, FolderId target, bool move);

    const std::wstring& root() const noexcept { return root_; }
    const std::vector<Folder>& folders() const noexcept { return folders_; }
    const Folder* FindFolder(FolderId id) const;
    FolderId selected() const noexcept { return selected_; }
    std::wstring Key(FolderId id) const { return keys_.Key(id); }
    // The selected folder's files as listed, in the order shown.
    const std::vector<std::wstring>& entries() const noexcept { return entries_; }
    const std::vector<int>& selection() const noexcept { return selection_; }
    bool descending() const noexcept { return descending_; }
    const ShownFile& shown() const noexcept { return shown_; }
    // The folder whose files are listed, ending in "\"; empty when no folder is selected.
    std::wstring ListedFolder() const;

private:
    Failure ReadListing();
    Folder* FindFolder(FolderId id);
    void RemoveEntries(const std::function<bool(const std::wstring&)>& gone);

    StoreOps ops_;
    std::wstring root_;
    std::vector<Folder> folders_;
    NodeKeys keys_;
    FolderId nextId_ = 1;
    FolderId selected_ = 0;  // 0: none
    std::vector<std::wstring> entries_;
    std::vector<int> selection_;  // ascending
    bool descending_ = false;
    ShownFile shown_;
};

}  // namespace trovell
