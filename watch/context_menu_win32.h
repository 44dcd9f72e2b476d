// The context menu and the tray menu on screen, and the WM_COMMAND branch that carries out
// their commands.
#pragma once

#include <windows.h>

struct WatchState;

// Builds the context menu from the current settings and tracks it at the screen point (x, y);
// returns when the menu closes (the chosen command arrives as WM_COMMAND).
void showContextMenu(HWND window, WatchState* watch, int x, int y);
// The tray icon's menu at the cursor: "現れる。" while the watch is minimized, and "おわり。".
void showTrayMenu(HWND window);
// Carries out the command in the low word of `wParam`; the result of WM_COMMAND.
LRESULT runMenuCommand(HWND window, WatchState* watch, WPARAM wParam, LPARAM lParam);
