// The timer's alarm check: one evaluation per second of the clock, the seconds a stall or a sleep
// hid caught up within their bounds and those the user set the clock over not, the copy that
// rings and the next alarm the face shows. The clocks are inputs; nothing here waits.
#include "alarm/alarm_check.h"

#include <vector>

#include "tests/unit/alarm/alarm_test_support.h"

namespace {

// Milliseconds of a December 2026 wall time, for an uptime that keeps pace with the wall clock.
uint64_t paceMs(const SystemTime& t) {
    return ((((uint64_t(t.day) * 24 + t.hour) * 60 + t.minute) * 60) + t.second) * 1000 +
           t.milliseconds;
}

ClockSample sample(const SystemTime& wall, uint64_t awakeMs, uint64_t sleptMs = 0) {
    return ClockSample{wall, awakeMs, sleptMs};
}

void collect(void* context, const AlarmEntry& alarm) {
    static_cast<std::vector<AlarmEntry>*>(context)->push_back(alarm);
}

class AlarmCheck : public AlarmListTest {
  protected:
    // One timer tick; returns whether an alarm rang, the last one rung in `ringing`.
    bool tick(const ClockSample& now) {
        rung.clear();
        uint32_t count = runAlarmCheck(list, now, &state, &next, collect, &rung);
        EXPECT_EQ(count, rung.size());
        if (!rung.empty()) ringing = rung.back();
        return count > 0;
    }
    // A tick while the uptime keeps pace with the wall clock.
    bool tick(const SystemTime& wall) { return tick(sample(wall, paceMs(wall))); }

