// The record an owned window asks the watch window to fill with WM_QUERY_WATCH_INFO.
#pragma once

#include <windows.h>

#include <cstdint>

struct WatchSettings;

struct WatchInfo {
    HWND watchWindow;
    RECT watchRect; // the watch's cached screen rectangle
    int32_t panelX; // panel origin inside the sprite
    int32_t panelY;
    WatchSettings* settings;
};
