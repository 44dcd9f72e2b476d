// WatchMode: the watch keeps itself beside the mouse cursor. This is the decision of one 10 ms
// tick; the window move itself is the shell's.
#pragma once

#include "util/geometry.h"

#include <cstdint>

// WatchState.watchMode values.
constexpr int32_t WATCH_MODE_OFF = 0;
constexpr int32_t WATCH_MODE_ON = 1;        // switched on, not moved yet
constexpr int32_t WATCH_MODE_FOLLOWING = 2; // following; lastCursor is where it last moved

// How far right of and below the cursor the watch's top-left corner sits.
constexpr int32_t WATCH_MODE_OFFSET = 32;

// One tick with the cursor at `cursor`. Returns true, with `*target` the wanted top-left
// (before clamping to the work area), when the watch must move; then `*mode` is FOLLOWING and
// `*lastCursor` the cursor. A cursor standing still moves nothing.
bool watchModeTick(int32_t* mode, Point* lastCursor, Point cursor, Point* target);

// The mode after the menu command switches WatchMode: off when it was on, else on.
int32_t toggledWatchMode(int32_t mode);
