// The sound test: sound files dropped on the watch each open a popup that plays them.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "link/watch_info_win32.h"

// Opens one popup beside `watch` per file of `drop` that the engine takes, then releases the
// drop.
void startSoundTest(const WatchInfo& watch, HINSTANCE instance, HDROP drop);
