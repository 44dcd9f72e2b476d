#include "player/popup_layout.h"

#include "alarm/alarm_entry.h"
#include "player/popup_options.h"
#include "player/spectrum_analyzer.h"

#include <cmath>

namespace {

constexpr uint64_t MS_PER_HOUR = 3600000;
constexpr uint64_t MS_PER_MINUTE = 60000;
constexpr uint64_t MS_PER_SECOND = 1000;

// The progress bar's rows, counted from the top: H - 8 .. H - 4 around rows 5 and 6 from the
// bottom, so a click slightly off the two thin rows still counts.
constexpr int32_t SEEK_ROWS_FROM_BOTTOM_FAR = 8;
constexpr int32_t SEEK_ROWS_FROM_BOTTOM_NEAR = 4;

} // namespace

Point popupPosition(const Rect& watch, int32_t workWidth, int32_t watchPanelWidth,
                    int32_t popupWidth, int32_t panelX, int32_t panelY) {
    int32_t middle = watch.left + (watch.right - watch.left) / 2;
    int32_t left = middle < workWidth / 2 ? watch.left + watchPanelWidth : watch.left - popupWidth;
    return Point{left + panelX, watch.top + panelY};
}

PopupHover popupHoverAt(int32_t x, int32_t y, int32_t width, int32_t height) {
    PopupHover hover = {};
    int32_t half = width / 2;
    if (x >= PROGRESS_LEFT && x <= half - PROGRESS_LEFT &&
        y >= height - SEEK_ROWS_FROM_BOTTOM_FAR && y <= height - SEEK_ROWS_FROM_BOTTOM_NEAR) {
        int32_t length = progressBarLength(width);
        hover.seek = 1;
        hover.seekFraction = length > 0 ? float(x - PROGRESS_LEFT) / float(length) : 0.0f;
    }
    hover.visual = x >= half && x <= width && y >= 0 && y <= height ? 1 : 0;
    hover.symbol = x >= SYMBOL_LEFT && x < SYMBOL_LEFT + SYMBOL_WIDTH && y >= SYMBOL_TOP &&
                           y < SYMBOL_TOP + SYMBOL_HEIGHT
                       ? 1
                       : 0;
    return hover;
}

int32_t progressBarLength(int32_t surfaceWidth) {
    return surfaceWidth / 2 - 12;
}

int32_t progressPlayedEnd(uint64_t position, uint64_t length, int32_t barLength) {
    if (length == 0) return PROGRESS_LEFT;
    if (position >= length) return PROGRESS_LEFT + barLength;
    double played = double(position) / double(length) * double(barLength);
    return PROGRESS_LEFT + int32_t(played);
}

int32_t progressPreviewEnd(float fraction, int32_t barLength) {
    return PROGRESS_LEFT + int32_t(float(barLength) * fraction);
}

bool seekTargetFrame(float fraction, uint64_t length, uint64_t* target) {
    if (length == 0) return false;
    // A fraction outside 0..1 (or not a number) must not reach the integer conversion.
    double f = fraction > 0.0f ? double(fraction) : 0.0;
    double frame = f * double(length);
    *target = frame >= double(length) ? length - 1 : uint64_t(frame);
    return true;
}

PopupReadout alarmReadout(uint32_t hour, uint32_t minute, uint32_t second, uint32_t flags) {
    PopupReadout r = {};
    r.clock.hour = uint16_t(hour);
    r.clock.minute = uint16_t(minute);
    r.clock.second = uint16_t(second);
    if (flags & POPUP_12_HOUR) r.timeFormat = (flags & POPUP_HOURS_FROM_ZERO) ? 2 : 1;
    return r;
}

PopupReadout playTimeReadout(uint64_t positionMs, uint64_t lengthMs, uint32_t flags) {
    uint64_t t = positionMs;
    if (flags & POPUP_REMAINING_TIME) t = positionMs < lengthMs ? lengthMs - positionMs : 0;
    PopupReadout r = {};
    r.clock.hour = uint16_t((t / MS_PER_HOUR) % 100);
    r.clock.minute = uint16_t((t / MS_PER_MINUTE) % 60);
    r.clock.second = uint16_t((t / MS_PER_SECOND) % 60);
    return r;
}

int32_t initialPlays(const AlarmEntry& entry) {
    if (entry.flags & ALARM_LOOP) return 0;
    return int32_t(entry.playTimes);
}

bool countFinishedPlay(int32_t* remainingPlays) {
    if (*remainingPlays == 0) return false;
    *remainingPlays -= 1;
    return *remainingPlays == 0;
}

int32_t analyzerWindowFor(int32_t mode, uint32_t flags) {
    if (mode == VISUAL_OSCILLOSCOPE)
        return (flags & POPUP_HAMMING) ? WINDOW_HAMMING : WINDOW_RECTANGULAR;
    return WINDOW_HAMMING;
}

int32_t toggledVisualMode(int32_t mode) {
    return mode == VISUAL_OSCILLOSCOPE ? VISUAL_SPECTRUM : VISUAL_OSCILLOSCOPE;
}

uint32_t flagsAfterSettingsChange(uint32_t flags, const WatchSettings* settings) {
    return (flags & ~POPUP_PLAYER_OPTIONS) | popupPlayerOptions(settings);
}