    AlarmCheckState state = {};
    AlarmEntry next = {};
    AlarmEntry ringing = {};
    std::vector<AlarmEntry> rung;
};

TEST_F(AlarmCheck, TenTicksInOneSecondEvaluateItOnce) {
    setAlarms({alarmAt(12, 0, 0)});
    int rang = 0;
    for (uint16_t ms = 0; ms < 1000; ms += 100)
        rang += tick(clockAt(MONDAY, 12, 0, 0, ms)) ? 1 : 0;
    EXPECT_EQ(rang, 1);
    EXPECT_FALSE(tick(clockAt(MONDAY, 12, 0, 1)));
    EXPECT_EQ(state.lastHandled.second, 1);
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
    uint64_t uptime = paceMs(clockAt(MONDAY, 12, 0, 1));
    EXPECT_TRUE(tick(sample(clockAt(MONDAY, 12, 0, 0), uptime + 200)));
    EXPECT_FALSE(tick(sample(clockAt(MONDAY, 13, 0, 1), uptime + 400)));
    EXPECT_EQ(next.hour, 12u);
    EXPECT_EQ(next.dueOffset, 12u * 3600 + 86400);
}

struct Gap {
    const char* what;
    SystemTime last;
    SystemTime now;
    uint64_t ranMs;
    uint64_t sleptMs;
    uint32_t seconds;
};

TEST(AlarmCheckGaps, StallsAndSleepsAreCaughtUpWithinBoundsAndClockChangesAreNot) {
    const Gap gaps[] = {
        {"same second", clockAt(MONDAY, 12, 0, 0, 100), clockAt(MONDAY, 12, 0, 0, 900), 800, 0, 0},
        {"next second", clockAt(MONDAY, 12, 0, 0), clockAt(MONDAY, 12, 0, 1), 1000, 0, 1},
        {"three-second stall", clockAt(MONDAY, 12, 0, 0, 50), clockAt(MONDAY, 12, 0, 3, 10), 2960,
         0, 3},
        {"stall over midnight", clockAt(MONDAY, 23, 59, 58), clockAt(TUESDAY, 0, 0, 1), 3000, 0, 3},
        {"twenty-minute stall", clockAt(MONDAY, 12, 0, 0), clockAt(MONDAY, 12, 20, 0), 1200000, 0,
         STALL_CATCH_UP_SECONDS + 1},
        {"clock set an hour forward", clockAt(MONDAY, 12, 0, 0), clockAt(MONDAY, 13, 0, 0), 100, 0,
         1},
        {"clock set three seconds forward", clockAt(MONDAY, 12, 0, 0), clockAt(MONDAY, 12, 0, 3),
         100, 0, 1},
        {"clock set back", clockAt(MONDAY, 12, 0, 5), clockAt(MONDAY, 12, 0, 0), 100, 0, 1},
        {"clock set back a day", clockAt(TUESDAY, 12, 0, 0), clockAt(MONDAY, 12, 0, 0), 100, 0, 1},
        {"eight minutes asleep", clockAt(MONDAY, 12, 0, 0), clockAt(MONDAY, 12, 8, 0), 300, 479700,
         480},
        {"an hour asleep, clock corrected at resume", clockAt(MONDAY, 12, 0, 0),
         clockAt(MONDAY, 13, 0, 9), 300, 3600000, RESUME_CATCH_UP_SECONDS + 1},
    };
    for (const Gap& gap : gaps) {
        AlarmCheckState state = {gap.last, 5000, 700};
        ClockSample now = sample(gap.now, 5000 + gap.ranMs, 700 + gap.sleptMs);
        EXPECT_EQ(secondsToEvaluate(state, now), gap.seconds) << gap.what;
    }
    EXPECT_EQ(secondsToEvaluate(AlarmCheckState{}, sample(clockAt(MONDAY, 0, 0, 0), 0)), 1u)
        << "first check";
}

TEST_F(AlarmCheck, AlarmsSkippedByAStallRingInOrderWithTheirOwnWeekday) {
    AlarmEntry first = alarmAt(23, 59, 59);
    first.symbol = 1;
    AlarmEntry second = alarmAt(0, 0, 1, ALARM_ENABLED | ALARM_REPEAT, 1u << 1); // Tuesday only
    second.symbol = 2;
    AlarmEntry mondayOnly = alarmAt(0, 0, 2, ALARM_ENABLED | ALARM_REPEAT, 1u << 0);
    setAlarms({second, mondayOnly, first});
    EXPECT_FALSE(tick(clockAt(MONDAY, 23, 59, 58)));
    ASSERT_TRUE(tick(clockAt(TUESDAY, 0, 0, 3)));
    ASSERT_EQ(rung.size(), 2u);
    EXPECT_EQ(rung[0].symbol, 1u);
    EXPECT_EQ(rung[1].symbol, 2u);
    EXPECT_FALSE(tick(clockAt(TUESDAY, 0, 0, 4)));
}

// A snooze is the next alarm while it comes first, and rings once at its time as it rang.
TEST_F(AlarmCheck, SnoozeIsNextWhileItComesFirstAndRingsOnceAtItsTime) {
    AlarmEntry once = alarmAt(12, 0, 0, ALARM_ENABLED);
    once.symbol = 4;
    once.playTimes = 2;
    AlarmEntry later = alarmAt(18, 0, 0);
    setAlarms({once, later});
    ASSERT_TRUE(tick(clockAt(MONDAY, 12, 0, 0)));
    ASSERT_TRUE(list->addSnooze(ringing, clockAt(MONDAY, 12, 5, 0)));
    EXPECT_FALSE(tick(clockAt(MONDAY, 12, 0, 1)));
    EXPECT_EQ(next.symbol, 4u);
    EXPECT_EQ(next.flags & ALARM_ENABLED, ALARM_ENABLED) << "the face shows armed alarms only";
    EXPECT_EQ(next.dueOffset, 12u * 3600 + 5 * 60);
    EXPECT_FALSE(tick(clockAt(MONDAY, 12, 4, 59)));
    ASSERT_TRUE(tick(clockAt(MONDAY, 12, 5, 0)));
    EXPECT_EQ(ringing.symbol, 4u);
    EXPECT_EQ(ringing.playTimes, 2u);
    EXPECT_EQ(next.hour, 18u);
    EXPECT_FALSE(tick(clockAt(MONDAY, 12, 5, 1)));
}

// Missed while the program was not running: rung up to ten minutes late, dropped after. One
// further ahead than any snooze time was made before the clock was set back: it rings now.
TEST_F(AlarmCheck, SnoozeRingsLateWithinItsBoundAndAtOnceAfterTheClockWasSetBack) {
    setAlarms({alarmAt(6, 0, 0)});
    AlarmEntry a = alarmAt(6, 0, 0);
    a.symbol = 1;
    AlarmEntry b = a;
    b.symbol = 2;
    AlarmEntry c = a;
    c.symbol = 3;
    list->addSnooze(a, clockAt(MONDAY, 7, 50, 0));
    list->addSnooze(b, clockAt(MONDAY, 7, 59, 0));
    list->addSnooze(c, clockAt(MONDAY, 10, 0, 0));
    ASSERT_TRUE(tick(clockAt(MONDAY, 8, 0, 30)));
    ASSERT_EQ(rung.size(), 2u);
    EXPECT_EQ(rung[0].symbol, 2u);
    EXPECT_EQ(rung[1].symbol, 3u);
    EXPECT_EQ(list->snoozeCount, 0u);
}

TEST(AlarmCheckWithoutList, NothingRingsAndNoAlarmIsNext) {
    AlarmCheckState state = {};
    AlarmEntry next = alarmAt(1, 2, 3);
    std::vector<AlarmEntry> rung;
    EXPECT_EQ(
        runAlarmCheck(nullptr, sample(clockAt(MONDAY, 1, 2, 3), 0), &state, &next, collect, &rung),
        0u);
    EXPECT_TRUE(rung.empty());
    EXPECT_EQ(next.flags, 0u);
    EXPECT_EQ(next.hour, 0u);
}

} // namespace
