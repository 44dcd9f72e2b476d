#include "app/alarm_scheduler_win32.h"

#include "alarm/alarm_check.h"
#include "app/ring_popup_win32.h"
#include "app/watch_app_win32.h"
#include "player/popup_options.h"

namespace {

// A relative sound path resolves against the program folder, the working directory.
void ringAlarm(void* context, const AlarmEntry& alarm) {
    WatchApp* app = static_cast<WatchApp*>(context);
    ringInPopup(app, alarm.soundFile, alarm, alarmPopupOptions(app->settings));
}

} // namespace

void checkAlarms(WatchApp* app) {
    ClockSample now = {};
    platformLocalTime(&now.wall);
    platformUptime(&now.awakeMs, &now.sleptMs);
    app->clockNow = now.wall;
    runAlarmCheck(app->alarms, now, &app->alarmCheck, &app->nextAlarm, ringAlarm, app);
}
