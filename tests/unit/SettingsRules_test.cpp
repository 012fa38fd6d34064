#include "shell/SettingsRules.h"

#include <gtest/gtest.h>

using namespace trovell;

TEST(SettingValue, BlanksAroundAFractionRoundedHalfToEvenWithinSixteenBits) {
    constexpr std::nullopt_t kError = std::nullopt;
    // clang-format off
    const std::pair<const wchar_t*, std::optional<int16_t>> cases[] = {
        {L"1", 1},           {L"  1  ", 1},       {L"\t0", 0},           {L"+2", 2},
        {L"-7", -7},         {L"0.5", 0},         {L"1.5", 2},           {L"2.5", 2},
        {L"2.51", 3},        {L"-1.5", -2},       {L".5", 0},            {L"1e1", 10},
        {L"32767", 32767},   {L"-32768", -32768}, {L"32767.4", 32767},   {L"32767.5", kError},
        {L"32768", kError},  {L"-32769", kError}, {L"1e10", kError},
    };
    // clang-format on
    for (const auto& [text, value] : cases) EXPECT_EQ(ParseSettingValue(text), value) << text;
}

TEST(SettingValue, AnythingButANumberIsAnError) {
    for (const wchar_t* bad : {L"", L"  ", L"abc", L"1a", L"1 1", L"0x10", L"inf", L"nan", L"-",
                               L".", L"1e", L"１", L"1,000"})
        EXPECT_EQ(ParseSettingValue(bad), std::nullopt) << "accepted: " << bad;
}

TEST(SettingValue, WrittenAsDecimalDigits) {
    EXPECT_EQ(SettingText(2), L"2");
    EXPECT_EQ(SettingText(-32768), L"-32768");
}
