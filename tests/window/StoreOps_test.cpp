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

    const Status failed1 = MakeFolder(root / L"021231");
    EXPECT_FALSE(failed1.ok());
    EXPECT_FALSE(failed1.Text().empty());

    const Status failed2 = MakeFolder(root / L"missing\\021231");
    EXPECT_FALSE(failed2.ok());
    EXPECT_FALSE(failed2.Text().empty());
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

    const Status failed3 = RemoveFile(root / L"b.bmp");
    EXPECT_FALSE(failed3.ok());
    EXPECT_FALSE(failed3.Text().empty());
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
    const Status failed4 = RemoveFolder(root / L"030101");
    EXPECT_FALSE(failed4.ok());
    EXPECT_FALSE(failed4.Text().empty());
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

    const Status failed5 = MoveFileTo(root / L"b\\写真.bmp", root / L"b\\2.bmp");
    EXPECT_FALSE(failed5.ok());
    EXPECT_FALSE(failed5.Text().empty());
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
    // The short date carries the year, a blank separates the long time with its seconds.
    EXPECT_NE(text.find(std::to_wstring(now.wYear)), std::wstring::npos) << text;
    EXPECT_NE(text.find(L' '), std::wstring::npos) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), L':'), 2) << text;

    EXPECT_EQ(FileCreatedText(root / L"missing.bmp"), L"");
    EXPECT_EQ(FileCreatedText(root.path()), L"");
}
