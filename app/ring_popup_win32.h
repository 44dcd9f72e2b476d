// Ringing a sound in a player popup beside the watch: what an alarm that falls due and a file
// dropped on the watch both do.
#pragma once

#include <windows.h>

#include <cstdint>

#include "alarm/alarm_entry.h"
#include "link/watch_info_win32.h"
#include "player/alarm_popup_win32.h"

// Opens `soundFile` on a voice and hands it to a new popup beside `watch` showing `entry` with
// the popup options `flags`. Without a free voice, or for a file the engine refuses, nothing rings;
// a file that turns out unplayable ends its popup before it shows. With a `snooze` handler an
// alarm's popup snoozes it on a click on its symbol.
void ringInPopup(const WatchInfo& watch, HINSTANCE instance, const wchar_t* soundFile,
                 const AlarmEntry& entry, uint32_t flags, PopupSnooze snooze = {});
