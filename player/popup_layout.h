// Arithmetic of the alarm popup, apart from the window that applies it: where the popup sits
// beside the watch, what its readout prints, how far its progress bar reaches, where a click
// seeks, how plays are counted and which window function the analyzer uses.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "util/geometry.h"

struct AlarmEntry;
struct WatchSettings;

// Progress bar: rows 5 and 6 from the bottom, from column 6 over W / 2 - 12 columns.
constexpr int32_t PROGRESS_LEFT = 6;
constexpr int32_t PROGRESS_ROW_LOW = 5;
constexpr int32_t PROGRESS_ROW_HIGH = 7; // exclusive

// The alarm symbol's place, counted from the top: a 29 x 36 picture at (4, 10). An alarm popup
// snoozes on a click there.
constexpr int32_t SYMBOL_LEFT = 4;
constexpr int32_t SYMBOL_TOP = 10;
constexpr int32_t SYMBOL_WIDTH = 29;
constexpr int32_t SYMBOL_HEIGHT = 36;

// Top-left corner of a popup `popupWidth` wide beside a watch at `watch` whose panel lies at
// (panelX, panelY) inside it, before the move keeps it inside the work area. It opens to the
// right of the watch panel (`watchPanelWidth` wide) when the watch's middle lies in the left
// half of the work area, else to the left of the watch.
Point popupPosition(const Rect& watch, int32_t workWidth, int32_t watchPanelWidth,
                    int32_t popupWidth, int32_t panelX, int32_t panelY);

// What the cursor is over, from its client position on a `width` x `height` popup.
struct PopupHover {
    int32_t seek;       // 1 over the progress bar
    float seekFraction; // 0..1 along the bar while `seek` is set, else 0
    int32_t visual;     // 1 over the visualizer half
    int32_t symbol;     // 1 over the alarm symbol
};
PopupHover popupHoverAt(int32_t x, int32_t y, int32_t width, int32_t height);

// Columns of the progress bar on a surface `surfaceWidth` wide.
int32_t progressBarLength(int32_t surfaceWidth);
// First column after the played part of the bar: 6 with nothing played, 6 + `barLength` at the
// end. A stream of unknown (zero) length counts as nothing played.
int32_t progressPlayedEnd(uint64_t position, uint64_t length, int32_t barLength);
// First column after the seek preview for a cursor at `fraction` along the bar.
int32_t progressPreviewEnd(float fraction, int32_t barLength);
// The frame a click at `fraction` along the bar seeks to: always a frame of the stream, so the
// far right end gives the last frame. False for an empty stream, which has nowhere to seek.
bool seekTargetFrame(float fraction, uint64_t length, uint64_t* target);

// The readout as printed with the watch face's large digits: hour, minute, second and the
// watch face's time format (0 without mark, 1 with AM/PM and 12 for hour 0, 2 with AM/PM and
// hours 0..11).
struct PopupReadout {
    SystemTime clock;
    int32_t timeFormat;
};
// An alarm's own time in the form the option bits choose.
PopupReadout alarmReadout(uint32_t hour, uint32_t minute, uint32_t second, uint32_t flags);
// The sound test's play time: elapsed, or remaining with the remaining-time bit, in
// milliseconds. Hours beyond 99 keep their last two digits, as the readout has two places.
PopupReadout playTimeReadout(uint64_t positionMs, uint64_t lengthMs, uint32_t flags);

// Plays still to go when playback starts: 0 (endless) for a looping entry, else its playTimes.
int32_t initialPlays(const AlarmEntry& entry);
// Counts one finished play. True when it was the last and the popup closes; false when the
// sound is to be played again (always so when the plays are endless).
bool countFinishedPlay(int32_t* remainingPlays);

// The analyzer's window function for visualizer `mode`: the spectrum always uses the Hamming
// window, the oscilloscope only with the Hamming bit.
int32_t analyzerWindowFor(int32_t mode, uint32_t flags);
// The other visualizer mode: spectrum and oscilloscope take turns.
int32_t toggledVisualMode(int32_t mode);
// The option bits after a settings change: the player options come from `settings` again (all
// clear without a record), the others stay.
uint32_t flagsAfterSettingsChange(uint32_t flags, const WatchSettings* settings);
