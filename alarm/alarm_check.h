// The alarm check the watch window's timer runs ten times a second, apart from ringing: each
// second of the clock is evaluated once, the alarms due then are handed over to ring, and the
// next alarm due is kept for the face. Seconds the check did not see because the program was
// stalled, or because the machine slept, are caught up within a bound; seconds the user jumped
// over by setting the clock are not.
#pragma once

#include <cstdint>

#include "alarm/alarm_entry.h"
#include "platform/platform.h"

struct AlarmList;

// A stalled program still rings alarms up to this many seconds late.
constexpr uint32_t STALL_CATCH_UP_SECONDS = 5 * 60;
// After the machine slept, alarms up to this many seconds late ring once at resume.
constexpr uint32_t RESUME_CATCH_UP_SECONDS = 10 * 60;

// The clocks at one tick: the local wall time, and the machine's running and suspended time.
struct ClockSample {
    SystemTime wall;
    uint64_t awakeMs;
    uint64_t sleptMs;
};

// What the check remembers between ticks: the last second handled and the clocks then. All zero
// before the first check.
struct AlarmCheckState {
    SystemTime lastHandled;
    uint64_t awakeMs;
    uint64_t sleptMs;
};

// How many seconds, ending with the second of `now`, a tick evaluates: 0 when that second was
// handled already; 1 on the first check, after an ordinary second and after the clock was set;
// more after a stall or a sleep, up to the catch-up bound plus the current second.
uint32_t secondsToEvaluate(const AlarmCheckState& state, const ClockSample& now);

// The copy of a due alarm that rings: never endlessly, and at least once.
AlarmEntry ringingCopy(const AlarmEntry& due);

using RingAlarmFn = void (*)(void* context, const AlarmEntry& alarm);

// One tick at `now`. For each second secondsToEvaluate names, oldest first, asks `list` for the
// alarm due (a one-shot one is disarmed and saved by that) and hands its ringing copy to
// `ring`; then rings the snoozes due. Then refreshes `*nextAlarm` with the alarm or snooze due
// next (all zero when none comes). Returns how many alarms rang. A null list has none.
uint32_t runAlarmCheck(AlarmList* list, const ClockSample& now, AlarmCheckState* state,
                       AlarmEntry* nextAlarm, RingAlarmFn ring, void* context);
