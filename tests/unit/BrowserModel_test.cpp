#include "browser/BrowserModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "browser/BrowserTexts.h"

using namespace trovell;

namespace {

using Names = std::vector<std::wstring>;
// What the list and the panel show: the entries, the selected ones, the shown file's name.
using View = std::tuple<Names, std::vector<int>, std::wstring>;
constexpr uint32_t kNotFound = 3, kDenied = 5, kExists = 183, kInvalidName = 123;
const std::wstring kRoot = L"C:\\app\\img\\tester\\";

// A store in memory: every path in the order it was made, folders ending in "\", and a
// failure code for any path an operation should refuse.
struct FakeStore {
    Names paths{kRoot};
    std::map<std::wstring, uint32_t> refuse;
    std::set<std::wstring> unreadable;  // pictures that do not decode
    Names loaded;

    bool Has(const std::wstring& path) const { return std::ranges::count(paths, path) != 0; }
    void Add(const std::wstring& folder, const Names& files) {
        paths.push_back(kRoot + folder + L"\\");
        for (const std::wstring& f : files) paths.push_back(kRoot + folder + L"\\" + f);
    }
    // The names right inside a folder, in the order they were made.
    Names Children(const std::wstring& folder, bool folders) const {
        Names names;
        for (const std::wstring& p : paths) {
            const size_t cut = p.find(L'\\', folder.size());
            if (p.starts_with(folder) && p != folder &&
                (folders ? cut == p.size() - 1 : cut == std::wstring::npos))
                names.push_back(p.substr(folder.size(), cut - folder.size()));
        }
        return names;
    }
    Names In(const std::wstring& folder) const { return Children(kRoot + folder + L"\\", false); }
    // Removes a path, or with tree every path under it.
    uint32_t Remove(const std::wstring& path, bool tree) {
        const auto gone = [&](const auto& p) { return tree ? p.starts_with(path) : p == path; };
        return std::erase_if(paths, gone) ? 0 : kNotFound;
    }
    // Adds a path unless it is there already.
    uint32_t Make(const std::wstring& path, uint32_t taken) {
        if (Has(path)) return taken;
        paths.push_back(path);
        return 0;
    }
    StoreOps Ops() {
        // Every operation first fails as set for the path it is given.
        const auto guard = [this](auto op) {
            return [this, op](const std::wstring& path, const auto&... more) {
                const auto refused = refuse.find(path);
                return refused != refuse.end() ? refused->second : op(path, more...);
            };
        };
        const auto list = [this, guard](bool folders) {
            return guard([this, folders](const std::wstring& folder, Names* names) {
                *names = Children(folder, folders);
                return Has(folder) ? 0u : kNotFound;
            });
        };
        return {
            .listFolders = list(true),
            .listFiles = list(false),
            .makeFolder = guard([this](const auto& p) { return Make(p + L"\\", kExists); }),
            .removeFolder = guard([this](const auto& p) { return Remove(p + L"\\", true); }),
            .removeFile = guard([this](const auto& p) { return Remove(p, false); }),
            .move = guard([this](const std::wstring& from, const std::wstring& to) {
                if (!Has(from) && !Has(from + L"\\")) return kNotFound;
                if (Has(to) || Has(to + L"\\")) return kExists;
                for (std::wstring& p : paths)
                    if (p == from || p.starts_with(from + L"\\")) p = to + p.substr(from.size());
                return 0u;
            }),
            .copy = guard([this](const auto&, const std::wstring& to) { return Make(to, 80); }),
            .createdText = [](const std::wstring&) { return std::wstring(L"2005/01/01 12:00:00"); },
        };
    }
    std::function<bool(const std::wstring&)> Loader() {
        return [this](const std::wstring& path) {
            loaded.push_back(path);
            return Has(path) && !unreadable.contains(path);
        };
    }
};

class Model : public testing::Test {
protected:
    void Open() {
        model_ = std::make_unique<BrowserModel>(disk_.Ops());
        model_->Refresh(kRoot);
    }
    BrowserModel& m() { return *model_; }
    BrowserModel::FolderId Id(const std::wstring& name) {
        const auto f = std::ranges::find(m().folders(), name, &BrowserModel::Folder::name);
        return f == m().folders().end() ? 0 : f->id;
    }
    Names FolderNames() {
        Names names;
        for (const auto& f : m().folders()) names.push_back(f.name);
        return names;
    }
    void Show(int index) { ASSERT_FALSE(m().ShowEntry(index, disk_.Loader()).failure); }
    View Shows() { return {m().entries(), m().selection(), m().shown().name}; }
    static Failure Code(uint32_t code) { return {.code = code}; }
    static Failure Text(const wchar_t* text) { return {.text = text}; }

