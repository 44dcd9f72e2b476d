#include "player/popup_layout.h"

#include "alarm/alarm_entry.h"
#include "settings/settings.h"
#include "player/popup_options.h"
#include "player/spectrum_analyzer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr int32_t POPUP_WIDTH = 280;
constexpr int32_t POPUP_HEIGHT = 51;
constexpr int32_t WATCH_PANEL = 149;

TEST(PopupPlacement, OpensOnTheSideWithMoreRoom) {
    // Work area 1280 wide: a watch whose middle lies left of 640 gets the popup on its right.
    Rect left = {100, 200, 400, 500};
    Point p = popupPosition(left, 1280, WATCH_PANEL, POPUP_WIDTH, 20, 30);
    EXPECT_EQ(p.x, 100 + WATCH_PANEL + 20);
    EXPECT_EQ(p.y, 230);
    Rect right = {900, 200, 1200, 500};
    p = popupPosition(right, 1280, WATCH_PANEL, POPUP_WIDTH, 20, 30);
    EXPECT_EQ(p.x, 900 - POPUP_WIDTH + 20);
    EXPECT_EQ(p.y, 230);
}

TEST(PopupPlacement, AWatchCentredExactlyOpensToTheLeft) {
    Rect centred = {540, 0, 740, 100}; // middle 640 = half of 1280
    EXPECT_EQ(popupPosition(centred, 1280, WATCH_PANEL, POPUP_WIDTH, 0, 0).x, 540 - POPUP_WIDTH);
    Rect justLeft = {539, 0, 739, 100};
    EXPECT_EQ(popupPosition(justLeft, 1280, WATCH_PANEL, POPUP_WIDTH, 0, 0).x, 539 + WATCH_PANEL);
}

TEST(PopupHover, ProgressBarBandAndItsFraction) {
    // The bar runs from column 6 to column 134 (W / 2 - 6) on rows 43..47 from the top.
    PopupHover h = popupHoverAt(6, 43, POPUP_WIDTH, POPUP_HEIGHT);
    EXPECT_EQ(h.seek, 1);
    EXPECT_FLOAT_EQ(h.seekFraction, 0.0f);
    h = popupHoverAt(134, 47, POPUP_WIDTH, POPUP_HEIGHT);
    EXPECT_EQ(h.seek, 1);
    EXPECT_FLOAT_EQ(h.seekFraction, 1.0f);
    h = popupHoverAt(70, 45, POPUP_WIDTH, POPUP_HEIGHT);
    EXPECT_FLOAT_EQ(h.seekFraction, 64.0f / 128.0f);
    EXPECT_EQ(h.visual, 0);
    for (auto outside : {Point{5, 45}, Point{135, 45}, Point{70, 42}, Point{70, 48}}) {
        h = popupHoverAt(outside.x, outside.y, POPUP_WIDTH, POPUP_HEIGHT);
        EXPECT_EQ(h.seek, 0) << outside.x << "," << outside.y;
        EXPECT_EQ(h.seekFraction, 0.0f);
    }
}

TEST(PopupHover, VisualizerHalfIncludesItsEdges) {
    EXPECT_EQ(popupHoverAt(140, 0, POPUP_WIDTH, POPUP_HEIGHT).visual, 1);
    EXPECT_EQ(popupHoverAt(280, 51, POPUP_WIDTH, POPUP_HEIGHT).visual, 1);
    EXPECT_EQ(popupHoverAt(139, 20, POPUP_WIDTH, POPUP_HEIGHT).visual, 0);
    EXPECT_EQ(popupHoverAt(200, -1, POPUP_WIDTH, POPUP_HEIGHT).visual, 0);
    EXPECT_EQ(popupHoverAt(281, 20, POPUP_WIDTH, POPUP_HEIGHT).visual, 0);
}

TEST(PopupHover, ATooNarrowPopupHasNoBarToDivideBy) {
    PopupHover h = popupHoverAt(6, 20, 24, 28);
    EXPECT_EQ(h.seek, 1);
    EXPECT_FALSE(std::isnan(h.seekFraction));
}

TEST(ProgressBar, PlayedPartFollowsThePosition) {
    int32_t length = progressBarLength(POPUP_WIDTH);
    EXPECT_EQ(length, 128);
    EXPECT_EQ(progressPlayedEnd(0, 1000, length), 6);
    EXPECT_EQ(progressPlayedEnd(500, 1000, length), 6 + 64);
    EXPECT_EQ(progressPlayedEnd(999, 1000, length), 6 + 127);
    EXPECT_EQ(progressPlayedEnd(1000, 1000, length), 6 + 128);
}

