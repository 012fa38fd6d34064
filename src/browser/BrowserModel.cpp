#include "browser/BrowserModel.h"

#include <algorithm>
#include <utility>

#include "browser/BrowserRules.h"
#include "browser/BrowserTexts.h"
#include "browser/FileDrop.h"
#include "shell/StoreNames.h"

namespace trovell {

namespace {

constexpr uint32_t kErrorPathNotFound = 3;     // ERROR_PATH_NOT_FOUND
constexpr uint32_t kErrorFileExists = 80;      // ERROR_FILE_EXISTS
constexpr uint32_t kErrorAlreadyExists = 183;  // ERROR_ALREADY_EXISTS

Failure SystemFailure(uint32_t code) {
    return {.code = code};
}
Failure OwnFailure(const wchar_t* text) {
    return {.text = text};
}

bool StartsWithFoldingCase(const std::wstring& text, const std::wstring& start) {
    auto fold = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c; };
    return text.size() >= start.size() &&
           std::equal(start.begin(), start.end(), text.begin(),
                      [&](wchar_t a, wchar_t b) { return fold(a) == fold(b); });
}

const wchar_t* KeyErrorText(KeyError error) {
    return error == KeyError::Invalid ? texts::kKeyInvalid : texts::kKeyNotUnique;
}

}  // namespace

const BrowserModel::Folder* BrowserModel::FindFolder(FolderId id) const {
    const auto found = std::find_if(folders_.begin(), folders_.end(),
                                    [id](const Folder& f) { return f.id == id; });
    return found == folders_.end() ? nullptr : &*found;
}

BrowserModel::Folder* BrowserModel::FindFolder(FolderId id) {
    return const_cast<Folder*>(std::as_const(*this).FindFolder(id));
}

std::wstring BrowserModel::ListedFolder() const {
    // No folder, no listing: the user's folder itself holds no shown files.
    const Folder* folder = FindFolder(selected_);
    return folder ? EntryFolder(root_, folder->name) : std::wstring();
}

Failure BrowserModel::ReadListing() {
    entries_.clear();
    selection_.clear();
    const std::wstring folder = ListedFolder();
    if (folder.empty()) return {};
    if (const uint32_t code = ops_.listFiles(folder, &entries_)) {
        entries_.clear();
        return SystemFailure(code);
    }
    std::sort(entries_.begin(), entries_.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareFileNames(a, b) < 0;
    });
    if (descending_) std::reverse(entries_.begin(), entries_.end());
    return {};
}

void BrowserModel::RemoveEntries(const std::function<bool(const std::wstring&)>& gone) {
    std::vector<std::wstring> kept;
    std::vector<int> selection;
    size_t next = 0;  // into selection_, ascending
    for (size_t i = 0; i < entries_.size(); ++i) {
        const bool wasSelected =
            next < selection_.size() && selection_[next] == static_cast<int>(i);
        if (wasSelected) ++next;
        if (gone(entries_[i])) continue;
        if (wasSelected) selection.push_back(static_cast<int>(kept.size()));
        kept.push_back(std::move(entries_[i]));
    }
    entries_ = std::move(kept);
    selection_ = std::move(selection);
}

// ---------------------------------------------------------------- folders

Outcome BrowserModel::Refresh(const std::wstring& root) {
    root_ = root;
    std::vector<std::wstring> names;
    if (const uint32_t code = ops_.listFolders(root_, &names))
        return {.failure = SystemFailure(code)};
    folders_.clear();
    keys_.Clear();
    for (std::wstring& name : names) {
        const FolderId id = nextId_++;
        // The tree took no folder after one whose key it refused.
        if (keys_.Add(id, NodeKeys::KeyFor(name)) != KeyError::None) break;
        folders_.push_back({id, std::move(name)});
    }
    selected_ = folders_.empty() ? 0 : folders_.front().id;
    shown_ = {};
    // The first folder's files are listed whether or not they can be read.
    (void)ReadListing();
    return {.changed = kTreeChanged | kListChanged | kShownChanged};
}

Outcome BrowserModel::SelectFolder(FolderId id) {
    if (id && !FindFolder(id)) return {};
    selected_ = id;
    // A folder removed behind the window's back: the list is empty, the reason is told.
    return {.changed = kFolderSelected | kListChanged, .failure = ReadListing()};
}