    FakeStore disk_;
    std::unique_ptr<BrowserModel> model_;
};

}  // namespace

TEST_F(Model, Refresh_FoldersInDiskOrderFirstSelectedAndListedInOrder_UnreadableStoreKeepsAll) {
    disk_.Add(L"050102", {L"b.bmp", L"A_2.bmp", L"a.bmp"});
    disk_.Add(L"050101", {L"x.jpg"});
    Open();
    EXPECT_EQ(FolderNames(), (Names{L"050102", L"050101"}));
    EXPECT_EQ(m().selected(), Id(L"050102"));
    EXPECT_EQ(m().entries(), (Names{L"a.bmp", L"A_2.bmp", L"b.bmp"}));

    disk_.refuse[kRoot] = kDenied;
    disk_.Add(L"050103", {});
    EXPECT_EQ(m().Refresh(kRoot).failure, Code(kDenied));
    EXPECT_EQ(FolderNames(), (Names{L"050102", L"050101"}));
    EXPECT_EQ(m().entries().size(), 3u);

    // Folders gone behind its back: nothing selected, nothing listed, nothing shown.
    disk_.refuse.clear();
    Show(0);
    disk_.paths = {kRoot};
    EXPECT_EQ(m().Refresh(kRoot).changed, kTreeChanged | kListChanged | kShownChanged);
    EXPECT_EQ(m().selected(), 0u);
    EXPECT_EQ(Shows(), View{});
}

TEST_F(Model, WithoutAFolderNoFileOfTheUsersFolderItselfIsListedSortedOrDragged) {
    disk_.paths.push_back(kRoot + L"loose.bmp");
    Open();
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(m().entries().empty());
        EXPECT_EQ(m().ListedFolder(), L"");
        m().Sort();
    }
    m().SetSelection({0});
    EXPECT_TRUE(m().SelectedPaths().empty());
    EXPECT_FALSE(m().DeleteFiles().failure);
    EXPECT_TRUE(disk_.Has(kRoot + L"loose.bmp"));
}

TEST_F(Model, SelectFolder_ListsItsFiles_AVanishedOneListsNothingAndSaysWhy) {
    disk_.Add(L"a", {L"1.bmp"});
    disk_.Add(L"b", {L"2.bmp", L"3.bmp"});
    Open();
    m().SetSelection({0});
    EXPECT_EQ(m().SelectFolder(Id(L"b")).changed, kFolderSelected | kListChanged);
    EXPECT_EQ(Shows(), (View{{L"2.bmp", L"3.bmp"}, {}, L""}));
    disk_.Remove(kRoot + L"a\\", true);
    EXPECT_EQ(m().SelectFolder(Id(L"a")).failure, Code(kNotFound));
    EXPECT_TRUE(m().entries().empty());
    EXPECT_EQ(m().SelectFolder(999).changed, kNoChange);
}

TEST_F(Model, NewFolder_TakesTheFirstFreeName_SaysWhenNoneCanBeMade) {
    disk_.Add(L"新しいフォルダ", {});
    Open();
    Show(-1);
    EXPECT_EQ(m().NewFolder().changed, kTreeChanged | kShownChanged);
    EXPECT_EQ(FolderNames(), (Names{L"新しいフォルダ", L"新しいフォルダ (2)"}));
    EXPECT_EQ(m().selected(), Id(L"新しいフォルダ"));  // the new one is not selected
    EXPECT_TRUE(disk_.Has(kRoot + L"新しいフォルダ (2)\\"));

    // Another refusal than a name taken ends the search.
    disk_.refuse[kRoot + L"新しいフォルダ (3)"] = kDenied;
    EXPECT_EQ(m().NewFolder().failure, Text(texts::kNoNewFolder));
    EXPECT_EQ(m().folders().size(), 2u);
}

