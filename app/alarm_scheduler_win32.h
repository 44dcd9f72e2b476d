// checkAlarms: what the watch window's 100 ms timer runs. Once per second of the clock (and for
// the seconds a stall or a sleep kept it from seeing) it rings the alarms due in popups beside
// the watch and keeps the next alarm due for the face.
#pragma once

struct WatchApp;

void checkAlarms(WatchApp* app);
