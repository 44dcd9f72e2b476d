// Ringing a sound in a player popup beside the watch: what an alarm that falls due and a file
// dropped on the watch both do.
#pragma once

#include <cstdint>

#include "alarm/alarm_entry.h"

struct WatchApp;

// Opens `soundFile` on a voice and hands it to a new popup showing `entry` with the popup
// options `flags`. Without a free voice, or for a file the engine refuses, nothing rings; a file
// that turns out unplayable ends its popup before it shows. An alarm's popup snoozes it on a
// click on its symbol.
void ringInPopup(WatchApp* app, const wchar_t* soundFile, const AlarmEntry& entry, uint32_t flags);
