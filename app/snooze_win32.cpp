#include "app/snooze_win32.h"

#include "alarm/alarm_list.h"
#include "alarm/wall_clock.h"
#include "app/watch_app_win32.h"
#include "settings/settings.h"

bool snoozeInApp(void* context, const AlarmEntry& alarm) {
    return static_cast<WatchApp*>(context)->snooze(alarm);
}

bool WatchApp::snooze(const AlarmEntry& alarm) {
    if (!alarms_) return false;
    int32_t minutes = settings_ ? settings_->snooze : SNOOZE_DEFAULT;
    SystemTime now = {};
    platformLocalTime(&now);
    SystemTime due = wallTimeAt(wallSeconds(now) + int64_t(minutes) * 60);
    if (!alarms_->addSnooze(alarm, due)) return false;
    saveAlarms();
    return true;
}
