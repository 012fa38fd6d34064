// The store's file operations against the real file system.
#include <gtest/gtest.h>

#include <algorithm>

#include "TestSupport.h"
#include "platform/FileOps_win.h"

using namespace trovell;
using trovell::test::TempFolder;

TEST(MakeFolder, CreatesOneLevelAndRefusesExistingOrOrphanFolders) {
    TempFolder root;
    EXPECT_TRUE(MakeFolder(root / L"021231\\"));
    EXPECT_TRUE(FolderExists(root / L"021231\\"));
    EXPECT_TRUE(FolderExists(root / L"021231"));

    const Status exists = MakeFolder(root / L"021231");
    EXPECT_EQ(exists.code(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(exists.Text().empty());

    EXPECT_EQ(MakeFolder(root / L"missing\\021231").code(),
              static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(FolderExists(root / L"missing"));
}

TEST(FolderExists, FalseForFilesAndMissingPaths) {
    TempFolder root;
    test::WriteFileBytes(root / L"a.bmp", "x");
    EXPECT_FALSE(FolderExists(root / L"a.bmp"));
    EXPECT_FALSE(FolderExists(root / L"nothing\\"));
    EXPECT_TRUE(FolderExists(root.path()));
}

TEST(RemoveFile, DeletesAPictureButNotAReadOnlyOne) {
    TempFolder root;
    test::WriteFileBytes(root / L"a.bmp", "x");
    test::WriteFileBytes(root / L"b.bmp", "y");
    ::SetFileAttributesW((root / L"b.bmp").c_str(), FILE_ATTRIBUTE_READONLY);

    EXPECT_TRUE(RemoveFile(root / L"a.bmp"));
    EXPECT_FALSE(test::PathExists(root / L"a.bmp"));

    EXPECT_EQ(RemoveFile(root / L"b.bmp").code(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(test::ReadFileBytes(root / L"b.bmp"), "y");

    EXPECT_FALSE(RemoveFile(root / L"missing.bmp"));
}

TEST(RemoveFolder, TakesThePicturesWithItButForcesNothing) {
    TempFolder root;
    ASSERT_TRUE(MakeFolder(root / L"021231"));
    test::WriteFileBytes(root / L"021231\\021231235959.bmp", "1");
    test::WriteFileBytes(root / L"021231\\021231235959_2.jpg", "2");
    EXPECT_TRUE(RemoveFolder(root / L"021231\\"));
    EXPECT_FALSE(test::PathExists(root / L"021231"));

    ASSERT_TRUE(MakeFolder(root / L"030101"));
    test::WriteFileBytes(root / L"030101\\keep.bmp", "k");
    ::SetFileAttributesW((root / L"030101\\keep.bmp").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(RemoveFolder(root / L"030101").code(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(test::ReadFileBytes(root / L"030101\\keep.bmp"), "k");

    EXPECT_FALSE(RemoveFolder(root / L"never"));
}

TEST(MoveFileTo, MovesAndRenamesButNeverOverwrites) {
    TempFolder root;
    ASSERT_TRUE(MakeFolder(root / L"a"));
    ASSERT_TRUE(MakeFolder(root / L"b"));
    test::WriteFileBytes(root / L"a\\1.bmp", "one");
    test::WriteFileBytes(root / L"b\\2.bmp", "two");

    EXPECT_TRUE(MoveFileTo(root / L"a\\1.bmp", root / L"b\\写真.bmp"));
    EXPECT_FALSE(test::PathExists(root / L"a\\1.bmp"));
    EXPECT_EQ(test::ReadFileBytes(root / L"b\\写真.bmp"), "one");

    EXPECT_EQ(MoveFileTo(root / L"b\\写真.bmp", root / L"b\\2.bmp").code(),
              static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(test::ReadFileBytes(root / L"b\\写真.bmp"), "one");
    EXPECT_EQ(test::ReadFileBytes(root / L"b\\2.bmp"), "two");

    EXPECT_FALSE(MoveFileTo(root / L"a\\gone.bmp", root / L"a\\x.bmp"));
}

TEST(FileCreatedText, DateAndTimeOfAFileOrEmpty) {
    TempFolder root;
    test::WriteFileBytes(root / L"a.bmp", "x");
    std::wstring text = FileCreatedText(root / L"a.bmp");
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    // yyyy/mm/dd hh:mm:ss
    ASSERT_EQ(text.size(), 19u) << text;
    EXPECT_EQ(text.substr(0, 5), std::to_wstring(now.wYear) + L"/") << text;
    EXPECT_EQ(text[7], L'/');
    EXPECT_EQ(text[10], L' ');
    EXPECT_EQ(text[13], L':');
    EXPECT_EQ(text[16], L':');

    EXPECT_EQ(FileCreatedText(root / L"missing.bmp"), L"");
    EXPECT_EQ(FileCreatedText(root.path()), L"");
}

TEST(ListFolder, SubfoldersAndVisibleFilesApartMissingFolderFails) {
    TempFolder root;
    ASSERT_TRUE(MakeFolder(root / L"050101"));
    ASSERT_TRUE(MakeFolder(root / L"旅行"));
    test::WriteFileBytes(root / L"a.bmp", "a");
    test::WriteFileBytes(root / L"b.jpg", "b");
    test::WriteFileBytes(root / L"desktop.ini", "s");
    test::WriteFileBytes(root / L"thumbs.db", "h");
    ::SetFileAttributesW((root / L"desktop.ini").c_str(), FILE_ATTRIBUTE_SYSTEM);
    ::SetFileAttributesW((root / L"thumbs.db").c_str(), FILE_ATTRIBUTE_HIDDEN);

    std::vector<std::wstring> names;
    ASSERT_TRUE(ListSubfolders(root.path(), &names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"050101", L"旅行"}));
    // The separator after the folder is optional.
    const std::wstring bare = root.path().substr(0, root.path().size() - 1);
    ASSERT_TRUE(ListFiles(bare, &names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"a.bmp", L"b.jpg"}));
    ASSERT_TRUE(ListFiles(root / L"050101", &names));
    EXPECT_TRUE(names.empty());

    names = {L"stale"};
    EXPECT_EQ(ListFiles(root / L"gone", &names).code(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(ListSubfolders(root / L"gone\\", &names));
}
