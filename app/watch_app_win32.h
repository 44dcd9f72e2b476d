// WatchApp: the application object. It owns the settings record, the alarm list and the two
// surfaces, knows every window of the watch and carries the drag, fade and WatchMode state and
// the next alarm due. One instance, made by the entry point, used only on the user-interface
// thread.
#pragma once

#include <windows.h>

#include "alarm/alarm_check.h"
#include "alarm/alarm_entry.h"
#include "platform/platform.h"
#include "util/owned_handle_win32.h"
#include "watch/watch_face.h"

struct AlarmList;
class CBitMap;
struct WatchSettings;

constexpr int BAND_COUNT = 6;

struct WatchApp {
    // Stores the instance, reads the settings and installs the keyboard hook.
    explicit WatchApp(HINSTANCE moduleInstance);
    WatchApp(const WatchApp&) = delete;
    WatchApp& operator=(const WatchApp&) = delete;

    // Opens the engine, registers the classes, builds surfaces and windows, adds the tray icon.
    // False means start-up failed; destroy() must still run.
    bool create(int showCommand);
    // Saves and releases everything the object owns, in shutdown order.
    void destroy();

    // Write Setting.xml and Alarm.xml, or Alarm.xml alone, now: at the end of a session the
    // process may be ended before destroy() runs. A file that cannot be saved is told once with a
    // tray balloon.
    void saveFiles();
    void saveAlarms();
    // Tells the user once, with a tray balloon, of a file set aside as ".bad" at start-up or one
    // that could not be read and so will not be saved.
    void reportFilesAtStart();

    HINSTANCE instance = nullptr;
    HWND watchWindow = nullptr;
    HWND bandWindows[BAND_COUNT] = {};
    // The watch window's shape until the window takes it; a window that was never made leaves
    // it here to be freed.
    OwnedRegion watchRegion;
    RECT watchRect = {};
    int32_t fadeLevel = 0;
    int32_t width = 0;
    int32_t height = 0;
    AlarmList* alarms = nullptr;
    CBitMap* windowSurface = nullptr;
    CBitMap* spriteSurface = nullptr;
    int32_t panelX = 0;
    int32_t panelY = 0;
    int32_t dragging = 0;
    POINT dragOffset = {};
    RECT workArea = {};
    SystemTime clockNow = {};
    AlarmCheckState alarmCheck = {}; // the last second the alarm check handled
    AlarmEntry nextAlarm = {};       // all zero when no alarm is armed
    int32_t watchMode = 0;
    POINT lastCursor = {};
    WatchSettings* settings = nullptr;
    uint32_t toldFileTrouble = 0; // file troubles the user was already told of
    // What the last paint drew, so that the 200 ms repaint can skip an unchanged face.
    WatchFace paintedFace = {};
    SystemTime paintedTime = {};
};

// Window class names other programs (and the single-instance probe) see.
extern const wchar_t* const WATCH_CLASS;
extern const wchar_t* const BAND_CLASS;
// Title of the watch window and tip of the tray icon.
extern const wchar_t* const WATCH_TITLE;
constexpr int ICON_RESOURCE = 154;
