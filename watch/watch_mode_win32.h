// WatchMode on the desktop: the 10 ms step that keeps the watch beside the cursor, and the
// notice that tells the user how to reach the menu again.
#pragma once

#include <windows.h>

#include <cstdint>

struct WatchState;

// Runs the 10 ms WatchMode timer exactly while WatchMode is on. Under Wine a 100 Hz timer costs
// a few percent of a core even when its step has nothing to do, so it is not kept running for a
// mode that is off. `window` is the watch window.
void syncWatchModeTimer(HWND window, int32_t mode);

// Moves the watch to the cursor + 32 (inside the work area) when WatchMode is on and the
// cursor has moved since the last step.
void watchModeStep(WatchState* watch);
// Shows the notice dialog (resource 207) modally over the watch window.
void showWatchModeNotice(WatchState* watch);
