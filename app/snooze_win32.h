// Snoozing a ringing alarm: what a click on an alarm popup's symbol hands over to the program.
#pragma once

#include "alarm/alarm_entry.h"

// The alarm popups' snooze handler; `context` is the WatchApp, whose snooze() keeps the alarm.
bool snoozeInApp(void* context, const AlarmEntry& alarm);
