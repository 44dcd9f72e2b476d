// AlarmPopup: the small shaped player window ("ALARM-CLASS") that rings one alarm or plays one
// dropped sound. It owns the voice it is given, sits beside the watch panel, follows the watch
// and closes itself when the sound has played its number of times.
#pragma once

#include <windows.h>

#include <cstdint>

#include "alarm/alarm_entry.h"
#include "player/popup_options.h"
#include "sound/sound_engine.h"

extern const wchar_t* const ALARM_POPUP_CLASS;

struct AlarmPopup;

// What a left click on a ringing alarm's symbol does: hands the alarm over to ring again later.
// False when it could not be kept; the popup then rings on, as if the click had not been.
using SnoozeAlarmFn = bool (*)(void* context, const AlarmEntry& alarm);
struct PopupSnooze {
    SnoozeAlarmFn snooze; // null: the popup cannot snooze
    void* context;
};

// Registers "ALARM-CLASS" once at start-up. False on failure.
bool registerAlarmPopupClass(HINSTANCE instance);

// Opens an invisible popup owned by `watchWindow` that starts `voice` as soon as it is ready.
// The popup owns the voice from this call on, also when it fails (then the voice is closed and
// null returned). The entry is copied. An alarm popup (not a sound test) with a `snooze` handler
// snoozes on a click on its symbol: it hands the entry over and fades out.
AlarmPopup* openAlarmPopup(HWND watchWindow, const RECT& watchRect, HINSTANCE instance,
                           int32_t panelX, int32_t panelY, const AlarmEntry& entry, uint32_t flags,
                           VoiceHandle voice, PopupSnooze snooze = {});
