// The low-level keyboard hook that keeps Alt+Print Screen from copying the watch while it is
// the active window.
#pragma once

// Records the low word of the watch window's last WM_ACTIVATE (0 inactive, 1 active, 2 click).
void setWatchActive(int state);
bool installKeyboardHook();
void removeKeyboardHook();
