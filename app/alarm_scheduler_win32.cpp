#include "app/alarm_scheduler_win32.h"

#include "alarm/alarm_check.h"
#include "app/watch_app_win32.h"
#include "player/alarm_popup_win32.h"
#include "player/popup_options.h"
#include "sound/sound_engine.h"

namespace {

// Opens the alarm's sound (a relative path resolves against the program folder, the working
// directory) and hands it to a new popup. Without a free voice nothing rings; a file that
// cannot be played ends its popup before it shows.
void ringAlarm(void* context, const AlarmEntry& alarm) {
    WatchApp* app = static_cast<WatchApp*>(context);
    uint32_t options = alarmPopupOptions(app->settings);
    VoiceHandle voice = {};
    if (VoiceOpenFile(&voice, 0, alarm.soundFile) != SND_OK) return;
    openAlarmPopup(app->watchWindow, app->watchRect, app->instance, app->panelX, app->panelY, alarm,
                   options, voice);
}

} // namespace

void checkAlarms(WatchApp* app) {
    ClockSample now = {};
    platformLocalTime(&now.wall);
    platformUptime(&now.awakeMs, &now.sleptMs);
    app->clockNow = now.wall;
    runAlarmCheck(app->alarms, now, &app->alarmCheck, &app->nextAlarm, ringAlarm, app);
}
