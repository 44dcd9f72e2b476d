#include "app/sound_test_win32.h"

#include <cstdlib>

#include "settings/settings.h"
#include "app/watch_app_win32.h"
#include "player/alarm_popup_win32.h"
#include "player/popup_options.h"
#include "player/sound_test_entry.h"

namespace {

// Plays one dropped file. A file the engine cannot take is skipped; the others still play.
void playDroppedFile(WatchApp* app, HDROP drop, UINT index, const SystemTime& now) {
    // A path too long for the record would be cut and name another file; it is left out.
    if (DragQueryFileW(drop, index, nullptr, 0) >= UINT(PATH_UNITS)) return;
    wchar_t path[PATH_UNITS];
    if (DragQueryFileW(drop, index, path, PATH_UNITS) == 0) return;
    int symbolRandom = rand();
    int modeRandom = rand();
    int32_t playCount = app->settings ? app->settings->playCount : 0;
    AlarmEntry entry;
    if (!soundTestEntry(path, symbolRandom, modeRandom, now, playCount, &entry)) return;
    VoiceHandle voice = 0;
    if (VoiceOpenFile(&voice, 0, path) != SND_OK) return;
    openAlarmPopup(app->watchWindow, app->watchRect, app->instance, app->panelX, app->panelY, entry,
                   soundTestPopupOptions(app->settings), voice);
}

} // namespace

void startSoundTest(WatchApp* app, HDROP drop) {
    SystemTime now = {};
    platformLocalTime(&now);
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i)
        playDroppedFile(app, drop, i, now);
    DragFinish(drop);
}
