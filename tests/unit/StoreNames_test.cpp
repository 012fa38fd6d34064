#include "shell/StoreNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace trovell;

TEST(StoreRoot, OneSeparatorPerLevelDriveRootsNotDoubled_AppFolderIsTheExesImgTheRootsParent) {
    for (const wchar_t* app : {L"C:\\Tools\\Trovell", L"C:\\Tools\\Trovell\\"})
        EXPECT_EQ(StoreRootPath(app, L"yamada"), L"C:\\Tools\\Trovell\\img\\yamada\\") << app;
    EXPECT_EQ(StoreRootPath(L"D:\\", L"山田"), L"D:\\img\\山田\\");
    EXPECT_EQ(StoreRootPath(L"C:\\T", L""), L"C:\\T\\img\\\\");  // an empty user name
    EXPECT_EQ(SettingsFilePath(L"D:\\"), L"D:\\trovell.ini");
    EXPECT_EQ(ImgFolderPath(L"D:\\"), L"D:\\img\\");
    EXPECT_EQ(FolderOf(L"C:\\Tools\\Trovell\\trovell.exe"), L"C:\\Tools\\Trovell");
    EXPECT_EQ(FolderOf(L"C:\\trovell.exe"), L"C:\\");  // a drive root keeps its separator
    EXPECT_EQ(FolderOf(L"\\\\server\\share\\t.exe"), L"\\\\server\\share");
    EXPECT_EQ(FolderOf(L"Z:/tmp/t.exe"), L"Z:/tmp");
    EXPECT_EQ(ParentFolder(L"D:\\img\\山田\\"), L"D:\\img\\");
    EXPECT_EQ(ParentFolder(L"C:\\T\\img\\\\"), L"C:\\T\\img\\");
    EXPECT_EQ(ParentFolder(L"C:\\T\\a.bmp"), L"C:\\T\\");
    EXPECT_EQ(ParentFolder(L"a"), L"");
}

// Names at the last second of 2002 and their numbered siblings are what the store's window
// tests find on disk.
TEST(PictureNames, TwoDigitFieldsAndANumberBeforeTheExtensionOfLaterCandidates) {
    EXPECT_EQ(PictureBaseName(LocalTime{2009, 1, 2, 3, 4, 5}), L"090102030405");
    EXPECT_EQ(DayFolderName(LocalTime{2100, 5, 12}), L"000512");
    EXPECT_EQ(PictureFileName(L"021231235959", 11, L".bmp"), L"021231235959_11.bmp");
}

TEST(FileOrder, BaseNameBeforeItsNumberedSiblingsOldestFirstLettersWithoutCase) {
    std::vector<std::wstring> names = {L"021231235959_2.bmp", L"030101000000.BMP",
                                       L"021231235959.bmp", L"021231235958.jpg"};
    std::sort(names.begin(), names.end(),
              [](auto& a, auto& b) { return CompareFileNames(a, b) < 0; });
    EXPECT_EQ(names, (std::vector<std::wstring>{L"021231235958.jpg", L"021231235959.bmp",
                                                L"021231235959_2.bmp", L"030101000000.BMP"}));
    EXPECT_EQ(CompareFileNames(L"abc.BMP", L"ABC.bmp"), 0);
    EXPECT_LT(CompareFileNames(L"a", L"B"), 0);
    EXPECT_LT(CompareFileNames(L"ab", L"abc"), 0);
}

TEST(InstanceName, SameExeAndUserGiveOneName) {
    auto a = InstanceMutexName(L"山田", L"C:\\Tools\\trovell.exe");
    EXPECT_EQ(a, InstanceMutexName(L"山田", L"c:\\tools\\TROVELL.EXE"));
    EXPECT_NE(a, InstanceMutexName(L"鈴木", L"C:\\Tools\\trovell.exe"));
    EXPECT_NE(a, InstanceMutexName(L"山田", L"C:\\Other\\trovell.exe"));
    EXPECT_EQ(a.rfind(L"Local\\", 0), 0u);
    EXPECT_EQ(a.find(L'\\', 6), std::wstring::npos);
}
