#include "alarm/alarm_check.h"

#include "alarm/alarm_list.h"
#include "alarm/wall_clock.h"

namespace {

// Suspended time below this is clock jitter between the two uptime counters, not a sleep.
constexpr uint64_t SLEEP_NOTICED_MS = 1000;
// Whole seconds read at different points of a second differ from the true interval by up to a
// second either way; anything further apart than this is the wall clock being set.
constexpr int64_t PACE_TOLERANCE_MS = 2000;

uint64_t elapsed(uint64_t before, uint64_t after) {
    return after > before ? after - before : 0;
}

// The skipped seconds up to `bound` seconds late, plus the current one.
uint32_t catchUp(int64_t gap, uint32_t bound) {
    return gap > int64_t(bound) ? bound + 1 : static_cast<uint32_t>(gap);
}

void remember(AlarmCheckState* state, const ClockSample& now) {
    state->lastHandled = now.wall;
    state->awakeMs = now.awakeMs;
    state->sleptMs = now.sleptMs;
}

// The alarm or snooze due next (all zero when none comes); of the two due together, the alarm.
AlarmEntry nextDue(AlarmList* list, const SystemTime& now) {
    AlarmEntry alarm = {}, snooze = {};
    bool hasAlarm = list && list->count > 0 && list->findNext(now, &alarm);
    bool hasSnooze = list && list->nextSnooze(now, &snooze);
    if (hasSnooze && (!hasAlarm || snooze.dueOffset < alarm.dueOffset)) return snooze;
    return hasAlarm ? alarm : AlarmEntry{};
}

} // namespace

uint32_t secondsToEvaluate(const AlarmCheckState& state, const ClockSample& now) {
    // A clock never reads year 0, so the zeroed state of a fresh start matches no second; an
    // alarm due in the very second the program starts still rings.
    if (state.lastHandled.year == 0) return 1;
    int64_t gap = wallSeconds(now.wall) - wallSeconds(state.lastHandled);
    if (gap == 0) return 0;
    // Set back: the second shown now is evaluated again, nothing in between.
    if (gap < 0) return 1;
    if (elapsed(state.sleptMs, now.sleptMs) >= SLEEP_NOTICED_MS)
        return catchUp(gap, RESUME_CATCH_UP_SECONDS);
    int64_t ranMs = static_cast<int64_t>(elapsed(state.awakeMs, now.awakeMs));
    int64_t driftMs = gap * 1000 - ranMs;
    // Set forward: the wall clock moved further than time passed; the user skipped those seconds.
    if (driftMs > PACE_TOLERANCE_MS || driftMs < -PACE_TOLERANCE_MS) return 1;
    return catchUp(gap, STALL_CATCH_UP_SECONDS);
}

AlarmEntry ringingCopy(const AlarmEntry& due) {
    AlarmEntry copy = due;
    copy.flags &= ~ALARM_LOOP;
    if (copy.playTimes == 0) copy.playTimes = 1;
    return copy;
}

uint32_t runAlarmCheck(AlarmList* list, const ClockSample& now, AlarmCheckState* state,
                       AlarmEntry* nextAlarm, RingAlarmFn ring, void* context) {
    uint32_t count = secondsToEvaluate(*state, now);
    if (count == 0) return 0;
    // Remembered first: a ringing popup may run a message loop that ticks the check again.
    remember(state, now);
    int64_t current = wallSeconds(now.wall);
    uint32_t rang = 0;
    for (uint32_t back = count; back-- > 0;) {
        SystemTime second = back == 0 ? now.wall : wallTimeAt(current - back);
        AlarmEntry due = {};
        if (!list || !list->matchNow(second, &due)) continue;
        ring(context, ringingCopy(due));
        ++rang;
    }
    AlarmEntry snoozed = {};
    while (list && list->takeDueSnooze(now.wall, &snoozed)) {
        ring(context, ringingCopy(snoozed));
        ++rang;
    }
    // Asked after the match, so a one-shot alarm that has just rung is no longer the next one.
    *nextAlarm = nextDue(list, now.wall);
    return rang;
}
