// Option bits of an alarm popup, built from the user's settings when a popup opens and again
// when a menu command changes the settings.
#pragma once

#include <cstdint>

struct WatchSettings;

constexpr uint32_t POPUP_SOUND_TEST = 0x1;      // readout shows play time; playCount applies live
constexpr uint32_t POPUP_12_HOUR = 0x2;         // alarm time with AM/PM
constexpr uint32_t POPUP_HOURS_FROM_ZERO = 0x4; // with POPUP_12_HOUR: hours 0..11
constexpr uint32_t POPUP_REMAINING_TIME = 0x8;  // sound test readout counts down
constexpr uint32_t POPUP_HAMMING = 0x10;        // oscilloscope trace is windowed
constexpr uint32_t POPUP_PEAK = 0x20;           // spectrum peak afterimage
constexpr uint32_t POPUP_SMOOTH = 0x40;         // one spectrum bar per pixel column

// The bits a menu command can change while a popup is open: readout, window, peak, smoothing.
constexpr uint32_t POPUP_PLAYER_OPTIONS =
    POPUP_REMAINING_TIME | POPUP_HAMMING | POPUP_PEAK | POPUP_SMOOTH;

// Player option bits from `playerTime`, `hammingWindow`, `peak` and `smooth`; 0 without settings.
uint32_t popupPlayerOptions(const WatchSettings* settings);
// Options of a popup opened by an alarm: the time format's bits and the player options.
uint32_t alarmPopupOptions(const WatchSettings* settings);
// Options of a popup opened for a dropped sound file: the sound-test bit and the player options.
uint32_t soundTestPopupOptions(const WatchSettings* settings);