TEST_F(Model, RenameFolder_OnDiskAndInTheKey_RefusalsChangeNothingAndSayWhy) {
    disk_.Add(L"a", {L"1.bmp"});
    disk_.Add(L"b", {});
    Open();
    const auto a = Id(L"a");
    EXPECT_EQ(m().RenameFolder(a, L"a").changed, kNoChange);
    EXPECT_EQ(m().RenameFolder(a, L"..\\x").failure, Code(kInvalidName));
    EXPECT_EQ(m().RenameFolder(a, L"123").failure, Text(texts::kKeyInvalid));
    EXPECT_EQ(m().RenameFolder(a, L"b_").failure, Text(texts::kKeyNotUnique));  // b's key
    EXPECT_EQ(disk_.Children(kRoot, true), (Names{L"a", L"b"}));
    EXPECT_EQ(m().RenameFolder(a, L"c").changed, kTreeChanged);
    EXPECT_EQ(disk_.Children(kRoot, true), (Names{L"c", L"b"}));
    disk_.refuse[kRoot + L"c"] = kDenied;
    EXPECT_EQ(m().RenameFolder(a, L"d").failure, Code(kDenied));
    EXPECT_EQ(FolderNames(), (Names{L"c", L"b"}));
    // The refused rename gave its key back and took none.
    EXPECT_EQ(m().RenameFolder(Id(L"b"), L"c").failure, Text(texts::kKeyNotUnique));
    EXPECT_FALSE(m().RenameFolder(Id(L"b"), L"d").failure);
}

// Renaming the folder that is shown, then a file in it: the listing and the shown file's
// place are that one folder's, so both follow the rename.
TEST_F(Model, RenameFolder_OfTheShownFolderThenAFileInIt_ListsAndShowsUnderTheNewPath) {
    disk_.Add(L"050101", {L"p.bmp", L"q.bmp"});
    Open();
    Show(0);
    EXPECT_EQ(m().RenameFolder(m().selected(), L"旅行").changed, kTreeChanged | kShownChanged);
    EXPECT_EQ((Names{m().ListedFolder(), m().shown().folder}), Names(2, kRoot + L"旅行\\"));
    const RenameOutcome renamed = m().RenameShown(L"r", disk_.Loader());
    EXPECT_EQ(std::tuple(renamed.refused, renamed.outcome.failure), std::tuple(false, Failure{}));
    EXPECT_EQ(disk_.In(L"旅行"), (Names{L"r.bmp", L"q.bmp"}));
    EXPECT_EQ(Shows(), (View{{L"q.bmp", L"r.bmp"}, {1}, L"r"}));
    m().Sort();
    EXPECT_EQ(m().entries(), (Names{L"r.bmp", L"q.bmp"}));
}

TEST_F(Model, DeleteFolder_SelectsTheNextElseThePrevious_AFailureKeepsItAndSaysWhy) {
    for (const wchar_t* name : {L"a", L"b", L"c"}) disk_.Add(name, {std::wstring(name) + L".bmp"});
    Open();
    m().SelectFolder(Id(L"b"));
    Show(0);
    EXPECT_EQ(m().DeleteFolder(Id(L"b")).changed, kTreeChanged | kListChanged | kShownChanged);
    EXPECT_EQ(m().selected(), Id(L"c"));
    EXPECT_EQ(Shows(), (View{{L"c.bmp"}, {}, L""}));
    m().DeleteFolder(Id(L"c"));
    EXPECT_EQ(m().selected(), Id(L"a"));
    disk_.refuse[kRoot + L"a"] = kDenied;
    EXPECT_EQ(m().DeleteFolder(Id(L"a")).failure, Code(kDenied));
    EXPECT_EQ(FolderNames(), (Names{L"a"}));
    disk_.refuse.clear();
    m().DeleteFolder(Id(L"a"));
    EXPECT_EQ(m().selected(), 0u);
    EXPECT_TRUE(m().entries().empty());
}

