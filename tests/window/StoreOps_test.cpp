// The store's file operations against the real file system.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/FileOps_win.h"
#include "platform/Handles_win.h"

using namespace trovell;
using trovell::test::TempFolder;

TEST(Status, SystemTextForWin32Codes_OurOwnWords_AJapaneseSentenceForTheUnknown) {
    EXPECT_TRUE(Status().ok());
    EXPECT_EQ(Status().Text(), L"");
    const std::wstring denied = Status(ERROR_ACCESS_DENIED).Text();
    EXPECT_FALSE(denied.empty());
    EXPECT_NE(denied.back(), L'\n');
    EXPECT_EQ(Status(kErrorBrokenPicture).Text(), L"クリップボードの画像が壊れています。");
    EXPECT_EQ(Status(0x2000ABCD).Text(), L"エラーが発生しました (コード 0x2000ABCD)。");
    ::SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(Status::LastError().ok());  // a failed call that set no code still failed
}

TEST(MakeFolder, CreatesOneLevelAndRefusesExistingOrOrphanFolders) {
    TempFolder root;
    EXPECT_TRUE(MakeFolder(root / L"021231\\").ok());
    EXPECT_TRUE(FolderExists(root / L"021231\\"));
    EXPECT_TRUE(FolderExists(root / L"021231"));
    EXPECT_EQ(MakeFolder(root / L"021231").code(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(MakeFolder(root / L"missing\\021231").code(),
              static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(FolderExists(root / L"missing"));

    test::WriteFileBytes(root / L"a.bmp", "x");
    EXPECT_FALSE(FolderExists(root / L"a.bmp"));
    EXPECT_TRUE(FileExists(root / L"a.bmp"));
    EXPECT_FALSE(FileExists(root / L"021231"));
}

TEST(RemoveFileAndFolder, TakeWhatTheyMayButForceNothingReadOnly) {
    TempFolder root;
    test::WriteFileBytes(root / L"a.bmp", "x");
    test::WriteFileBytes(root / L"b.bmp", "y");
    ::SetFileAttributesW((root / L"b.bmp").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(RemoveFile(root / L"a.bmp").ok());
    EXPECT_FALSE(test::PathExists(root / L"a.bmp"));
    EXPECT_FALSE(RemoveFile(root / L"b.bmp").ok());
    EXPECT_EQ(test::ReadFileBytes(root / L"b.bmp"), "y");
    EXPECT_FALSE(RemoveFile(root / L"missing.bmp").ok());

    ASSERT_TRUE(MakeFolder(root / L"021231").ok());
    ASSERT_TRUE(MakeFolder(root / L"021231\\inner").ok());
    test::WriteFileBytes(root / L"021231\\021231235959.bmp", "1");
    test::WriteFileBytes(root / L"021231\\inner\\x.jpg", "2");
    EXPECT_TRUE(RemoveFolder(root / L"021231\\").ok());
    EXPECT_FALSE(test::PathExists(root / L"021231"));

    ASSERT_TRUE(MakeFolder(root / L"030101").ok());
    test::WriteFileBytes(root / L"030101\\keep.bmp", "k");
    ::SetFileAttributesW((root / L"030101\\keep.bmp").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(RemoveFolder(root / L"030101").code(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(test::ReadFileBytes(root / L"030101\\keep.bmp"), "k");
    EXPECT_FALSE(RemoveFolder(root / L"never").ok());
    EXPECT_EQ(RemoveFolder(root / L"b.bmp").code(), static_cast<DWORD>(ERROR_DIRECTORY));
}

TEST(MoveFileTo, MovesAndRenamesButNeverOverwrites) {
    TempFolder root;
    ASSERT_TRUE(MakeFolder(root / L"a").ok());
    ASSERT_TRUE(MakeFolder(root / L"b").ok());
    test::WriteFileBytes(root / L"a\\1.bmp", "one");
    test::WriteFileBytes(root / L"b\\2.bmp", "two");

    EXPECT_TRUE(MoveFileTo(root / L"a\\1.bmp", root / L"b\\写真.bmp").ok());
    EXPECT_FALSE(test::PathExists(root / L"a\\1.bmp"));
    EXPECT_EQ(test::ReadFileBytes(root / L"b\\写真.bmp"), "one");

    const Status refused = MoveFileTo(root / L"b\\写真.bmp", root / L"b\\2.bmp");
    EXPECT_TRUE(refused.code() == ERROR_ALREADY_EXISTS || refused.code() == ERROR_FILE_EXISTS);
    EXPECT_EQ(test::ReadFileBytes(root / L"b\\写真.bmp"), "one");
    EXPECT_EQ(test::ReadFileBytes(root / L"b\\2.bmp"), "two");
    EXPECT_FALSE(MoveFileTo(root / L"a\\gone.bmp", root / L"a\\x.bmp").ok());
}

TEST(CopyFileTo, LeavesNothingBehindWhenTheCopyFails) {
    TempFolder root;
    ASSERT_TRUE(MakeFolder(root / L"to").ok());
    test::WriteFileBytes(root / L"locked.bmp", "l");
    // Held open without sharing: the copy cannot read it once its temp file exists.
    UniqueFileHandle held(::CreateFileW((root / L"locked.bmp").c_str(), GENERIC_READ, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(CopyFileTo(root / L"locked.bmp", root / L"to\\locked.bmp").code(),
              static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_TRUE(test::ListFolder(root / L"to\\").empty());
}

TEST(TempFiles, UniqueNamesAnyPathLength_StaleOnesGoButAnOpenOneStays) {
    TempFolder root;
    // Well past MAX_PATH, as an application folder deep in a user's documents can be.
    std::wstring deep = root.path();
    while (deep.size() < 320) {
        deep += L"深いフォルダの名前0123456789\\";
        ASSERT_TRUE(MakeFolder(deep).ok()) << deep.size();
    }
    std::wstring a, b;
    ASSERT_TRUE(CreateTempFileIn(deep, &a).ok());
    ASSERT_TRUE(CreateTempFileIn(deep, &b).ok());
    EXPECT_NE(a, b);
    EXPECT_EQ(a.rfind(deep + L"trv", 0), 0u);
    EXPECT_EQ(a.substr(a.size() - 4), L".tmp");
    EXPECT_TRUE(MoveFileTo(a, deep + L"021231235959.bmp").ok());
    EXPECT_TRUE(FileExists(deep + L"021231235959.bmp"));

    // One temp file is still being written by a running store: it cannot go.
    UniqueFileHandle writing(::CreateFileW(ForFileCall(b).c_str(), GENERIC_WRITE, 0, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writing);
    test::WriteFileBytes(deep + L"trv0000BEEF.tmp", "left by a killed store");
    test::WriteFileBytes(deep + L"other.tmp", "not ours");
    RemoveStaleTempFiles(deep);
    EXPECT_EQ(test::ListFolder(deep),
              (std::vector<std::wstring>{L"021231235959.bmp", L"other.tmp",
                                         b.substr(deep.size())}));
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
    ASSERT_TRUE(MakeFolder(root / L"050101").ok());
    ASSERT_TRUE(MakeFolder(root / L"旅行").ok());
    test::WriteFileBytes(root / L"a.bmp", "a");
    test::WriteFileBytes(root / L"b.jpg", "b");
    test::WriteFileBytes(root / L"desktop.ini", "s");
    test::WriteFileBytes(root / L"thumbs.db", "h");
    ::SetFileAttributesW((root / L"desktop.ini").c_str(), FILE_ATTRIBUTE_SYSTEM);
    ::SetFileAttributesW((root / L"thumbs.db").c_str(), FILE_ATTRIBUTE_HIDDEN);

    std::vector<std::wstring> names;
    ASSERT_TRUE(ListSubfolders(root.path(), &names).ok());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"050101", L"旅行"}));
    // The separator after the folder is optional.
    const std::wstring bare = root.path().substr(0, root.path().size() - 1);
    ASSERT_TRUE(ListFiles(bare, &names).ok());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"a.bmp", L"b.jpg"}));
    ASSERT_TRUE(ListFiles(root / L"050101", &names).ok());
    EXPECT_TRUE(names.empty());

    names = {L"stale"};
    EXPECT_EQ(ListFiles(root / L"gone", &names).code(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(ListSubfolders(root / L"gone\\", &names).ok());
}
