#include "shell/SettingsRules.h"

#include <gtest/gtest.h>

using namespace trovell;

TEST(SettingValue, PlainAndBlankSurroundedNumbers) {
    EXPECT_EQ(ParseSettingValue(L"1"), 1);
    EXPECT_EQ(ParseSettingValue(L"  1  "), 1);
    EXPECT_EQ(ParseSettingValue(L"\t0"), 0);
    EXPECT_EQ(ParseSettingValue(L"+2"), 2);
    EXPECT_EQ(ParseSettingValue(L"-7"), -7);
}

TEST(SettingValue, FractionsRoundHalfToEven) {
    EXPECT_EQ(ParseSettingValue(L"0.5"), 0);
    EXPECT_EQ(ParseSettingValue(L"1.5"), 2);
    EXPECT_EQ(ParseSettingValue(L"2.5"), 2);
    EXPECT_EQ(ParseSettingValue(L"2.51"), 3);
    EXPECT_EQ(ParseSettingValue(L"-1.5"), -2);
    EXPECT_EQ(ParseSettingValue(L".5"), 0);
    EXPECT_EQ(ParseSettingValue(L"1e1"), 10);
}

TEST(SettingValue, SixteenBitRangeIsTheLimit) {
    EXPECT_EQ(ParseSettingValue(L"32767"), 32767);
    EXPECT_EQ(ParseSettingValue(L"-32768"), -32768);
    EXPECT_EQ(ParseSettingValue(L"32767.4"), 32767);
    EXPECT_EQ(ParseSettingValue(L"32767.5"), std::nullopt);
    EXPECT_EQ(ParseSettingValue(L"32768"), std::nullopt);
    EXPECT_EQ(ParseSettingValue(L"-32769"), std::nullopt);
    EXPECT_EQ(ParseSettingValue(L"1e10"), std::nullopt);
}

TEST(SettingValue, AnythingButANumberIsAnError) {
    for (const wchar_t* bad : {L"", L"  ", L"abc", L"1a", L"1 1", L"0x10", L"inf", L"nan", L"-",
                               L".", L"1e", L"１", L"1,000"}) {
        EXPECT_EQ(ParseSettingValue(bad), std::nullopt) << "accepted: " << bad;
    }
}

TEST(SettingValue, WrittenAsDecimalDigits) {
    EXPECT_EQ(SettingText(0), L"0");
    EXPECT_EQ(SettingText(2), L"2");
    EXPECT_EQ(SettingText(-32768), L"-32768");
}
