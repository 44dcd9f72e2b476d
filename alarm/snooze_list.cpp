// Snoozed alarms waiting to ring again: kept beside the alarm list, in Alarm.xml, so that a
// snooze outlives a restart of the program.
#include <cstring>

#include "alarm/alarm_list.h"
#include "alarm/wall_clock.h"
#include "util/debug_log.h"

namespace {

uint32_t playsOf(const AlarmEntry& entry) {
    return entry.playTimes == 0 ? 1 : entry.playTimes;
}

// The snoozed copy against an alarm of the list: the same alarm whatever its arming, and the
// loop and the zero play count the ringing copy leaves out.
bool isSameAlarm(const AlarmEntry& snoozed, const AlarmEntry& listed) {
    return snoozed.symbol == listed.symbol && snoozed.days == listed.days &&
           snoozed.hour == listed.hour && snoozed.minute == listed.minute &&
           snoozed.second == listed.second && playsOf(snoozed) == playsOf(listed) &&
           (snoozed.flags & ALARM_REPEAT) == (listed.flags & ALARM_REPEAT) &&
           memcmp(snoozed.soundFile, listed.soundFile, sizeof listed.soundFile) == 0;
}

// What the alarms of `list` say of a snoozed alarm: whether one is there, and whether one of
// them is armed.
struct AlarmPresence {
    bool found;
    bool armed;
};

AlarmPresence presenceIn(const AlarmEntry* list, uint32_t count, const AlarmEntry& snoozed) {
    AlarmPresence p = {false, false};
    for (uint32_t i = 0; i < count; ++i) {
        if (!isSameAlarm(snoozed, list[i])) continue;
        p.found = true;
        p.armed = p.armed || (list[i].flags & ALARM_ENABLED) != 0;
    }
    return p;
}

// Seconds the snooze lies ahead of `now`, negative once due. One further ahead than any snooze
// time can make was made before the clock was set back: it is due now.
int64_t secondsAhead(const PendingSnooze& snooze, const SystemTime& now) {
    int64_t ahead = wallSeconds(snooze.due) - wallSeconds(now);
    return ahead > SNOOZE_LONGEST_SECONDS ? 0 : ahead;
}

} // namespace

bool AlarmList::addSnooze(const AlarmEntry& alarm, const SystemTime& due) {
    if (snoozeCount >= SNOOZE_LIMIT) {
        debugLog("snooze refused: %u snoozes wait already", snoozeCount);
        return false;
    }
    PendingSnooze& added = snoozes[snoozeCount++];
    added.alarm = alarm;
    added.alarm.dueOffset = 0;
    added.due = due;
    return true;
}

bool AlarmList::takeDueSnooze(const SystemTime& now, AlarmEntry* out) {
    bool found = false;
    bool dropped = false;
    for (uint32_t i = 0; i < snoozeCount && !found;) {
        int64_t ahead = secondsAhead(snoozes[i], now);
        if (ahead > 0) {
            ++i;
            continue;
        }
        found = ahead >= -SNOOZE_LATE_SECONDS;
        if (found) *out = snoozes[i].alarm;
        dropped = dropped || !found;
        memmove(&snoozes[i], &snoozes[i + 1], (snoozeCount - i - 1) * sizeof(PendingSnooze));
        --snoozeCount;
    }
    if (dropped) debugLog("snoozes missed while the program was not running were dropped");
    if (found || dropped) save();
    return found;
}

bool AlarmList::nextSnooze(const SystemTime& now, AlarmEntry* out) const {
    const PendingSnooze* next = nullptr;
    int64_t nextAhead = 0;
    for (uint32_t i = 0; i < snoozeCount; ++i) {
        int64_t ahead = secondsAhead(snoozes[i], now);
        if (next && ahead >= nextAhead) continue;
        next = &snoozes[i];
        nextAhead = ahead;
    }
    if (!next) return false;
    *out = next->alarm;
    out->flags |= ALARM_ENABLED;
    int64_t sinceMidnight = now.hour * 3600 + now.minute * 60 + now.second;
    int64_t offset = sinceMidnight + (nextAhead > 0 ? nextAhead : 0);
    out->dueOffset = static_cast<uint32_t>(offset);
    return true;
}

void AlarmList::dropSnoozesOfChangedAlarms(const AlarmEntry* rows, uint32_t rowCount) {
    uint32_t kept = 0;
    for (uint32_t i = 0; i < snoozeCount; ++i) {
        const AlarmEntry& snoozed = snoozes[i].alarm;
        AlarmPresence before = presenceIn(entries, count, snoozed);
        AlarmPresence after = presenceIn(rows, rowCount, snoozed);
        // A one-shot alarm was disarmed when it rang; it is disarmed "in the dialog" only when
        // its row was armed before.
        bool disarmed = before.armed && !after.armed;
        if (!after.found || disarmed) continue;
        snoozes[kept++] = snoozes[i];
    }
    snoozeCount = kept;
}
