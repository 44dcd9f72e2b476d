#include "player/sound_test_entry.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<char16> pathOf(size_t units) {
    std::vector<char16> path(units + 1, char16('a'));
    path[units] = 0;
    return path;
}

const SystemTime DROP_TIME = {2026, 12, 3, 9, 21, 4, 55, 123};

TEST(SoundTestEntry, DroppedFileWithRandomSymbolAndTheDropTime) {
    const char16 path[] = {'C', ':', '\\', 'a', '.', 'w', 'a', 'v', 0};
    AlarmEntry e;
    ASSERT_TRUE(soundTestEntry(path, 7 * 11 + 4, 10, DROP_TIME, 2, &e));
    EXPECT_EQ(e.symbol, 4u);
    EXPECT_EQ(e.visualMode, VISUAL_SPECTRUM);
    EXPECT_EQ(e.hour, 21u);
    EXPECT_EQ(e.minute, 4u);
    EXPECT_EQ(e.second, 55u);
    EXPECT_EQ(e.playTimes, 2u);
    EXPECT_EQ(e.flags, 0u);
    EXPECT_EQ(e.days, 0u);
    EXPECT_EQ(std::char_traits<char16>::compare(e.soundFile, path, 9), 0);
    ASSERT_TRUE(soundTestEntry(path, 6, 13, DROP_TIME, 2, &e));
    EXPECT_EQ(e.symbol, 6u);
    EXPECT_EQ(e.visualMode, VISUAL_OSCILLOSCOPE);
}

TEST(SoundTestEntry, PlayCountZeroLoopsOthersCount) {
    const char16 path[] = {'x', 0};
    AlarmEntry e;
    ASSERT_TRUE(soundTestEntry(path, 0, 0, DROP_TIME, 0, &e));
    EXPECT_EQ(e.flags, ALARM_LOOP);
    EXPECT_EQ(e.playTimes, 0u);
    applyPlayCount(&e, 3);
    EXPECT_EQ(e.flags, 0u);
    EXPECT_EQ(e.playTimes, 3u);
    e.flags = ALARM_ENABLED | ALARM_REPEAT;
    applyPlayCount(&e, 0);
    EXPECT_EQ(e.flags, ALARM_ENABLED | ALARM_REPEAT | ALARM_LOOP);
    applyPlayCount(&e, 1);
    EXPECT_EQ(e.flags, ALARM_ENABLED | ALARM_REPEAT);
}

TEST(SoundTestEntry, LongestPathFitsOneMoreIsRefusedNotCut) {
    AlarmEntry e = {};
    e.playTimes = 99;
    std::vector<char16> longest = pathOf(PATH_UNITS - 1);
    ASSERT_TRUE(soundTestEntry(longest.data(), 0, 0, DROP_TIME, 1, &e));
    EXPECT_EQ(e.soundFile[PATH_UNITS - 2], char16('a'));
    EXPECT_EQ(e.soundFile[PATH_UNITS - 1], 0);
    AlarmEntry untouched = {};
    untouched.playTimes = 99;
    std::vector<char16> tooLong = pathOf(PATH_UNITS);
    EXPECT_FALSE(soundTestEntry(tooLong.data(), 0, 0, DROP_TIME, 1, &untouched));
    EXPECT_EQ(untouched.playTimes, 99u);
}

} // namespace
