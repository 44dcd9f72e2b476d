#include "alarm/alarm_check.h"

#include "alarm/alarm_list.h"

namespace {

// Suspended time below this is clock jitter between the two uptime counters, not a sleep.
constexpr uint64_t SLEEP_NOTICED_MS = 1000;
// Whole seconds read at different points of a second differ from the true interval by up to a
// second either way; anything further apart than this is the wall clock being set.
constexpr int64_t PACE_TOLERANCE_MS = 2000;
constexpr int64_t SECONDS_PER_DAY = 86400;

// Days from 1 January 1970 to the given date of the proleptic Gregorian calendar.
int64_t daysFromCivil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2 ? 1 : 0;
    int64_t era = (year >= 0 ? year : year - 399) / 400;
    int64_t yearOfEra = year - era * 400;
    int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The local wall time as one count of seconds, so that gaps across midnight and month ends are
// plain differences.
int64_t wallSeconds(const SystemTime& t) {
    return daysFromCivil(t.year, t.month, t.day) * SECONDS_PER_DAY + t.hour * 3600 + t.minute * 60 +
           t.second;
}

// The wall time of a count of wallSeconds.
SystemTime wallTimeAt(int64_t seconds) {
    int64_t days = seconds / SECONDS_PER_DAY;
    int64_t ofDay = seconds % SECONDS_PER_DAY;
    if (ofDay < 0) {
        ofDay += SECONDS_PER_DAY;
        --days;
    }
    int64_t z = days + 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t dayOfEra = z - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    int64_t month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    SystemTime t = {};
    t.year = static_cast<uint16_t>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    t.month = static_cast<uint16_t>(month);
    t.day = static_cast<uint16_t>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    t.dayOfWeek = static_cast<uint16_t>(((days % 7) + 11) % 7); // 1 January 1970 was a Thursday
    t.hour = static_cast<uint16_t>(ofDay / 3600);
    t.minute = static_cast<uint16_t>(ofDay / 60 % 60);
    t.second = static_cast<uint16_t>(ofDay % 60);
    return t;
}

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
    // Asked after the match, so a one-shot alarm that has just rung is no longer the next one.
    if (!list || list->count == 0 || !list->findNext(now.wall, nextAlarm))
        *nextAlarm = AlarmEntry{};
    return rang;
}
