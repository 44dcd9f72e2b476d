// One alarm: a time of day with weekdays, a symbol, a sound file and a play count. A plain
// record, copied by value between the list, the scheduler, the dialog and the popups.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "util/file_util.h"

constexpr uint32_t ALARM_ENABLED = 1; // armed
constexpr uint32_t ALARM_REPEAT = 2;  // stays armed after it fired; without it the alarm fires once
constexpr uint32_t ALARM_LOOP = 4;    // play the sound endlessly

// Weekday bits of `days`; a mask of 0 means every day.
constexpr uint32_t DAY_MONDAY = 1u << 0;
constexpr uint32_t DAY_TUESDAY = 1u << 1;
constexpr uint32_t DAY_WEDNESDAY = 1u << 2;
constexpr uint32_t DAY_THURSDAY = 1u << 3;
constexpr uint32_t DAY_FRIDAY = 1u << 4;
constexpr uint32_t DAY_SATURDAY = 1u << 5;
constexpr uint32_t DAY_SUNDAY = 1u << 6;

// Popup visualizer modes kept in `visualMode`.
constexpr int32_t VISUAL_SPECTRUM = 0;
constexpr int32_t VISUAL_OSCILLOSCOPE = 3;

struct AlarmEntry {
    uint32_t flags;     // ALARM_ENABLED | ALARM_REPEAT | ALARM_LOOP
    uint32_t symbol;    // 0..6 shows ImageTable slot 45 + symbol; 7 and above show nothing
    uint32_t days;      // DAY_* bits; 0 = every day
    uint32_t hour;      // 0..23
    uint32_t minute;    // 0..59
    uint32_t second;    // 0..59
    uint32_t playTimes; // plays in a row; 0 counts as 1 when the alarm fires
    int32_t visualMode; // popup visualizer mode; 0 in every stored alarm
    uint32_t dueOffset; // findNext's working field: seconds from the start of today
    char16 soundFile[PATH_UNITS]; // relative to the program folder when inside it, else full
};
