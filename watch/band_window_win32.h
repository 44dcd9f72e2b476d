// The six band windows (class "Korvanex-Alpha") that lay the semi-transparent outline of the
// character over the watch window, each cut to one alpha band of the sprite.
#pragma once

#include <windows.h>

struct WatchState;

extern const wchar_t* const BAND_CLASS;

bool registerBandClass(HINSTANCE instance);
// Creates the six band windows, owned by the watch window and invisible until faded in. A band
// window that cannot be created leaves its slot empty.
void createBandWindows(WatchState* watch);
// Cuts the six band regions from the sprite and shapes, sizes and shows the band windows; a
// band without pixels hides its window.
void rebuildBands(WatchState* watch);
