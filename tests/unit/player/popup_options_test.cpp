#include "player/popup_options.h"

#include "settings/settings.h"

#include <gtest/gtest.h>

namespace {

TEST(PopupOptions, WithoutSettingsOnlyTheSoundTestBitRemains) {
    EXPECT_EQ(alarmPopupOptions(nullptr), 0u);
    EXPECT_EQ(soundTestPopupOptions(nullptr), POPUP_SOUND_TEST);
}

TEST(PopupOptions, TimeFormatReachesAlarmsButNotTheSoundTest) {
    WatchSettings settings = {};
    settings.timeFormat = 1;
    EXPECT_EQ(alarmPopupOptions(&settings), 0x2u);
    settings.timeFormat = 2;
    EXPECT_EQ(alarmPopupOptions(&settings), 0x6u);
    settings.timeFormat = 7;
    EXPECT_EQ(alarmPopupOptions(&settings), 0u);
    settings.timeFormat = 2;
    EXPECT_EQ(soundTestPopupOptions(&settings), 0x1u);
}

TEST(PopupOptions, EachPlayerSettingSetsItsOwnBit) {
    WatchSettings settings = {};
    settings.playerTime = 1;
    EXPECT_EQ(popupPlayerOptions(&settings), 0x8u);
    settings = {};
    settings.hammingWindow = 5;
    EXPECT_EQ(popupPlayerOptions(&settings), 0x10u);
    settings = {};
    settings.peak = 1;
    EXPECT_EQ(popupPlayerOptions(&settings), 0x20u);
    settings = {};
    settings.smooth = -1;
    EXPECT_EQ(popupPlayerOptions(&settings), 0x40u);
    settings = {};
    settings.playerTime = settings.hammingWindow = settings.peak = settings.smooth = 1;
    EXPECT_EQ(alarmPopupOptions(&settings), POPUP_PLAYER_OPTIONS);
    EXPECT_EQ(soundTestPopupOptions(&settings), POPUP_PLAYER_OPTIONS | POPUP_SOUND_TEST);
}

} // namespace
