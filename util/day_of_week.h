// Weekday of a calendar date, shared by the watch face and the alarm list's weekly repeats.
#pragma once

#include <cstdint>

// Weekday of a Gregorian date, 0 = Sunday .. 6 = Saturday.
uint32_t dayOfWeek(uint32_t year, uint32_t month, uint32_t day);
