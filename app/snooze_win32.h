// Snoozing a ringing alarm: what a click on an alarm popup's symbol hands over to the watch.
#pragma once

#include "alarm/alarm_entry.h"

// Keeps `alarm` (the copy that rang) to ring again once the settings' snooze time has passed,
// and writes Alarm.xml at once, so the snooze outlives a crash or a restart. `context` is the
// WatchApp. False when the alarm list holds no more snoozes.
bool snoozeRingingAlarm(void* context, const AlarmEntry& alarm);
