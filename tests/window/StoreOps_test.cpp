// The store's file operations against the real file system.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/FileOps_win.h"
#include "platform/Handles_win.h"

using namespace trovell;
using trovell::test::TempFolder;
using Names = std::vector<std::wstring>;

TEST(Status, SystemTextForWin32Codes_OurOwnWords_AJapaneseSentenceForTheUnknown) {
    const std::wstring denied = Status(ERROR_ACCESS_DENIED).Text();
    EXPECT_FALSE(denied.empty());
    EXPECT_NE(denied.back(), L'\n');
    EXPECT_EQ(Status(0x2000ABCD).Text(), L"エラーが発生しました (コード 0x2000ABCD)。");
    ::SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(Status::LastError().ok());  // a failed call that set no code still failed
}

TEST(Folders, MadeOneLevelAtATime_RemovedWithWhatTheyHoldButNothingReadOnlyIsForced) {
    TempFolder root;
    EXPECT_TRUE(MakeFolder(root / L"021231\\").ok());
    EXPECT_EQ(MakeFolder(root / L"021231").code(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(MakeFolder(root / L"missing\\021231").code(),
              static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    ASSERT_TRUE(MakeFolder(root / L"021231\\inner").ok());
    test::WriteFileBytes(root / L"021231\\inner\\x.jpg", "2");
    EXPECT_TRUE(FileExists(root / L"021231\\inner\\x.jpg"));
    EXPECT_FALSE(FileExists(root / L"021231"));
    EXPECT_FALSE(FolderExists(root / L"021231\\inner\\x.jpg"));
    EXPECT_TRUE(RemoveFolder(root / L"021231\\").ok());
    EXPECT_FALSE(FolderExists(root / L"021231"));

    ASSERT_TRUE(MakeFolder(root / L"030101").ok());
    test::WriteFileBytes(root / L"030101\\keep.bmp", "k");
    ::SetFileAttributesW((root / L"030101\\keep.bmp").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(RemoveFile(root / L"030101\\keep.bmp").ok());
    EXPECT_EQ(RemoveFolder(root / L"030101").code(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(test::ReadFileBytes(root / L"030101\\keep.bmp"), "k");
    EXPECT_FALSE(RemoveFolder(root / L"never").ok());
    EXPECT_EQ(RemoveFolder(root / L"030101\\keep.bmp").code(), static_cast<DWORD>(ERROR_DIRECTORY));
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

    // One temp file is still being written by a running store: it cannot go.
    UniqueFileHandle writing(::CreateFileW(ForFileCall(b).c_str(), GENERIC_WRITE, 0, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writing);
    test::WriteFileBytes(deep + L"trv0000BEEF.tmp", "left by a killed store");
    test::WriteFileBytes(deep + L"other.tmp", "not ours");
    RemoveStaleTempFiles(deep);
    EXPECT_EQ(test::ListFolder(deep),
              (Names{L"021231235959.bmp", L"other.tmp", b.substr(deep.size())}));
}

TEST(ListFolder, SubfoldersAndVisibleFilesApartMissingFolderFails) {
    TempFolder root;
    ASSERT_TRUE(MakeFolder(root / L"旅行").ok());
    test::WriteFileBytes(root / L"a.bmp", "a");
    test::WriteFileBytes(root / L"desktop.ini", "s");
    test::WriteFileBytes(root / L"thumbs.db", "h");
    ::SetFileAttributesW((root / L"desktop.ini").c_str(), FILE_ATTRIBUTE_SYSTEM);
    ::SetFileAttributesW((root / L"thumbs.db").c_str(), FILE_ATTRIBUTE_HIDDEN);
    Names names;
    ASSERT_TRUE(ListSubfolders(root.path(), &names).ok());
    EXPECT_EQ(names, Names{L"旅行"});
    // The separator after the folder is optional.
    ASSERT_TRUE(ListFiles(root.path().substr(0, root.path().size() - 1), &names).ok());
    EXPECT_EQ(names, Names{L"a.bmp"});

    names = {L"stale"};
    EXPECT_EQ(ListFiles(root / L"gone", &names).code(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(ListSubfolders(root / L"gone\\", &names).ok());
}
