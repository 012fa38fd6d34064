#include "platform/LocalTime.h"

#include <gtest/gtest.h>

using namespace trovell;

TEST(DateTimeText, FourDigitYearTwoDigitFieldsTwentyFourHours) {
    EXPECT_EQ(DateTimeText({2005, 1, 31, 14, 5, 9}), L"2005/01/31 14:05:09");
    EXPECT_EQ(DateTimeText({1999, 12, 1, 0, 0, 0}), L"1999/12/01 00:00:00");
}
