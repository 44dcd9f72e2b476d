// The local wall time as one count of seconds, so that gaps across midnight and month ends are
// plain differences, and back.
#pragma once

#include <cstdint>

#include "platform/platform.h"

constexpr int64_t SECONDS_PER_DAY = 86400;

// Seconds from 1 January 1970, 0:00:00 local time, to `t` (milliseconds left out).
int64_t wallSeconds(const SystemTime& t);
// The wall time of a count of wallSeconds, its weekday included.
SystemTime wallTimeAt(int64_t seconds);
// True when `t` names a time a clock can show: a real date and a time of day.
bool isWallTime(const SystemTime& t);
