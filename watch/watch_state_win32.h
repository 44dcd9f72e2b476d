// WatchState: what the watch window owns and what its parts (band windows, menus, WatchMode)
// share: the two surfaces, the watch's shape, the band windows, the drag, fade and WatchMode
// state and what the last paint drew. The settings record and the host are borrowed from the
// program. Lives in its WatchWindow; the watch window keeps a pointer to it from creation on.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "alarm/alarm_entry.h"
#include "gfx/bitmap.h"
#include "platform/platform.h"
#include "util/owned_handle_win32.h"
#include "watch/watch_face.h"

class WatchHost;
struct WatchSettings;

constexpr int BAND_COUNT = 6;

struct WatchState {
    HINSTANCE instance = nullptr;
    WatchHost* host = nullptr;
    WatchSettings* settings = nullptr; // null when Setting.xml could not be read into memory
    HWND window = nullptr;
    HWND bandWindows[BAND_COUNT] = {};
    // The watch window's shape until the window takes it; a window that was never made leaves
    // it here to be freed.
    OwnedRegion region;
    RECT rect = {}; // the watch's cached screen rectangle
    int32_t fadeLevel = 0;
    int32_t width = 0;
    int32_t height = 0;
    std::unique_ptr<CBitMap> windowSurface;
    std::unique_ptr<CBitMap> spriteSurface;
    int32_t panelX = 0; // panel origin inside the sprite
    int32_t panelY = 0;
    int32_t dragging = 0;
    POINT dragOffset = {};
    RECT workArea = {};
    AlarmEntry nextAlarm = {}; // all zero when no alarm is armed
    int32_t watchMode = 0;
    POINT lastCursor = {};
    // What the last paint drew, so that the 200 ms repaint can skip an unchanged face.
    WatchFace paintedFace = {};
    SystemTime paintedTime = {};
};
