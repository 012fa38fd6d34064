#include "browser/BrowserRules.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

using namespace trovell;

TEST(SplitFileName, NameBeforeTheLastDotExtensionAfterIt) {
    const std::pair<const wchar_t*, SplitName> cases[] = {
        {L"a.b.c.bmp", {L"a.b.c", L"bmp"}},
        {L"050101120000.jpg", {L"050101120000", L"jpg"}},
        {L"README", {L"README", L""}},
        {L"trailing.", {L"trailing", L""}},
        {L".bmp", {L"", L"bmp"}},
        {L"", {L"", L""}},
        {L"旅行 .写真", {L"旅行 ", L"写真"}},
    };
    for (const auto& [file, split] : cases) EXPECT_EQ(SplitFileName(file), split) << file;
}

TEST(NewFolderName, FirstCandidateNotTakenWins_GivesUpAfterTheOneFor65534) {
    const std::pair<std::set<std::wstring>, std::wstring> cases[] = {
        {{}, L"新しいフォルダ"},
        {{L"新しいフォルダ", L"新しいフォルダ (2)"}, L"新しいフォルダ (3)"},
        {{L"新しいフォルダ (2)"}, L"新しいフォルダ"},
        {{L"新しいフォルダ", L"新しいフォルダ (3)"}, L"新しいフォルダ (2)"},
    };
    for (auto [disk, made] : cases)
        EXPECT_EQ(
            MakeFreeFolder([&](const std::wstring& name) {
                return disk.insert(name).second ? MakeResult::Made : MakeResult::Taken;
            }),
            made);

    std::vector<std::wstring> tried;
    EXPECT_FALSE(MakeFreeFolder([&](const std::wstring& name) {
        tried.push_back(name);
        return MakeResult::Taken;
    }));
    EXPECT_EQ(tried.size(), 65534u);
    EXPECT_EQ(tried.back(), L"新しいフォルダ (65534)");
}

TEST(FolderRename, OnlyASingleNameInsideTheStoreIsAccepted) {
    for (const wchar_t* good :
         {L"旅行", L"050101", L"a b", L".hidden", L"x..y", L"新しいフォルダ (2)", L"全角　空白"})
        EXPECT_TRUE(IsSingleFolderName(good)) << good;
    for (const wchar_t* bad : {L"", L".", L"..", L"..\\..\\x", L"a/b", L"c:x", L"a*", L"a?",
                               L"a\"b", L"<a>", L"a|b", L"trailing ", L"trailing.", L"tab\there"})
        EXPECT_FALSE(IsSingleFolderName(bad)) << bad;
}

TEST(TreeKeys, ActionsByKeyAndExactModifiers) {
    constexpr int kNone = 0, kShift = kShiftMask, kCtrl = kCtrlMask, kAlt = kAltMask;
    const std::tuple<int, int, TreeKey> cases[] = {
        {0x27, kNone, TreeKey::ToList},       {0x27, kCtrl | kShift, TreeKey::ToList},
        {'X', kCtrl, TreeKey::Close},         {'X', kCtrl | kShift, TreeKey::None},
        {'X', kNone, TreeKey::None},          {'M', kCtrl, TreeKey::NewFolder},
        {'M', kCtrl | kShift, TreeKey::None}, {'M', kCtrl | kAlt, TreeKey::None},
        {0x2E, kNone, TreeKey::DeleteFolder}, {0x2E, kShift, TreeKey::DeleteFolder},
        {0x25, kNone, TreeKey::None},         {'C', kCtrl, TreeKey::None},
    };
    for (const auto& [vk, shift, action] : cases)
        EXPECT_EQ(TreeKeyAction(vk, shift), action) << vk << " " << shift;
}

TEST(ShownDate, BlanksAloneShowNoDate) {
    for (const wchar_t* blanks : {L"", L"   "}) EXPECT_FALSE(ShowsDate(blanks)) << blanks;
    EXPECT_TRUE(ShowsDate(L" 2005/01/31 14:05:09 "));
}

TEST(ListKeys, TableInOrderWithEntryKeysOnlyOnEntries) {
    constexpr int kNone = 0, kShift = kShiftMask, kCtrl = kCtrlMask;
    const std::tuple<int, int, bool, ListKey> cases[] = {
        {0x25, kNone, false, ListKey::ToTree}, {0x25, kCtrl, true, ListKey::ToTree},
        {'X', kCtrl, false, ListKey::Close},   {'X', kCtrl | kShift, true, ListKey::None},
        {0x27, kNone, false, ListKey::ToName}, {'C', kCtrl, true, ListKey::Copy},
        {'C', kCtrl, false, ListKey::None},    {'C', kCtrl | kShift, true, ListKey::None},
        {0x0D, kShift, true, ListKey::Open},   {0x0D, kNone, false, ListKey::None},
        {0x2E, kCtrl, true, ListKey::Delete},  {0x2E, kNone, false, ListKey::None},
        {'V', kCtrl, true, ListKey::None},
    };
    for (const auto& [vk, shift, entries, action] : cases)
        EXPECT_EQ(ListKeyAction(vk, shift, entries), action) << vk << " " << shift;
}

TEST(FileRename, ElevenCharactersRefused_LeadingBlanksDroppedTrailingKept) {
    for (const wchar_t* bad :
         {L"a\\b", L"a/b", L"a,b", L"a;b", L"a:b", L"a*", L"a?", L"\"a\"", L"<a", L"a>", L"a|b"})
        EXPECT_FALSE(ValidName(bad)) << bad;
    for (const wchar_t* good : {L"旅行", L"a.b", L"a b", L"", L"(1)", L"全角；"})
        EXPECT_TRUE(ValidName(good)) << good;

    // Leading blanks are dropped, trailing ones kept, the extension unchanged.
    EXPECT_EQ(TrimSpaces(L"  旅行  "), L"旅行");
    EXPECT_EQ(TrimSpaces(L"\u3000a\u3000"), L"\u3000a\u3000");  // spaces only
    EXPECT_EQ(FileRenamePaths(L"D:\\img\\a\\", L"050131120000", L"  旅行  ", L"bmp"),
              (FileRename{L"D:\\img\\a\\050131120000.bmp", L"D:\\img\\a\\旅行  .bmp"}));
    EXPECT_EQ(FileRenamePaths(L"D:\\a\\", L"README", L"readme2", L""),
              (FileRename{L"D:\\a\\README", L"D:\\a\\readme2"}));
}
