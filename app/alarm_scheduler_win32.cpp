// The watch window's 100 ms alarm tick. Once per second of the clock (and for the seconds a
// stall or a sleep kept it from seeing) it rings the alarms due in popups beside the watch and
// keeps the next alarm due for the face.
#include "alarm/alarm_check.h"
#include "app/ring_popup_win32.h"
#include "app/snooze_win32.h"
#include "app/watch_app_win32.h"
#include "player/popup_options.h"

namespace {

struct RingPlace {
    WatchInfo watch;
    HINSTANCE instance;
    PopupSnooze snooze;
};

// A relative sound path resolves against the program folder, the working directory.
void ringAlarm(void* context, const AlarmEntry& alarm) {
    const RingPlace* place = static_cast<const RingPlace*>(context);
    ringInPopup(place->watch, place->instance, alarm.soundFile, alarm,
                alarmPopupOptions(place->watch.settings), place->snooze);
}

} // namespace

void WatchApp::checkAlarms(AlarmEntry* nextAlarm) {
    ClockSample now = {};
    platformLocalTime(&now.wall);
    platformUptime(&now.awakeMs, &now.sleptMs);
    RingPlace place{watch_.info(), instance_, PopupSnooze{snoozeInApp, this}};
    runAlarmCheck(alarms_, now, &alarmCheck_, nextAlarm, ringAlarm, &place);
}
