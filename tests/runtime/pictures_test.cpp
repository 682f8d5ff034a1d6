#include <gtest/gtest.h>

#include "runtime/datetime/Pictures.h"

using namespace verdo;

// The tests run in the "C" locale: short date mm/dd/yy, time hh:mm:ss.

TEST(Pictures, DatesInTheShortForm) {
    const Date d{4, 3, 2024};
    EXPECT_EQ(FormatDate(d, "@d17"), "03/04/24");
    EXPECT_EQ(FormatDate(d, "@D17"), "03/04/24");
    EXPECT_EQ(FormatDate(d, "@D17B"), "03/04/24");
    EXPECT_EQ(FormatDate(Date{}, "@D17B"), "");
    EXPECT_EQ(FormatDate(Date{}, "@d17"), "");
    EXPECT_EQ(FormatDate(Date{30, 2, 2024}, "@d17"), "");
    EXPECT_EQ(FormatDate(Date{29, 2, 2024}, "@d17"), "02/29/24");
    EXPECT_EQ(FormatDate(d, "@d6"), "");
    EXPECT_EQ(FormatDate(d, "@T8"), "");
}

TEST(Pictures, TimesWithAndWithoutSeconds) {
    const Time t{5, 6, 7, 99};
    EXPECT_EQ(FormatTime(t, "@T8"), "05:06:07");
    EXPECT_EQ(FormatTime(t, "@T7B"), "05:06");
    EXPECT_EQ(FormatTime(Time{}, "@T7"), "00:00");
    EXPECT_EQ(FormatTime(Time{}, "@T7B"), "");
    EXPECT_EQ(FormatTime(Time{}, "@T8B"), "");
    EXPECT_EQ(FormatTime(Time{24, 0, 0, 0}, "@T8"), "");
    EXPECT_EQ(FormatTime(t, "@T7X"), "");
    EXPECT_EQ(FormatTime(t, "@d17"), "");
}
