// Private window messages between the watch window and the windows it owns.
#pragma once

#include <cstdint>

constexpr uint32_t WM_TRAY_NOTIFY = 1025;       // tray icon -> watch; lParam is the mouse message
constexpr uint32_t WM_OWNER_MOVED = 1026;       // watch -> owned: the watch moved
constexpr uint32_t WM_OWNER_PLACED = 1027;      // watch -> owned: placement step ran
constexpr uint32_t WM_OWNER_CLOSING = 1028;     // watch -> owned: fade-out at quit begins
constexpr uint32_t WM_OWNER_SESSION_END = 1029; // watch -> owned: the logon is ending
constexpr uint32_t WM_SETTINGS_CHANGED = 1030;  // watch -> owned: a menu command changed settings
constexpr uint32_t WM_QUERY_WATCH_INFO = 1031;  // owned -> watch: fill the WatchInfo at lParam

// Timers of the watch window.
constexpr uint32_t TIMER_FADE_IN = 10;
constexpr uint32_t TIMER_FADE_OUT = 11;
constexpr uint32_t TIMER_REPAINT = 12;
constexpr uint32_t TIMER_ALARM_CHECK = 13;
constexpr uint32_t TIMER_WATCH_MODE = 14;
