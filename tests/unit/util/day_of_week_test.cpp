#include "util/day_of_week.h"

#include <gtest/gtest.h>

namespace {

TEST(DayOfWeek, KnownDates) {
    struct Case {
        uint32_t year, month, day, weekday;
    };
    const Case cases[] = {
        {2000, 3, 1, 3}, {2000, 2, 29, 2}, {2026, 1, 1, 4}, {2026, 12, 7, 1}, {1900, 3, 1, 4},
        {1600, 1, 1, 6}, {2400, 2, 29, 2}, {2026, 3, 7, 6}, {1, 1, 1, 1},     {9999, 12, 31, 5},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dayOfWeek(c.year, c.month, c.day), c.weekday)
            << c.year << "-" << c.month << "-" << c.day;
    }
}

bool isLeap(uint32_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

TEST(DayOfWeek, EveryDayFollowsTheOneBefore) {
    static const uint32_t monthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    uint32_t previous = dayOfWeek(1599, 12, 31);
    for (uint32_t year = 1600; year <= 2400; ++year) {
        for (uint32_t month = 1; month <= 12; ++month) {
            uint32_t days = monthDays[month - 1] + (month == 2 && isLeap(year) ? 1 : 0);
            for (uint32_t day = 1; day <= days; ++day) {
                uint32_t weekday = dayOfWeek(year, month, day);
                ASSERT_EQ(weekday, (previous + 1) % 7) << year << "-" << month << "-" << day;
                previous = weekday;
            }
        }
    }
}

} // namespace
