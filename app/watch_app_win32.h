// WatchApp: the application object. It owns the settings record, the alarm list, the alarm
// check's state and the watch window, and answers what the watch asks of its host: ringing
// alarms and dropped files in popups, the alarm settings, the volume and the two files. One
// instance, made by the entry point, used only on the user-interface thread.
#pragma once

#include <windows.h>

#include "alarm/alarm_check.h"
#include "watch/watch_host_win32.h"
#include "watch/watch_window_win32.h"

struct AlarmList;
struct WatchSettings;

class WatchApp final : public WatchHost {
  public:
    // Stores the instance, reads the settings and installs the keyboard hook.
    explicit WatchApp(HINSTANCE moduleInstance);
    WatchApp(const WatchApp&) = delete;
    WatchApp& operator=(const WatchApp&) = delete;

    // Opens the engine, registers the popup class, loads the alarms and builds the watch.
    // False means start-up failed; destroy() must still run.
    bool create(int showCommand);
    // Saves and releases the alarm list, the engine and the settings, in shutdown order; the
    // watch's surfaces and the keyboard hook go with the object.
    void destroy();

    void checkAlarms(AlarmEntry* nextAlarm) override;
    void playDroppedFiles(HDROP drop) override;
    void editAlarms() override;
    void setVolume(int32_t percent) override;
    // Writes Setting.xml and Alarm.xml now. A file that cannot be saved is told once with a
    // tray balloon.
    void saveFiles() override;
    // Keeps `alarm` (the copy that rang) to ring again once the settings' snooze time has passed,
    // and writes Alarm.xml at once, so the snooze outlives a crash or a restart. False when the
    // alarm list holds no more snoozes.
    bool snooze(const AlarmEntry& alarm);

  private:
    void saveAlarms();
    // Tells the user once, with a tray balloon, of a file set aside as ".bad" at start-up or one
    // that could not be read and so will not be saved.
    void reportFilesAtStart();
    // Shows the troubles in `found` not yet told, one line each, in one balloon.
    void tellFileTrouble(uint32_t found, bool atStart);

    HINSTANCE instance_ = nullptr;
    WatchSettings* settings_ = nullptr;
    AlarmList* alarms_ = nullptr;
    AlarmCheckState alarmCheck_ = {}; // the last second the alarm check handled
    uint32_t toldFileTrouble_ = 0;    // file troubles the user was already told of
    WatchWindow watch_;
};
