// The notification-area icon of the watch.
#pragma once

#include <windows.h>

// Adds the icon (identifier 1, callback WM_TRAY_NOTIFY, tip "Vesk") to the notification area.
bool addTrayIcon(HWND window, HICON icon);
// Adds it again after the taskbar was re-created, or refreshes it if it is still there.
void restoreTrayIcon(HWND window, HICON icon);
void removeTrayIcon(HWND window);
// Shows a warning balloon from the icon: `title` (at most 63 units) over `text` (at most 255).
bool showTrayBalloon(HWND window, const wchar_t* title, const wchar_t* text);
