// The two settings against the real profile functions, in a throwaway application folder.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "shell/Settings_win.h"

using namespace trovell;
using trovell::test::TempFolder;

namespace {
Session SessionIn(const TempFolder& folder, const std::wstring& user) {
    Session s;
    s.appFolder = folder.path();
    s.CurrentUserName = user;
    return s;
}
}  // namespace

TEST(Settings, FirstRunStartsAtZeroAndTheFirstExitWritesTheSection) {
    TempFolder app;
    Session s = SessionIn(app, L"yamada");
    EXPECT_TRUE(SettingsLoad(s));
    EXPECT_EQ(s.SaveFormat, 0);
    EXPECT_EQ(s.SaveMethod, 0);
    EXPECT_FALSE(test::PathExists(app / L"trovell.ini"));

    EXPECT_TRUE(SettingsSave(s));
    EXPECT_EQ(test::ReadFileBytes(app / L"trovell.ini"), "[yamada]\r\nSAVE=0\r\nCAPC=0\r\n");
}

TEST(Settings, ValuesWithBlanksAndFractionsAreNumbers) {
    TempFolder app;
    test::WriteFileBytes(app / L"trovell.ini", "[yamada]\r\nSAVE=  1  \r\nCAPC=0.5\r\n");
    Session s = SessionIn(app, L"yamada");
    EXPECT_TRUE(SettingsLoad(s));
    EXPECT_EQ(s.SaveFormat, 1);
    EXPECT_EQ(s.SaveMethod, 0);
}

TEST(Settings, ANonNumberStopsTheLoadAndTheNextExitReplacesIt) {
    TempFolder app;
    test::WriteFileBytes(app / L"trovell.ini", "[yamada]\r\nSAVE=abc\r\nCAPC=1\r\n");
    Session s = SessionIn(app, L"yamada");
    EXPECT_FALSE(SettingsLoad(s));
    EXPECT_EQ(s.SaveFormat, 0);
    EXPECT_EQ(s.SaveMethod, 0);  // never read

    EXPECT_TRUE(SettingsSave(s));
    EXPECT_EQ(test::ReadFileBytes(app / L"trovell.ini"), "[yamada]\r\nSAVE=0\r\nCAPC=0\r\n");
}

TEST(Settings, OutOfRangeValuesAreKeptAndWrittenBack) {
    TempFolder app;
    test::WriteFileBytes(app / L"trovell.ini", "[yamada]\r\nSAVE=2\r\nCAPC=-3\r\n");
    Session s = SessionIn(app, L"yamada");
    EXPECT_TRUE(SettingsLoad(s));
    EXPECT_EQ(s.SaveFormat, 2);
    EXPECT_EQ(s.SaveMethod, -3);
    EXPECT_TRUE(SettingsSave(s));
    EXPECT_EQ(test::ReadFileBytes(app / L"trovell.ini"), "[yamada]\r\nSAVE=2\r\nCAPC=-3\r\n");
}

TEST(Settings, TooLargeForSixteenBitsIsAnError) {
    TempFolder app;
    test::WriteFileBytes(app / L"trovell.ini", "[yamada]\r\nSAVE=1\r\nCAPC=40000\r\n");
    Session s = SessionIn(app, L"yamada");
    EXPECT_FALSE(SettingsLoad(s));
    EXPECT_EQ(s.SaveFormat, 1);  // read before the error
    EXPECT_EQ(s.SaveMethod, 0);
}

TEST(Settings, JapaneseUserSectionTravelsInCodePage932) {
    TempFolder app;
    Session s = SessionIn(app, L"山田");
    s.SaveFormat = 1;
    s.SaveMethod = 1;
    EXPECT_TRUE(SettingsSave(s));
    // 山 is 8E 52 and 田 is 93 63 in Shift-JIS.
    EXPECT_EQ(test::ReadFileBytes(app / L"trovell.ini"),
              "[\x8e\x52\x93\x63]\r\nSAVE=1\r\nCAPC=1\r\n");

    Session again = SessionIn(app, L"山田");
    EXPECT_TRUE(SettingsLoad(again));
    EXPECT_EQ(again.SaveFormat, 1);
    EXPECT_EQ(again.SaveMethod, 1);
}

TEST(Settings, TwoUsersShareOneFileEachWithTheirOwnChoices) {
    TempFolder app;
    Session a = SessionIn(app, L"山田");
    a.SaveFormat = 1;
    Session b = SessionIn(app, L"suzuki");
    b.SaveMethod = 1;
    EXPECT_TRUE(SettingsSave(a));
    EXPECT_TRUE(SettingsSave(b));
    a.SaveMethod = 1;  // a second save of the same user replaces, never duplicates
    EXPECT_TRUE(SettingsSave(a));

    Session a2 = SessionIn(app, L"山田"), b2 = SessionIn(app, L"suzuki");
    EXPECT_TRUE(SettingsLoad(a2));
    EXPECT_TRUE(SettingsLoad(b2));
    EXPECT_EQ(a2.SaveFormat, 1);
    EXPECT_EQ(a2.SaveMethod, 1);
    EXPECT_EQ(b2.SaveFormat, 0);
    EXPECT_EQ(b2.SaveMethod, 1);
    EXPECT_EQ(test::ReadFileBytes(app / L"trovell.ini"),
              "[\x8e\x52\x93\x63]\r\nSAVE=1\r\nCAPC=1\r\n[suzuki]\r\nSAVE=0\r\nCAPC=1\r\n");
}