TEST(ProgressBar, UnknownLengthOrPositionPastTheEndStaysOnTheBar) {
    EXPECT_EQ(progressPlayedEnd(0, 0, 128), 6);
    EXPECT_EQ(progressPlayedEnd(77, 0, 128), 6);
    EXPECT_EQ(progressPlayedEnd(5000, 1000, 128), 6 + 128);
    EXPECT_EQ(progressPlayedEnd(UINT64_MAX, UINT64_MAX - 1, 128), 6 + 128);
}

TEST(ProgressBar, PreviewEndsUnderTheCursor) {
    EXPECT_EQ(progressPreviewEnd(0.0f, 128), 6);
    EXPECT_EQ(progressPreviewEnd(0.5f, 128), 70);
    EXPECT_EQ(progressPreviewEnd(1.0f, 128), 134);
}

TEST(SeekTarget, FarRightEndSeeksToTheLastFrameNeverPastIt) {
    uint64_t target = 0;
    ASSERT_TRUE(seekTargetFrame(1.0f, 48000, &target));
    EXPECT_EQ(target, 47999u);
    ASSERT_TRUE(seekTargetFrame(0.5f, 48000, &target));
    EXPECT_EQ(target, 24000u);
    ASSERT_TRUE(seekTargetFrame(0.0f, 48000, &target));
    EXPECT_EQ(target, 0u);
    ASSERT_TRUE(seekTargetFrame(1.0f, 1, &target));
    EXPECT_EQ(target, 0u);
}

TEST(SeekTarget, EmptyStreamOrBadFractionNeverSeeksOutside) {
    uint64_t target = 1234;
    EXPECT_FALSE(seekTargetFrame(0.5f, 0, &target));
    EXPECT_EQ(target, 1234u);
    ASSERT_TRUE(seekTargetFrame(-0.25f, 1000, &target));
    EXPECT_EQ(target, 0u);
    ASSERT_TRUE(seekTargetFrame(std::numeric_limits<float>::quiet_NaN(), 1000, &target));
    EXPECT_EQ(target, 0u);
    ASSERT_TRUE(seekTargetFrame(7.0f, 1000, &target));
    EXPECT_EQ(target, 999u);
    ASSERT_TRUE(seekTargetFrame(1.0f, UINT64_MAX, &target));
    EXPECT_EQ(target, UINT64_MAX - 1);
}

struct AlarmReadoutCase {
    uint32_t hour;
    uint32_t flags;
    uint16_t shownHour;
    int32_t timeFormat;
};

TEST(PopupReadout, AlarmTimeInTheChosenForm) {
    const AlarmReadoutCase cases[] = {
        {0, 0, 0, 0},                   // 24-hour: blank tens, no mark
        {0, 2, 0, 1},                   // 12-hour: hour 0 reads 12 AM (the face's format 1)
        {0, 6, 0, 2},                   // hours from zero: 0 AM
        {13, 0, 13, 0},                 // 24-hour afternoon
        {13, 2, 13, 1},                 // 12-hour: the face subtracts 12 and marks PM
        {13, 6, 13, 2}, {12, 4, 12, 0}, // the zero-hours bit alone means nothing
    };
    for (const AlarmReadoutCase& c : cases) {
        PopupReadout r = alarmReadout(c.hour, 15, 7, c.flags);
        EXPECT_EQ(r.clock.hour, c.shownHour) << c.hour << " " << c.flags;
        EXPECT_EQ(r.clock.minute, 15);
        EXPECT_EQ(r.clock.second, 7);
        EXPECT_EQ(r.timeFormat, c.timeFormat) << c.hour << " " << c.flags;
    }
}

