// WatchMode on the desktop: the 10 ms step that keeps the watch beside the cursor, and the
// notice that tells the user how to reach the menu again.
#pragma once

struct WatchApp;

// Moves the watch to the cursor + 32 (inside the work area) when WatchMode is on and the
// cursor has moved since the last step.
void watchModeStep(WatchApp* app);
// Shows the notice dialog (resource 207) modally over the watch window.
void showWatchModeNotice(WatchApp* app);
