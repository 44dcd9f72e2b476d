// Weekday of a date by Zeller's congruence.
#include "util/day_of_week.h"

uint32_t dayOfWeek(uint32_t year, uint32_t month, uint32_t day) {
    // January and February count as months 13 and 14 of the year before.
    if (month <= 2) {
        year -= 1;
        month += 12;
    }
    uint32_t k = year % 100;
    uint32_t j = year / 100;
    uint32_t h = (day + (26 * (month + 1)) / 10 + k + k / 4 + j / 4 + 5 * j) % 7;
    // Zeller counts from Saturday.
    static const uint32_t fromSaturday[7] = {6, 0, 1, 2, 3, 4, 5};
    return fromSaturday[h];
}
