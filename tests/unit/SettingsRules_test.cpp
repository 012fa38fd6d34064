#include "shell/SettingsRules.h"

#include <gtest/gtest.h>

using namespace trovell;

TEST(SettingValue, BlanksAroundAFractionRoundedHalfToEvenWithinSixteenBits_AllElseAnError) {
    constexpr std::nullopt_t kError = std::nullopt;
    // clang-format off
    const std::pair<const wchar_t*, std::optional<int16_t>> cases[] = {
        {L"1", 1},           {L"  1  ", 1},       {L"\t0", 0},           {L"+2", 2},
        {L"-7", -7},         {L"0.5", 0},         {L"1.5", 2},           {L"2.5", 2},
        {L"2.51", 3},        {L"-1.5", -2},       {L".5", 0},            {L"1e1", 10},
        {L"32767", 32767},   {L"-32768", -32768}, {L"32767.4", 32767},   {L"32767.5", kError},
        {L"32768", kError},  {L"-32769", kError}, {L"1e10", kError},     {L"", kError},
        {L"  ", kError},     {L"abc", kError},    {L"1a", kError},       {L"1 1", kError},
        {L"0x10", kError},   {L"inf", kError},    {L"nan", kError},      {L"-", kError},
        {L".", kError},      {L"1e", kError},     {L"１", kError},       {L"1,000", kError},
    };
    // clang-format on
    for (const auto& [text, value] : cases) EXPECT_EQ(ParseSettingValue(text), value) << text;
}

TEST(SettingValue, WrittenAsDecimalDigits) {
    EXPECT_EQ(SettingText(2), L"2");
    EXPECT_EQ(SettingText(-32768), L"-32768");
}
