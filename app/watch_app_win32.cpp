#include "app/watch_app_win32.h"

#include "alarm/alarm_dialog_win32.h"
#include "alarm/alarm_list.h"
#include "app/sound_startup_win32.h"
#include "app/sound_test_win32.h"
#include "player/alarm_popup_win32.h"
#include "settings/settings.h"
#include "sound/sound_engine.h"

#include <cstdlib>
#include <cwchar>

namespace {

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

WatchApp::WatchApp(HINSTANCE moduleInstance)
    : instance_(moduleInstance), watch_(moduleInstance, this) {
    wchar_t path[PATH_UNITS];
    DWORD length = GetCurrentDirectoryW(PATH_UNITS, path);
    if (length > 0 && length + wcslen(L"\\Setting.xml") < PATH_UNITS) {
        wcscat(path, L"\\Setting.xml");
        // The record is plain data; calloc keeps its allocation failure a null, not a throw.
        settings_ = static_cast<WatchSettings*>(calloc(1, sizeof(WatchSettings)));
        if (settings_) loadSettings(path, settings_);
    }
}

bool WatchApp::create(int showCommand) {
    startSoundEngine(settings_);
    if (!registerAlarmPopupClass(instance_)) return false;
    alarms_ = loadAlarmList();
    if (!alarms_) return false;
    if (!watch_.create(settings_, showCommand)) return false;
    reportFilesAtStart();
    return true;
}

void WatchApp::destroy() {
    if (alarms_) {
        alarms_->save();
        AlarmList::destroy(alarms_);
        alarms_ = nullptr;
    }
    stopSoundEngine();
    if (settings_) {
        saveSettings(settings_);
        freeSettings(settings_);
        free(settings_);
        settings_ = nullptr;
    }
}

void WatchApp::playDroppedFiles(HDROP drop) {
    startSoundTest(watch_.info(), instance_, drop);
}

void WatchApp::editAlarms() {
    // Applied edits reach the disk at once, not only at a quit a crash or logoff may skip.
    if (showAlarmDialog(instance_, watch_.handle(), alarms_) == 1) saveAlarms();
}

void WatchApp::setVolume(int32_t percent) {
    EngineSetMasterVolume(static_cast<float>(percent) / 100.0f);
}