Outcome BrowserModel::NewFolder() {
    const std::optional<std::wstring> made = MakeFreeFolder([&](const std::wstring& name) {
        const uint32_t code = ops_.makeFolder(root_ + name);
        return code == 0                     ? MakeResult::Made
               : code == kErrorAlreadyExists ? MakeResult::Taken
                                             : MakeResult::Refused;
    });
    if (!made) return {.failure = OwnFailure(texts::kNoNewFolder)};
    shown_ = {};
    const FolderId id = nextId_++;
    // A key left by a folder removed behind the window's back refuses the node; the folder
    // is there all the same and shows after a refresh.
    if (keys_.Add(id, NodeKeys::KeyFor(*made)) != KeyError::None)
        return {.changed = kShownChanged, .failure = OwnFailure(texts::kKeyNotUnique)};
    folders_.push_back({id, *made});
    return {.changed = kTreeChanged | kShownChanged};
}

Outcome BrowserModel::RenameFolder(FolderId id, const std::wstring& newName) {
    Folder* folder = FindFolder(id);
    if (!folder || newName == folder->name) return {};
    if (!IsSingleFolderName(newName)) return {.failure = SystemFailure(kErrorInvalidName)};
    const std::wstring oldKey = keys_.Key(id);
    if (const KeyError refused = keys_.SetKey(id, newName); refused != KeyError::None)
        return {.failure = OwnFailure(KeyErrorText(refused))};
    if (const uint32_t code =
            ops_.move(NodeFolder(root_, folder->name), NodeFolder(root_, newName))) {
        (void)keys_.SetKey(id, oldKey);
        return {.failure = SystemFailure(code)};
    }
    Outcome outcome{.changed = kTreeChanged};
    // The listing follows by itself, being the selected folder's; the shown file's place too.
    if (shown_.folder == EntryFolder(root_, folder->name)) {
        shown_.folder = EntryFolder(root_, newName);
        outcome.changed |= kShownChanged;
    }
    folder->name = newName;
    return outcome;
}

Outcome BrowserModel::DeleteFolder(FolderId id) {
    const Folder* folder = FindFolder(id);
    if (!folder) return {};
    if (const uint32_t code = ops_.removeFolder(NodeFolder(root_, folder->name)))
        return {.failure = SystemFailure(code)};
    const auto at = folders_.begin() + (folder - folders_.data());
    keys_.Remove(id);
    const auto next = folders_.erase(at);
    if (selected_ == id) {
        if (next != folders_.end())
            selected_ = next->id;
        else
            selected_ = folders_.empty() ? 0 : folders_.back().id;
    }
    shown_ = {};
    // The list follows the new selection: its entries must not be taken for files of the
    // folder now selected.
    (void)ReadListing();
    return {.changed = kTreeChanged | kListChanged | kShownChanged};
}

// ---------------------------------------------------------------- files

Outcome BrowserModel::SetSelection(std::vector<int> indexes) {
    std::erase_if(indexes, [&](int i) { return i < 0 || i >= static_cast<int>(entries_.size()); });
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    selection_ = std::move(indexes);
    return {};
}

Outcome BrowserModel::DeleteFiles() {
    if (!selected_ || entries_.empty()) return {};
    const std::wstring folder = ListedFolder();
    std::vector<bool> removed(entries_.size());
    Outcome outcome{.changed = kListChanged | kEntriesRemoved | kShownChanged};
    for (auto i = selection_.rbegin(); i != selection_.rend(); ++i) {
        if (const uint32_t code = ops_.removeFile(folder + entries_[*i])) {
            // What went before stays gone, and the panel shows what it showed.
            outcome = {.changed = kListChanged | kEntriesRemoved, .failure = SystemFailure(code)};
            break;
        }
        removed[*i] = true;
    }
    size_t index = 0;
    RemoveEntries([&](const std::wstring&) { return removed[index++]; });
    if (!outcome.failure) shown_ = {};
    return outcome;
}

