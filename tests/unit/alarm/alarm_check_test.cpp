// The timer's alarm check: one evaluation per second of the clock, the copy that rings and the
// next alarm the face shows.
#include "alarm/alarm_check.h"

#include "tests/unit/alarm/alarm_test_support.h"

namespace {

class AlarmCheck : public AlarmListTest {
  protected:
    // One timer tick at `now`; true when an alarm rings.
    bool tick(const SystemTime& now) { return runAlarmCheck(list, now, &last, &next, &ringing); }

    SystemTime last = {};
    AlarmEntry next = {};
    AlarmEntry ringing = {};
};

TEST_F(AlarmCheck, TenTicksInOneSecondEvaluateItOnce) {
    setAlarms({alarmAt(12, 0, 0)});
    int rang = 0;
    for (uint16_t ms = 0; ms < 1000; ms += 100)
        rang += tick(clockAt(MONDAY, 12, 0, 0, ms)) ? 1 : 0;
    EXPECT_EQ(rang, 1);
    EXPECT_FALSE(tick(clockAt(MONDAY, 12, 0, 1)));
    EXPECT_EQ(last.second, 1);
}

TEST_F(AlarmCheck, AlarmDueInTheFirstSecondAfterStartRings) {
    setAlarms({alarmAt(0, 0, 0)});
    EXPECT_TRUE(tick(clockAt(MONDAY, 0, 0, 0, 400)));
    EXPECT_FALSE(tick(clockAt(MONDAY, 0, 0, 0, 500)));
}

TEST_F(AlarmCheck, RingingCopyNeverLoopsAndPlaysAtLeastOnce) {
    AlarmEntry looping = alarmAt(12, 0, 0, ALARM_ENABLED | ALARM_REPEAT | ALARM_LOOP);
    looping.playTimes = 0;
    looping.symbol = 5;
    setSoundFile(&looping, U16("bell.wav"));
    setAlarms({looping});
    ASSERT_TRUE(tick(clockAt(MONDAY, 12, 0, 0)));
    EXPECT_EQ(ringing.flags, ALARM_ENABLED | ALARM_REPEAT);
    EXPECT_EQ(ringing.playTimes, 1u);
    EXPECT_EQ(ringing.symbol, 5u);
    EXPECT_EQ(Text16(ringing.soundFile), U16("bell.wav"));
    EXPECT_EQ(list->entries[0].flags & ALARM_LOOP, ALARM_LOOP) << "the list keeps its own alarm";

    AlarmEntry three = alarmAt(0, 0, 0);
    three.playTimes = 3;
    EXPECT_EQ(ringingCopy(three).playTimes, 3u);
}

TEST_F(AlarmCheck, NextAlarmFollowsTheListAndIsZeroWithoutOne) {
    EXPECT_FALSE(tick(clockAt(MONDAY, 8, 0, 0)));
    EXPECT_EQ(next.flags, 0u);
    EXPECT_EQ(next.symbol, 0u);

    AlarmEntry armed = alarmAt(9, 0, 0);
    armed.symbol = 3;
    setAlarms({armed});
    EXPECT_FALSE(tick(clockAt(MONDAY, 8, 0, 0, 900))) << "same second: nothing is asked";
    EXPECT_EQ(next.flags, 0u);
    EXPECT_FALSE(tick(clockAt(MONDAY, 8, 0, 1)));
    EXPECT_EQ(next.flags, ALARM_ENABLED | ALARM_REPEAT);
    EXPECT_EQ(next.symbol, 3u);
    EXPECT_EQ(next.dueOffset, 9u * 3600);

    setAlarms({});
    EXPECT_FALSE(tick(clockAt(MONDAY, 8, 0, 2)));
    EXPECT_EQ(next.flags, 0u);
    EXPECT_EQ(next.symbol, 0u);
}

TEST_F(AlarmCheck, OneShotAlarmThatRangIsNoLongerNextAndIsDisarmedInTheFile) {
    AlarmEntry once = alarmAt(12, 0, 0, ALARM_ENABLED);
    once.symbol = 1;
    AlarmEntry later = alarmAt(18, 0, 0);
    later.symbol = 6;
    setAlarms({once, later});
    ASSERT_TRUE(tick(clockAt(MONDAY, 12, 0, 0)));
    EXPECT_EQ(ringing.symbol, 1u);
    EXPECT_EQ(next.symbol, 6u);
    AlarmList* saved = reload();
    ASSERT_EQ(saved->count, 2u);
    EXPECT_EQ(saved->entries[0].flags, 0u);
    AlarmList::destroy(saved);
    EXPECT_FALSE(tick(clockAt(TUESDAY, 12, 0, 0)));
}

TEST_F(AlarmCheck, ClockSetBackRingsAgainAndSetForwardSkipsTheAlarm) {
    setAlarms({alarmAt(12, 0, 0), alarmAt(13, 0, 0)});
    EXPECT_TRUE(tick(clockAt(MONDAY, 12, 0, 0)));
    EXPECT_FALSE(tick(clockAt(MONDAY, 12, 0, 1)));
    EXPECT_TRUE(tick(clockAt(MONDAY, 12, 0, 0)));
    EXPECT_FALSE(tick(clockAt(MONDAY, 12, 59, 59)));
    EXPECT_FALSE(tick(clockAt(MONDAY, 13, 0, 1)));
    EXPECT_EQ(next.hour, 12u);
    EXPECT_EQ(next.dueOffset, 12u * 3600 + 86400);
}

TEST(AlarmCheckWithoutList, NothingRingsAndNoAlarmIsNext) {
    SystemTime last = {};
    AlarmEntry next = alarmAt(1, 2, 3);
    AlarmEntry ringing = {};
    EXPECT_FALSE(runAlarmCheck(nullptr, clockAt(MONDAY, 1, 2, 3), &last, &next, &ringing));
    EXPECT_EQ(next.flags, 0u);
    EXPECT_EQ(next.hour, 0u);
}

} // namespace