TEST_F(Model, DeleteFiles_FromTheLastSelectedUp_StopsAtTheFirstFailureKeepingWhatWentBefore) {
    disk_.Add(L"d", {L"1.bmp", L"2.bmp", L"3.bmp", L"4.bmp", L"5.bmp"});
    Open();
    Show(0);
    disk_.refuse[kRoot + L"d\\2.bmp"] = kDenied;
    m().SetSelection({3, 0, 1, 1, 9});
    EXPECT_EQ(m().DeleteFiles().failure, Code(kDenied));
    EXPECT_EQ(disk_.In(L"d"), (Names{L"1.bmp", L"2.bmp", L"3.bmp", L"5.bmp"}));
    EXPECT_EQ(Shows(), (View{disk_.In(L"d"), {0, 1}, L"1"}));
    disk_.refuse.clear();
    EXPECT_EQ(m().DeleteFiles().changed, kListChanged | kEntriesRemoved | kShownChanged);
    EXPECT_EQ(Shows(), (View{{L"3.bmp", L"5.bmp"}, {}, L""}));
}

TEST_F(Model, ShowEntry_SplitsTheNameAndDates_AnUnreadablePictureEmptiesThePanel) {
    disk_.Add(L"d", {L"a.b.jpg", L"bad.bmp"});
    Open();
    Show(0);  // the loader takes only a path in the store
    const ShownFile& shown = m().shown();
    EXPECT_EQ(std::tie(shown.name, shown.extension, shown.date),
              std::tuple(L"a.b", L"jpg", L"2005/01/01 12:00:00"));
    disk_.unreadable.insert(kRoot + L"d\\bad.bmp");
    EXPECT_EQ(m().ShowEntry(1, disk_.Loader()).failure, Text(texts::kCannotRead));
    EXPECT_TRUE(m().shown().empty());
    EXPECT_EQ(m().ShowEntry(2, disk_.Loader()).changed, kNoChange);
}

TEST_F(Model, RenameShown_EveryRefusalKeepsTheFileAndTellsOnce_TheRenamedFileIsSelectedAgain) {
    disk_.Add(L"d", {L"a.bmp", L"b.bmp", L"noext"});
    Open();
    EXPECT_EQ(m().RenameShown(L"x", disk_.Loader()).outcome.changed, kNoChange);  // none shown
    Show(0);
    const std::tuple<const wchar_t*, Failure, bool> refusals[] = {
        {L"   ", Text(texts::kEnterFileName), true},
        {L"a;b", Text(texts::kForbiddenCharacters), false},
        {L" b", Text(texts::kFileNameExists), false},
    };
    for (const auto& [typed, why, information] : refusals) {
        const RenameOutcome r = m().RenameShown(typed, disk_.Loader());
        EXPECT_EQ(std::tuple(r.refused, r.outcome.failure, r.asInformation),
                  std::tuple(true, why, information))
            << typed;
        EXPECT_EQ(disk_.In(L"d"), (Names{L"a.bmp", L"b.bmp", L"noext"}));
        EXPECT_EQ(Shows(), (View{disk_.In(L"d"), {0}, L"a"}));
    }
    disk_.refuse[kRoot + L"d\\a.bmp"] = kDenied;
    EXPECT_EQ(m().RenameShown(L"c", disk_.Loader()).outcome.failure, Code(kDenied));
    disk_.refuse.clear();

    // The file system drops leading blanks; the box's text stays the committed name, and
    // looked up with them, as the list box's search does, it finds no entry.
    EXPECT_FALSE(m().RenameShown(L"  写真", disk_.Loader()).refused);
    EXPECT_EQ(disk_.In(L"d"), (Names{L"写真.bmp", L"b.bmp", L"noext"}));
    EXPECT_EQ(Shows(), (View{{L"b.bmp", L"noext", L"写真.bmp"}, {}, L"  写真"}));
    // The search is for a prefix, letter case aside: "B." finds b.bmp; "noext." nothing.
    Show(1);
    EXPECT_FALSE(m().RenameShown(L"noext", disk_.Loader()).refused);
    EXPECT_TRUE(m().selection().empty());
    Show(0);
    disk_.paths.push_back(kRoot + L"d\\B.bmp.old");
    EXPECT_FALSE(m().RenameShown(L"B", disk_.Loader()).refused);
    EXPECT_EQ(Shows(), (View{{L"B.bmp", L"B.bmp.old", L"noext", L"写真.bmp"}, {0}, L"B"}));
    EXPECT_EQ(disk_.loaded.back(), kRoot + L"d\\B.bmp");

    // The folder gone meanwhile: the listing empties and the reason is told once.
    disk_.Remove(kRoot + L"d\\", true);
    const RenameOutcome gone = m().RenameShown(L"z", disk_.Loader());
    EXPECT_TRUE(gone.refused);
    EXPECT_EQ(gone.outcome.failure, Code(kNotFound));
    EXPECT_TRUE(m().entries().empty());
}

