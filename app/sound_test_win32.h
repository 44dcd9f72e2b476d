// The sound test: sound files dropped on the watch each open a popup that plays them.
#pragma once

#include <windows.h>
#include <shellapi.h>

struct WatchApp;

// Opens one popup per file of `drop` that the engine takes, then releases the drop.
void startSoundTest(WatchApp* app, HDROP drop);
