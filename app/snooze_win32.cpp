#include "app/snooze_win32.h"

#include "alarm/alarm_list.h"
#include "alarm/wall_clock.h"
#include "app/watch_app_win32.h"
#include "settings/settings.h"

bool snoozeRingingAlarm(void* context, const AlarmEntry& alarm) {
    WatchApp* app = static_cast<WatchApp*>(context);
    if (!app->alarms) return false;
    int32_t minutes = app->settings ? app->settings->snooze : SNOOZE_DEFAULT;
    SystemTime now = {};
    platformLocalTime(&now);
    SystemTime due = wallTimeAt(wallSeconds(now) + int64_t(minutes) * 60);
    if (!app->alarms->addSnooze(alarm, due)) return false;
    app->saveAlarms();
    return true;
}