Outcome BrowserModel::ShowEntry(int index,
                                const std::function<bool(const std::wstring& path)>& load) {
    if (index < 0 || index >= static_cast<int>(entries_.size())) return {};
    const std::wstring folder = ListedFolder();
    const std::wstring path = folder + entries_[index];
    if (!load(path)) {
        shown_ = {};
        return {.changed = kShownChanged, .failure = OwnFailure(texts::kCannotRead)};
    }
    const SplitName split = SplitFileName(entries_[index]);
    shown_ = {.folder = folder,
              .name = split.name,
              .extension = split.extension,
              .date = ops_.createdText(path)};
    return {.changed = kShownChanged};
}

Outcome BrowserModel::ClearShown() {
    shown_ = {};
    return {.changed = kShownChanged};
}

RenameOutcome BrowserModel::RenameShown(const std::wstring& text,
                                        const std::function<bool(const std::wstring& path)>& load) {
    if (shown_.date.empty()) return {};
    RenameOutcome result;
    auto refuse = [&](Failure why, bool asInformation) {
        if (result.refused) return;  // one box for one commit
        result.refused = true;
        result.asInformation = asInformation;
        result.outcome.failure = why;
    };
    std::wstring committed = shown_.name;
    if (text != shown_.name) {
        const std::wstring trimmed = TrimSpaces(text);
        if (trimmed.empty()) {
            refuse(OwnFailure(texts::kEnterFileName), true);
        } else if (!ValidName(trimmed)) {
            refuse(OwnFailure(texts::kForbiddenCharacters), false);
        } else {
            const FileRename paths =
                FileRenamePaths(shown_.folder, shown_.name, text, shown_.extension);
            // Never over another file; only a name taken says so, other failures say why.
            if (const uint32_t code = ops_.move(paths.from, paths.to))
                refuse(code == kErrorAlreadyExists || code == kErrorFileExists
                           ? OwnFailure(texts::kFileNameExists)
                           : SystemFailure(code),
                       false);
            else
                committed = text;
        }
    }
    // Refused or not, the folder is read again and the shown file looked up under the box's
    // text, as the list box's own search does: the first entry starting with it and the
    // extension, letter case aside. So a name given with leading blanks, which the file
    // system drops, or one without an extension, finds none.
    result.outcome.changed = kListChanged | kShownChanged;
    shown_.name = committed;
    if (const Failure unread = ReadListing()) {
        refuse(unread, false);
        return result;
    }
    result.listed = true;
    const std::wstring wanted = committed + L'.' + shown_.extension;
    const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const std::wstring& e) {
        return StartsWithFoldingCase(e, wanted);
    });
    if (found != entries_.end()) {
        const int index = static_cast<int>(found - entries_.begin());
        selection_ = {index};
        const Outcome shown = ShowEntry(index, load);
        if (shown.failure && !result.refused) result.outcome.failure = shown.failure;
    }
    return result;
}

Outcome BrowserModel::Sort() {
    descending_ = !descending_;
    // A folder that vanished reads as empty: the list empties, and the order still changes.
    (void)ReadListing();
    return {.changed = kListChanged};
}

std::vector<std::wstring> BrowserModel::SelectedPaths() const {
    std::vector<std::wstring> paths;
    const std::wstring folder = ListedFolder();
    if (folder.empty()) return paths;
    for (int i : selection_) paths.push_back(folder + entries_[i]);
    return paths;
}

Outcome BrowserModel::Drop(const std::vector<std::wstring>& files, FolderId target, bool move) {
    const Folder* folder = FindFolder(target);
    if (!folder) return {.failure = SystemFailure(kErrorPathNotFound)};
    const std::wstring listed = ListedFolder();
    Outcome outcome;
    // A moved file's entry leaves the list that showed it.
    auto leaveList = [&](const std::wstring& from) {
        const std::wstring name = DroppedFileName(from);
        if (listed.empty() || from != listed + name) return;
        RemoveEntries([&](const std::wstring& entry) { return entry == name; });
        outcome.changed = kListChanged | kEntriesRemoved;
    };
    const uint32_t failed =
        DropFiles(files, EntryFolder(root_, folder->name), move,
                  {.copy = ops_.copy, .remove = ops_.removeFile, .moved = leaveList});
    if (failed) outcome.failure = SystemFailure(failed);
    return outcome;
}

}  // namespace trovell
