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

TEST(Settings, LoadReadsNumbersStopsAtTheFirstNonNumberAndKeepsOutOfRangeValues) {
    struct Case {
        const char* file;
        bool loaded;
        int16_t format, method;
    } cases[] = {
        {nullptr, true, 0, 0},                         // first run
        {"SAVE=  1  \r\nCAPC=0.5\r\n", true, 1, 0},  // blanks and fractions are numbers
        {"SAVE=abc\r\nCAPC=1\r\n", false, 0, 0},      // stops: CAPC never read
        {"SAVE=1\r\nCAPC=40000\r\n", false, 1, 0},    // too large for 16 bits
        {"SAVE=2\r\nCAPC=-3\r\n", true, 2, -3},       // kept as they are
    };
    for (const Case& c : cases) {
        TempFolder app;
        if (c.file) test::WriteFileBytes(app / L"trovell.ini", std::string("[yamada]\r\n") + c.file);
        Session s = SessionIn(app, L"yamada");
        EXPECT_EQ(SettingsLoad(s), c.loaded) << (c.file ? c.file : "none");
        EXPECT_EQ(s.SaveFormat, c.format) << (c.file ? c.file : "none");
        EXPECT_EQ(s.SaveMethod, c.method) << (c.file ? c.file : "none");
        // What was loaded is what is written back.
        EXPECT_TRUE(SettingsSave(s).ok());
        EXPECT_EQ(test::ReadFileBytes(app / L"trovell.ini"),
                  "[yamada]\r\nSAVE=" + std::to_string(c.format) +
                      "\r\nCAPC=" + std::to_string(c.method) + "\r\n");
    }
}

TEST(Settings, TwoUsersShareOneFileInCodePage932EachWithTheirOwnChoices) {
    TempFolder app;
    Session a = SessionIn(app, L"山田");
    a.SaveFormat = 1;
    Session b = SessionIn(app, L"suzuki");
    b.SaveMethod = 1;
    EXPECT_TRUE(SettingsSave(a).ok());
    EXPECT_TRUE(SettingsSave(b).ok());
    a.SaveMethod = 1;  // a second save of the same user replaces, never duplicates
    EXPECT_TRUE(SettingsSave(a).ok());

    Session a2 = SessionIn(app, L"山田"), b2 = SessionIn(app, L"suzuki");
    EXPECT_TRUE(SettingsLoad(a2));
    EXPECT_TRUE(SettingsLoad(b2));
    EXPECT_EQ(a2.SaveFormat, 1);
    EXPECT_EQ(a2.SaveMethod, 1);
    EXPECT_EQ(b2.SaveFormat, 0);
    EXPECT_EQ(b2.SaveMethod, 1);
    // 山 is 8E 52 and 田 is 93 63 in Shift-JIS.
    EXPECT_EQ(test::ReadFileBytes(app / L"trovell.ini"),
              "[\x8e\x52\x93\x63]\r\nSAVE=1\r\nCAPC=1\r\n[suzuki]\r\nSAVE=0\r\nCAPC=1\r\n");
}

TEST(Settings, AFileBeyondTheProfilePathLimitIsReportedNotSilentlyLost) {
    Session s;
    s.appFolder = L"C:\\" + std::wstring(MAX_PATH, L'a');
    s.CurrentUserName = L"yamada";
    EXPECT_EQ(SettingsSave(s).code(), kErrorPathTooLong);
}
