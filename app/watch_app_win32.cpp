#include "app/watch_app_win32.h"

#include "alarm/alarm_list.h"
#include "app/chara_choice_win32.h"
#include "app/keyboard_hook_win32.h"
#include "settings/settings.h"
#include "app/sound_startup_win32.h"
#include "app/tray_icon_win32.h"
#include "gfx/bitmap.h"
#include "gfx/region_from_alpha_win32.h"
#include "player/alarm_popup_win32.h"
#include "util/window_class_win32.h"
#include "util/window_placement_win32.h"
#include "watch/alpha_bands.h"
#include "app/band_window_win32.h"
#include "app/watch_mode_win32.h"
#include "app/watch_window_win32.h"

#include <cstdlib>
#include <cwchar>
#include <new>

const wchar_t* const WATCH_CLASS = L"Korvanex-100";
const wchar_t* const BAND_CLASS = L"Korvanex-Alpha";
const wchar_t* const WATCH_TITLE = L"Vesk";

namespace {

// Background brush value 12: the system colour index COLOR_APPWORKSPACE + 1, as classes take it.
const HBRUSH CLASS_BACKGROUND = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(12));

bool registerWatchClass(HINSTANCE instance) {
    return registerWindowClass(instance, {WATCH_CLASS, watchWindowProcedure,
                                          CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, CLASS_BACKGROUND});
}

// The alarm list with the alarms of Alarm.xml in the working directory, the program folder,
// which the list already holds as its base folder.
AlarmList* loadAlarmList() {
    AlarmList* list = AlarmList::create();
    if (!list) return nullptr;
    const wchar_t* name = L"Alarm.xml";
    if (list->baseDirLength > 0 && list->baseDirLength + wcslen(name) < PATH_UNITS) {
        wcscpy(list->filePath, list->baseDir);
        wcscat(list->filePath, name);
        list->load();
    }
    return list;
}

} // namespace

WatchApp::WatchApp(HINSTANCE moduleInstance) : instance(moduleInstance) {
    wchar_t path[PATH_UNITS];
    DWORD length = GetCurrentDirectoryW(PATH_UNITS, path);
    if (length > 0 && length + wcslen(L"\\Setting.xml") < PATH_UNITS) {
        wcscat(path, L"\\Setting.xml");
        // The record is plain data; calloc keeps its allocation failure a null, not a throw.
        settings = static_cast<WatchSettings*>(calloc(1, sizeof(WatchSettings)));
        if (settings) loadSettings(path, settings);
    }
    installKeyboardHook();
}

bool WatchApp::create(int showCommand) {
    startSoundEngine(settings);
    if (!registerWatchClass(instance)) return false;
    if (!registerBandClass(instance)) return false;
    if (!registerAlarmPopupClass(instance)) return false;
    alarms = loadAlarmList();
    if (!alarms) return false;

    spriteSurface = new (std::nothrow) CBitMap;
    if (!spriteSurface) return false;
    bool wornFile = settings && settings->charaFile[0];
    switchCharacter(this, false);
    bool charaFileGone = wornFile && !settings->charaFile[0];
    watchRegion.reset(regionFromAlpha(&spriteSurface->info.header, spriteSurface->backBuffer(),
                                      &width, &height, WATCH_BAND_LOW, WATCH_BAND_HIGH));
    windowSurface = new (std::nothrow) CBitMap;
    if (!windowSurface) return false;
    windowSurface->create(24, width, height);

    watchWindow = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, WATCH_CLASS, WATCH_TITLE,
                                  WS_POPUP, settings ? settings->x : 0, settings ? settings->y : 0,
                                  width, height, nullptr, nullptr, instance, this);
    if (!watchWindow) return false;
    createBandWindows(this);
    rebuildBands(this);

    placeWatch(this);
    ShowWindow(watchWindow, showCommand);
    UpdateWindow(watchWindow);
    setTopmost(watchWindow, settings ? settings->topmost : 0);
    addTrayIcon(watchWindow, LoadIconW(instance, MAKEINTRESOURCEW(ICON_RESOURCE)));
    reportFilesAtStart();
    if (charaFileGone) tellCharaFileGone(this);
    watchMode = settings && settings->watch ? 1 : 0;
    syncWatchModeTimer(watchWindow, watchMode);
    return true;
}

void WatchApp::destroy() {
    if (alarms) {
        alarms->save();
        AlarmList::destroy(alarms);
        alarms = nullptr;
    }
    delete spriteSurface;
    spriteSurface = nullptr;
    delete windowSurface;
    windowSurface = nullptr;
    stopSoundEngine();
    if (settings) {
        saveSettings(settings);
        freeSettings(settings);
        free(settings);
        settings = nullptr;
    }
    removeKeyboardHook();
}
