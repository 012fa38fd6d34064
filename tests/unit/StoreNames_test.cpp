#include "shell/StoreNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace trovell;

TEST(StoreRoot, OneSeparatorBetweenEveryLevel) {
    EXPECT_EQ(StoreRootPath(L"C:\\Tools\\Trovell", L"yamada"), L"C:\\Tools\\Trovell\\img\\yamada\\");
    EXPECT_EQ(StoreRootPath(L"C:\\Tools\\Trovell\\", L"yamada"),
              L"C:\\Tools\\Trovell\\img\\yamada\\");
}

TEST(StoreRoot, DriveRootIsNotDoubled) {
    EXPECT_EQ(StoreRootPath(L"D:\\", L"山田"), L"D:\\img\\山田\\");
    EXPECT_EQ(SettingsFilePath(L"D:\\"), L"D:\\trovell.ini");
    EXPECT_EQ(ImgFolderPath(L"D:\\"), L"D:\\img\\");
}

TEST(StoreRoot, EmptyUserNameLeavesTwoSeparators) {
    EXPECT_EQ(StoreRootPath(L"C:\\T", L""), L"C:\\T\\img\\\\");
}

TEST(StoreRoot, TheApplicationFolderIsTheExesFolder) {
    EXPECT_EQ(FolderOf(L"C:\\Tools\\Trovell\\trovell.exe"), L"C:\\Tools\\Trovell");
    EXPECT_EQ(FolderOf(L"C:\\trovell.exe"), L"C:\\");  // a drive root keeps its separator
    EXPECT_EQ(FolderOf(L"\\\\server\\share\\t.exe"), L"\\\\server\\share");
    EXPECT_EQ(FolderOf(L"Z:/tmp/t.exe"), L"Z:/tmp");
}

TEST(StoreRoot, ParentOfTheRootIsTheImgFolder) {
    EXPECT_EQ(ParentFolder(StoreRootPath(L"D:\\", L"山田")), L"D:\\img\\");
    EXPECT_EQ(ParentFolder(StoreRootPath(L"C:\\T", L"")), L"C:\\T\\img\\");
    EXPECT_EQ(ParentFolder(L"C:\\T\\a.bmp"), L"C:\\T\\");
    EXPECT_EQ(ParentFolder(L"a"), L"");
}

TEST(PictureNames, LastSecondOfTheYear) {
    LocalTime t{2002, 12, 31, 23, 59, 59};
    EXPECT_EQ(DayFolderName(t), L"021231");
    EXPECT_EQ(PictureBaseName(t), L"021231235959");
    EXPECT_EQ(PictureFileName(PictureBaseName(t), 1, L".bmp"), L"021231235959.bmp");
}

TEST(PictureNames, EveryFieldIsTwoDigits) {
    LocalTime t{2009, 1, 2, 3, 4, 5};
    EXPECT_EQ(PictureBaseName(t), L"090102030405");
    EXPECT_EQ(DayFolderName(LocalTime{2100, 5, 12}), L"000512");
}

TEST(PictureNames, LaterCandidatesCarryANumberBeforeTheExtension) {
    EXPECT_EQ(PictureFileName(L"021231235959", 2, L".jpg"), L"021231235959_2.jpg");
    EXPECT_EQ(PictureFileName(L"021231235959", 11, L".bmp"), L"021231235959_11.bmp");
}

TEST(FileOrder, BaseNameBeforeItsNumberedSiblingsAndOldestFirst) {
    std::vector<std::wstring> names = {L"021231235959_2.bmp", L"030101000000.BMP",
                                       L"021231235959.bmp", L"021231235958.jpg"};
    std::sort(names.begin(), names.end(),
              [](auto& a, auto& b) { return CompareFileNames(a, b) < 0; });
    std::vector<std::wstring> expected = {L"021231235958.jpg", L"021231235959.bmp",
                                          L"021231235959_2.bmp", L"030101000000.BMP"};
    EXPECT_EQ(names, expected);
}

TEST(FileOrder, LettersCompareWithoutCase) {
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
