// The alarm record a dropped sound file is played with: no real alarm, just the file, a symbol
// and visualizer picked at random, the time of the drop and the sound test's play count.
#pragma once

#include <cstdint>

#include "alarm/alarm_entry.h"
#include "platform/platform.h"

// Sets `playTimes` to `playCount` and ALARM_LOOP exactly when `playCount` is 0 (loop endlessly).
void applyPlayCount(AlarmEntry* entry, int32_t playCount);

// Fills `out` for the file at `path`: symbol `symbolRandom` mod 7, the oscilloscope when
// `modeRandom` is odd, else the spectrum, the time of `now` and `playCount` plays. False, with
// `out` untouched, when the path does not fit the record's file name.
bool soundTestEntry(const char16* path, int symbolRandom, int modeRandom, const SystemTime& now,
                    int32_t playCount, AlarmEntry* out);
