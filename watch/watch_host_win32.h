// WatchHost: what the watch window asks of the program that composes it. The watch shows the
// time and the next alarm and carries the user's menu choices; the alarm list, the sound engine,
// the popups and the two files belong to the program.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>

struct AlarmEntry;

class WatchHost {
  public:
    // The 100 ms alarm tick: rings what is due and keeps `*nextAlarm` the next alarm due (all
    // zero when none), which the face shows.
    virtual void checkAlarms(AlarmEntry* nextAlarm) = 0;
    // Files dropped on the watch; the host releases `drop`.
    virtual void playDroppedFiles(HDROP drop) = 0;
    // The menu's alarm settings, shown modally over the watch window.
    virtual void editAlarms() = 0;
    // The menu's master volume, 0 to 100.
    virtual void setVolume(int32_t percent) = 0;
    // The logon is ending: write both files now, the process may end before shutdown runs.
    virtual void saveFiles() = 0;

  protected:
    ~WatchHost() = default;
};
