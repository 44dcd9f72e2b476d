#include "app/ring_popup_win32.h"

#include "player/alarm_popup_win32.h"
#include "sound/sound_engine.h"

void ringInPopup(const WatchInfo& watch, HINSTANCE instance, const wchar_t* soundFile,
                 const AlarmEntry& entry, uint32_t flags, PopupSnooze snooze) {
    VoiceHandle voice = {};
    if (VoiceOpenFile(&voice, 0, soundFile) != SND_OK) return;
    openAlarmPopup(watch.watchWindow, watch.watchRect, instance, watch.panelX, watch.panelY, entry,
                   flags, voice, snooze);
}
