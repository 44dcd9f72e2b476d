// The six band windows (class "Korvanex-Alpha") that lay the semi-transparent outline of the
// character over the watch window, each cut to one alpha band of the sprite.
#pragma once

#include <windows.h>

struct WatchApp;

bool registerBandClass(HINSTANCE instance);
// Creates the six band windows, owned by the watch window and invisible until faded in. A band
// window that cannot be created leaves its slot empty.
void createBandWindows(WatchApp* app);
// Cuts the six band regions from the sprite and shapes, sizes and shows the band windows; a
// band without pixels hides its window.
void rebuildBands(WatchApp* app);
