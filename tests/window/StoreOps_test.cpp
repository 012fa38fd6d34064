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

// Their trv*.tmp names in the folder they were made for are seen end to end, during a store.
TEST(TempFiles, UniqueNamesAnyPathLength_StaleOnesGoButAnOpenOneStays) {
    TempFolder root;
    // Well past MAX_PATH, as an application folder deep in a user's documents can be.
    const std::wstring deep = test::DeepFolder(root, 320);
    ASSERT_FALSE(deep.empty());
    std::wstring a, b;
    ASSERT_TRUE(CreateTempFileIn(deep, &a).ok());
    ASSERT_TRUE(CreateTempFileIn(deep, &b).ok());
    EXPECT_NE(a, b);
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
