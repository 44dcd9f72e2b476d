#include "app/sound_test_win32.h"

#include <cstdlib>

#include "app/ring_popup_win32.h"
#include "player/popup_options.h"
#include "player/sound_test_entry.h"
#include "settings/settings.h"
#include "util/dropped_files_win32.h"
#include "util/owned_handle_win32.h"

namespace {

// Plays one dropped file. A file the engine cannot take is skipped; the others still play.
void playDroppedFile(const WatchInfo& watch, HINSTANCE instance, const wchar_t* path,
                     const SystemTime& now) {
    int symbolRandom = rand();
    int modeRandom = rand();
    int32_t playCount = watch.settings ? watch.settings->playCount : 0;
    AlarmEntry entry;
    if (!soundTestEntry(path, symbolRandom, modeRandom, now, playCount, &entry)) return;
    ringInPopup(watch, instance, path, entry, soundTestPopupOptions(watch.settings));
}

} // namespace

void startSoundTest(const WatchInfo& watch, HINSTANCE instance, HDROP drop) {
    OwnedDrop owned(drop);
    SystemTime now = {};
    platformLocalTime(&now);
    forEachDroppedFile(drop, [&watch, instance, &now](const wchar_t* path) {
        playDroppedFile(watch, instance, path, now);
        return false;
    });
}