TEST_F(Model, Sort_ReversesTheListingAndBack_DragCarriesTheSelectedInThatOrder) {
    disk_.Add(L"d", {L"1.bmp", L"2.bmp", L"3.bmp"});
    Open();
    m().Sort();
    EXPECT_EQ(m().entries(), (Names{L"3.bmp", L"2.bmp", L"1.bmp"}));
    m().SetSelection({2, 0});
    EXPECT_EQ(m().SelectedPaths(), (Names{kRoot + L"d\\3.bmp", kRoot + L"d\\1.bmp"}));
    // Each sort reads the folder again: what went or came meanwhile shows; the selection goes.
    std::erase(disk_.paths, kRoot + L"d\\1.bmp");
    disk_.paths.push_back(kRoot + L"d\\0.bmp");
    EXPECT_EQ(m().Sort().changed, kListChanged);
    EXPECT_EQ(Shows(), (View{{L"0.bmp", L"2.bmp", L"3.bmp"}, {}, L""}));
}

TEST_F(Model, Drop_CopiesOrMovesWithoutOverwriting_AMovedEntryLeavesTheListShowingIt) {
    disk_.Add(L"from", {L"1.bmp", L"2.bmp", L"3.bmp"});
    disk_.Add(L"to", {L"3.bmp"});
    Open();
    const std::wstring from = kRoot + L"from\\";
    m().SetSelection({0, 2});
    const Outcome moved = m().Drop({from + L"1.bmp", from + L"2.bmp"}, Id(L"to"), true);
    EXPECT_EQ(moved.changed, kListChanged | kEntriesRemoved);
    EXPECT_EQ(Shows(), (View{{L"3.bmp"}, {0}, L""}));
    EXPECT_EQ(disk_.In(L"to"), (Names{L"3.bmp", L"1.bmp", L"2.bmp"}));

    // Stops at the first it cannot copy: what went before is done, the rest untouched.
    disk_.Add(L"x", {L"a.bmp", L"b.bmp"});
    const std::wstring x = kRoot + L"x\\";
    EXPECT_EQ(m().Drop({x + L"a.bmp", from + L"3.bmp", x + L"b.bmp"}, Id(L"to"), false).failure,
              Code(80));
    EXPECT_EQ(disk_.In(L"to"), (Names{L"3.bmp", L"1.bmp", L"2.bmp", L"a.bmp"}));
    EXPECT_EQ(m().entries(), (Names{L"3.bmp"}));  // a copy leaves the source listed
    EXPECT_EQ(m().Drop({x + L"b.bmp"}, 999, false).failure, Code(kNotFound));
    EXPECT_EQ(m().Drop({x + L".."}, Id(L"to"), false).failure, Code(kInvalidName));
}
