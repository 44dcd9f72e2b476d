#include "app/ring_popup_win32.h"

#include "app/snooze_win32.h"
#include "app/watch_app_win32.h"
#include "player/alarm_popup_win32.h"
#include "sound/sound_engine.h"

void ringInPopup(WatchApp* app, const wchar_t* soundFile, const AlarmEntry& entry, uint32_t flags) {
    VoiceHandle voice = {};
    if (VoiceOpenFile(&voice, 0, soundFile) != SND_OK) return;
    openAlarmPopup(app->watchWindow, app->watchRect, app->instance, app->panelX, app->panelY, entry,
                   flags, voice, PopupSnooze{snoozeRingingAlarm, app});
}
