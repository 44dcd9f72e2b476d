// AlarmPopup: the small shaped player window ("ALARM-CLASS") that rings one alarm or plays one
// dropped sound. It owns the voice it is given, sits beside the watch panel, follows the watch
// and closes itself when the sound has played its number of times.
#pragma once

#include <windows.h>

#include <cstdint>

#include "alarm/alarm_entry.h"
#include "sound/sound_engine.h"

// Option bits passed to openAlarmPopup.
constexpr uint32_t POPUP_SOUND_TEST = 0x1;      // readout shows play time; playCount applies live
constexpr uint32_t POPUP_12_HOUR = 0x2;         // alarm time with AM/PM
constexpr uint32_t POPUP_HOURS_FROM_ZERO = 0x4; // with POPUP_12_HOUR: hours 0..11
constexpr uint32_t POPUP_REMAINING_TIME = 0x8;  // sound test readout counts down
constexpr uint32_t POPUP_HAMMING = 0x10;        // oscilloscope trace is windowed
constexpr uint32_t POPUP_PEAK = 0x20;           // spectrum peak afterimage
constexpr uint32_t POPUP_SMOOTH = 0x40;         // one spectrum bar per pixel column

extern const wchar_t* const ALARM_POPUP_CLASS;

struct AlarmPopup;

// Registers "ALARM-CLASS" once at start-up. Returns the class atom, 0 on failure.
ATOM registerAlarmPopupClass(HINSTANCE instance);

// Opens an invisible popup owned by `watchWindow` that starts `voice` as soon as it is ready.
// The popup owns the voice from this call on, also when it fails (then the voice is closed and
// null returned). The entry is copied.
AlarmPopup* openAlarmPopup(HWND watchWindow, const RECT& watchRect, HINSTANCE instance,
                           int32_t panelX, int32_t panelY, const AlarmEntry& entry, uint32_t flags,
                           VoiceHandle voice);