TEST(PopupReadout, ElapsedAndRemainingPlayTime) {
    const uint64_t elapsed = 3600000 + 2 * 60000 + 3 * 1000 + 999; // 1:02:03.999
    PopupReadout r = playTimeReadout(elapsed, 2 * 3600000, POPUP_SOUND_TEST);
    EXPECT_EQ(r.clock.hour, 1);
    EXPECT_EQ(r.clock.minute, 2);
    EXPECT_EQ(r.clock.second, 3);
    EXPECT_EQ(r.timeFormat, 0);
    r = playTimeReadout(elapsed, 2 * 3600000, POPUP_SOUND_TEST | POPUP_REMAINING_TIME);
    EXPECT_EQ(r.clock.hour, 0);
    EXPECT_EQ(r.clock.minute, 57);
    EXPECT_EQ(r.clock.second, 56);
    r = playTimeReadout(5000, 5000, POPUP_SOUND_TEST | POPUP_REMAINING_TIME);
    EXPECT_EQ(r.clock.hour + r.clock.minute + r.clock.second, 0);
}

TEST(PopupReadout, RemainingTimeNeverWrapsAndLongHoursKeepTwoDigits) {
    PopupReadout r = playTimeReadout(6000, 5000, POPUP_REMAINING_TIME);
    EXPECT_EQ(r.clock.hour, 0);
    EXPECT_EQ(r.clock.minute, 0);
    EXPECT_EQ(r.clock.second, 0);
    r = playTimeReadout(uint64_t(123) * 3600000, 0, 0);
    EXPECT_EQ(r.clock.hour, 23);
    // The alarm readout flags do not touch the play time.
    EXPECT_EQ(playTimeReadout(0, 0, POPUP_12_HOUR).timeFormat, 0);
}

AlarmEntry entryWith(uint32_t flags, uint32_t playTimes) {
    AlarmEntry e = {};
    e.flags = flags;
    e.playTimes = playTimes;
    return e;
}

// Plays until the popup closes; -1 when it is still open after `limit` ends.
int playsUntilClosed(int32_t remaining, int limit = 100) {
    for (int plays = 1; plays <= limit; ++plays)
        if (countFinishedPlay(&remaining)) return plays;
    return -1;
}

TEST(PlayCounting, CountedPlaysCloseAfterTheLastOne) {
    EXPECT_EQ(playsUntilClosed(initialPlays(entryWith(ALARM_ENABLED, 1))), 1);
    EXPECT_EQ(playsUntilClosed(initialPlays(entryWith(ALARM_ENABLED, 2))), 2);
    EXPECT_EQ(playsUntilClosed(initialPlays(entryWith(0, 3))), 3);
}

TEST(PlayCounting, LoopingOrZeroPlaysNeverClose) {
    EXPECT_EQ(initialPlays(entryWith(ALARM_LOOP, 3)), 0);
    EXPECT_EQ(playsUntilClosed(initialPlays(entryWith(ALARM_LOOP, 3))), -1);
    EXPECT_EQ(playsUntilClosed(initialPlays(entryWith(0, 0))), -1);
    int32_t remaining = 0;
    EXPECT_FALSE(countFinishedPlay(&remaining));
    EXPECT_EQ(remaining, 0);
}

TEST(AnalyzerWindow, SpectrumAlwaysHammingScopeOnlyWithTheBit) {
    EXPECT_EQ(analyzerWindowFor(VISUAL_SPECTRUM, 0), WINDOW_HAMMING);
    EXPECT_EQ(analyzerWindowFor(VISUAL_SPECTRUM, POPUP_HAMMING), WINDOW_HAMMING);
    EXPECT_EQ(analyzerWindowFor(VISUAL_OSCILLOSCOPE, 0), WINDOW_RECTANGULAR);
    EXPECT_EQ(analyzerWindowFor(VISUAL_OSCILLOSCOPE, POPUP_HAMMING), WINDOW_HAMMING);
    EXPECT_EQ(toggledVisualMode(VISUAL_SPECTRUM), VISUAL_OSCILLOSCOPE);
    EXPECT_EQ(toggledVisualMode(VISUAL_OSCILLOSCOPE), VISUAL_SPECTRUM);
}

TEST(SettingsChange, PlayerBitsFollowTheSettingsOthersStay) {
    WatchSettings settings = {};
    settings.peak = 1;
    uint32_t before = POPUP_SOUND_TEST | POPUP_REMAINING_TIME | POPUP_SMOOTH;
    EXPECT_EQ(flagsAfterSettingsChange(before, &settings), POPUP_SOUND_TEST | POPUP_PEAK);
    before = POPUP_12_HOUR | POPUP_HOURS_FROM_ZERO | POPUP_HAMMING;
    EXPECT_EQ(flagsAfterSettingsChange(before, nullptr), POPUP_12_HOUR | POPUP_HOURS_FROM_ZERO);
}

} // namespace
