// checkAlarms: what the watch window's 100 ms timer runs. Once per second of the clock it rings
// the alarm due then in a popup beside the watch and keeps the next alarm due for the face.
#pragma once

struct WatchApp;

void checkAlarms(WatchApp* app);
