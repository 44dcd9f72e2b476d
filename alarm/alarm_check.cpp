#include "alarm/alarm_check.h"

#include "alarm/alarm_list.h"

bool takeNewSecond(const SystemTime& now, SystemTime* lastHandled) {
    // A clock never reads year 0, so the zeroed record of a fresh start matches no second; an
    // alarm due in the very second the program starts still rings.
    bool handled = lastHandled->year != 0 && now.hour == lastHandled->hour &&
                   now.minute == lastHandled->minute && now.second == lastHandled->second;
    if (handled) return false;
    *lastHandled = now;
    return true;
}

AlarmEntry ringingCopy(const AlarmEntry& due) {
    AlarmEntry copy = due;
    copy.flags &= ~ALARM_LOOP;
    if (copy.playTimes == 0) copy.playTimes = 1;
    return copy;
}

bool runAlarmCheck(AlarmList* list, const SystemTime& now, SystemTime* lastHandled,
                   AlarmEntry* nextAlarm, AlarmEntry* ringing) {
    if (!takeNewSecond(now, lastHandled)) return false;
    AlarmEntry due = {};
    bool ringsNow = list && list->matchNow(now, &due);
    if (ringsNow) *ringing = ringingCopy(due);
    // Asked after the match, so a one-shot alarm that has just rung is no longer the next one.
    if (!list || list->count == 0 || !list->findNext(now, nextAlarm)) *nextAlarm = AlarmEntry{};
    return ringsNow;
}
