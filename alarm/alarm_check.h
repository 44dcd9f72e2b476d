// The alarm check the watch window's timer runs ten times a second, apart from ringing: each
// second of the clock is evaluated once, the alarm due then is prepared for its popup, and the
// next alarm due is kept for the face.
#pragma once

#include "alarm/alarm_entry.h"
#include "platform/platform.h"

struct AlarmList;

// True when `now` is a second not handled yet, which is then recorded in `*lastHandled`. Only
// the time of day is compared; an all-zero record means no second has been handled yet.
bool takeNewSecond(const SystemTime& now, SystemTime* lastHandled);

// The copy of a due alarm that rings: never endlessly, and at least once.
AlarmEntry ringingCopy(const AlarmEntry& due);

// One check at `now`. In a second not handled yet: asks `list` for the alarm due (a one-shot
// one is disarmed and saved by that), then refreshes `*nextAlarm` (all zero when none comes).
// Returns true with the copy to ring in `*ringing` when an alarm is due. A null list has none.
bool runAlarmCheck(AlarmList* list, const SystemTime& now, SystemTime* lastHandled,
                   AlarmEntry* nextAlarm, AlarmEntry* ringing);
