// The alarm list in memory: weekday bits, the alarm due now, the next alarm, the dialog's rows.
#include "alarm/alarm_list.h"

#include "alarm/alarm_check.h"

#include "tests/unit/alarm/alarm_test_support.h"

namespace {

TEST(AlarmDayBit, MondayIsBitZeroAndSundayBitSixWhateverTheWeekdayFieldSays) {
    EXPECT_EQ(alarmDayBit(clockAt(MONDAY, 0, 0, 0)), 0u);
    EXPECT_EQ(alarmDayBit(clockAt(TUESDAY, 0, 0, 0)), 1u);
    EXPECT_EQ(alarmDayBit(clockAt(SATURDAY, 0, 0, 0)), 5u);
    EXPECT_EQ(alarmDayBit(clockAt(SUNDAY, 0, 0, 0)), 6u);
    SystemTime newYear = {2027, 1, 0, 1, 0, 0, 0, 0}; // a Friday
    EXPECT_EQ(alarmDayBit(newYear), 4u);
}

TEST(AlarmListCreate, StartsEmptyWithTheWorkingDirectoryAsBaseFolder) {
    AlarmList* list = AlarmList::create();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count, 0u);
    EXPECT_EQ(list->entries, nullptr);
    char16 cwd[PATH_UNITS];
    size_t length = platformCurrentDirectory(cwd, PATH_UNITS);
    ASSERT_GT(length, 0u);
    Text16 base(list->baseDir);
    EXPECT_EQ(base.size(), list->baseDirLength);
    EXPECT_EQ(base.substr(0, length), Text16(cwd));
    ASSERT_EQ(base.size(), length + 1);
    EXPECT_TRUE(base.back() == U16('\\') || base.back() == U16('/'));
    AlarmList::destroy(list);
    AlarmList::destroy(nullptr);
}

using MatchNow = AlarmListTest;

TEST_F(MatchNow, EveryDayAlarmMatchesOnItsSecondOnAnyDayOnly) {
    setAlarms({alarmAt(7, 0, 0)});
    AlarmEntry out = {};
    for (uint16_t day : {MONDAY, SATURDAY, SUNDAY})
        EXPECT_TRUE(list->matchNow(clockAt(day, 7, 0, 0), &out)) << day;
    EXPECT_FALSE(list->matchNow(clockAt(MONDAY, 7, 0, 1), &out));
    EXPECT_FALSE(list->matchNow(clockAt(MONDAY, 6, 59, 59), &out));
    EXPECT_FALSE(list->matchNow(clockAt(MONDAY, 19, 0, 0), &out));
}

TEST_F(MatchNow, WeekdayMaskLimitsTheDays) {
    setAlarms({alarmAt(7, 0, 0, ALARM_ENABLED | ALARM_REPEAT, DAY_MONDAY | DAY_SUNDAY)});
    EXPECT_TRUE(list->matchNow(clockAt(MONDAY, 7, 0, 0), nullptr));
    EXPECT_TRUE(list->matchNow(clockAt(SUNDAY, 7, 0, 0), nullptr));
    EXPECT_FALSE(list->matchNow(clockAt(TUESDAY, 7, 0, 0), nullptr));
    EXPECT_FALSE(list->matchNow(clockAt(SATURDAY, 7, 0, 0), nullptr));
}

TEST_F(MatchNow, OnlyTheFirstArmedAlarmOfTheSecondIsReported) {
    AlarmEntry disarmed = alarmAt(9, 15, 30, ALARM_REPEAT);
    disarmed.symbol = 1;
    AlarmEntry first = alarmAt(9, 15, 30);
    first.symbol = 2;
    AlarmEntry second = alarmAt(9, 15, 30);
    second.symbol = 3;
    setAlarms({disarmed, first, second});
    AlarmEntry out = {};
    ASSERT_TRUE(list->matchNow(clockAt(MONDAY, 9, 15, 30), &out));
    EXPECT_EQ(out.symbol, 2u);
}

TEST_F(MatchNow, OneShotAlarmIsDisarmedAndSavedBeforeItIsReported) {
    AlarmEntry once = alarmAt(12, 0, 0, ALARM_ENABLED);
    once.symbol = 4;
    setAlarms({alarmAt(1, 0, 0), once});
    AlarmEntry out = {};
    ASSERT_TRUE(list->matchNow(clockAt(MONDAY, 12, 0, 0), &out));
    EXPECT_EQ(out.symbol, 4u);
    EXPECT_EQ(out.flags, 0u);
    EXPECT_EQ(list->entries[1].flags, 0u);
    EXPECT_EQ(list->entries[0].flags, ALARM_ENABLED | ALARM_REPEAT);

    AlarmList* saved = reload();
    ASSERT_EQ(saved->count, 2u);
    EXPECT_EQ(saved->entries[1].flags, 0u);
    EXPECT_EQ(saved->entries[0].flags, ALARM_ENABLED | ALARM_REPEAT);
    AlarmList::destroy(saved);
    EXPECT_FALSE(list->matchNow(clockAt(TUESDAY, 12, 0, 0), &out));
}

TEST_F(MatchNow, RepeatingAlarmStaysArmedAndWritesNothing) {
    setAlarms({alarmAt(12, 0, 0)});
    AlarmEntry out = {};
    ASSERT_TRUE(list->matchNow(clockAt(MONDAY, 12, 0, 0), &out));
    EXPECT_EQ(out.flags, ALARM_ENABLED | ALARM_REPEAT);
    EXPECT_FALSE(exists(path));
    EXPECT_TRUE(list->matchNow(clockAt(TUESDAY, 12, 0, 0), &out));
}

TEST_F(MatchNow, WithoutAnOutOneShotAlarmIsOnlyReported) {
    setAlarms({alarmAt(12, 0, 0, ALARM_ENABLED)});
    EXPECT_TRUE(list->matchNow(clockAt(MONDAY, 12, 0, 0), nullptr));
    EXPECT_EQ(list->entries[0].flags, ALARM_ENABLED);
    EXPECT_FALSE(exists(path));
}

using FindNext = AlarmListTest;

// The dueOffset findNext reports for `alarms` at `now`, or -1 when it finds none.
int64_t nextOffset(AlarmList* list, const SystemTime& now) {
    AlarmEntry out = {};
    if (!list->findNext(now, &out)) return -1;
    return out.dueOffset;
}

TEST_F(FindNext, PassedTimeMovesToTheNextDayAndTheExactSecondCountsAsToday) {
    setAlarms({alarmAt(7, 0, 0)});
    EXPECT_EQ(nextOffset(list, clockAt(MONDAY, 8, 0, 0)), 7 * 3600 + 86400);
    EXPECT_EQ(nextOffset(list, clockAt(MONDAY, 7, 0, 0)), 7 * 3600);
    EXPECT_EQ(nextOffset(list, clockAt(MONDAY, 6, 0, 0)), 7 * 3600);
    setAlarms({alarmAt(8, 0, 0)});
    EXPECT_EQ(nextOffset(list, clockAt(MONDAY, 8, 0, 0)), 28800);
}

TEST_F(FindNext, WeekdaysCountForwardAcrossTheWeekEnd) {
    uint32_t t = 7 * 3600;
    setAlarms({alarmAt(7, 0, 0, ALARM_ENABLED, DAY_MONDAY)});
    EXPECT_EQ(nextOffset(list, clockAt(MONDAY, 8, 0, 0)), t + 7 * 86400);
    EXPECT_EQ(nextOffset(list, clockAt(SUNDAY, 8, 0, 0)), t + 86400);
    EXPECT_EQ(nextOffset(list, clockAt(TUESDAY, 6, 0, 0)), t + 6 * 86400);
    setAlarms({alarmAt(7, 0, 0, ALARM_ENABLED, DAY_SATURDAY | DAY_SUNDAY)});
    EXPECT_EQ(nextOffset(list, clockAt(SATURDAY, 8, 0, 0)), t + 86400);
    EXPECT_EQ(nextOffset(list, clockAt(SUNDAY, 8, 0, 0)), t + 6 * 86400);
}

TEST_F(FindNext, EarliestArmedAlarmWinsAndTiesGoToTheFirstInList) {
    AlarmEntry tomorrowEarly = alarmAt(6, 0, 0);
    tomorrowEarly.symbol = 1;
    AlarmEntry todayLate = alarmAt(22, 0, 0, ALARM_ENABLED, DAY_MONDAY);
    todayLate.symbol = 2;
    AlarmEntry todayLateToo = alarmAt(22, 0, 0);
    todayLateToo.symbol = 3;
    AlarmEntry disarmedSooner = alarmAt(10, 0, 0, ALARM_REPEAT);
    disarmedSooner.symbol = 4;
    setAlarms({tomorrowEarly, disarmedSooner, todayLate, todayLateToo});
    AlarmEntry out = {};
    ASSERT_TRUE(list->findNext(clockAt(MONDAY, 9, 0, 0), &out));
    EXPECT_EQ(out.symbol, 2u);
    EXPECT_EQ(out.dueOffset, 22u * 3600);
    ASSERT_TRUE(list->findNext(clockAt(MONDAY, 23, 0, 0), &out));
    EXPECT_EQ(out.symbol, 1u);
    EXPECT_EQ(out.dueOffset, 6u * 3600 + 86400);
    EXPECT_EQ(list->entries[0].dueOffset, 0u);
}

TEST_F(FindNext, NothingArmedOrNothingThatCanComeFindsNone) {
    EXPECT_EQ(nextOffset(list, clockAt(MONDAY, 8, 0, 0)), -1);
    setAlarms({alarmAt(7, 0, 0, ALARM_REPEAT)});
    EXPECT_EQ(nextOffset(list, clockAt(MONDAY, 8, 0, 0)), -1);
    // Hand-edited times past the end of a day never ring, so they are never the next alarm.
    setAlarms({alarmAt(25, 0, 0), alarmAt(7, 60, 0), alarmAt(7, 0, 60), alarmAt(0xFFFFFFFF, 0, 0)});
    EXPECT_EQ(nextOffset(list, clockAt(MONDAY, 8, 0, 0)), -1);
    setAlarms({alarmAt(25, 0, 0), alarmAt(23, 59, 59)});
    EXPECT_EQ(nextOffset(list, clockAt(MONDAY, 8, 0, 0)), 86399);
}

TEST_F(FindNext, DayBitsBeyondTheWeekAreIgnored) {
    setAlarms({alarmAt(7, 0, 0, ALARM_ENABLED, 0x80 | DAY_WEDNESDAY)});
    EXPECT_EQ(nextOffset(list, clockAt(MONDAY, 8, 0, 0)), 7 * 3600 + 2 * 86400);
    setAlarms({alarmAt(7, 0, 0, ALARM_ENABLED, 0x80)});
    EXPECT_FALSE(list->matchNow(clockAt(MONDAY, 7, 0, 0), nullptr));
    EXPECT_EQ(nextOffset(list, clockAt(MONDAY, 6, 0, 0)), -1);
}

using ApplyRows = AlarmListTest;

TEST_F(ApplyRows, ReplacesTheWholeListAndEmptiesIt) {
    setAlarms({alarmAt(1, 0, 0), alarmAt(2, 0, 0)});
    AlarmEntry rows[3] = {alarmAt(3, 0, 0), alarmAt(4, 0, 0, 0), alarmAt(5, 0, 0)};
    setSoundFile(&rows[2], U16("bell.wav"));
    ASSERT_TRUE(list->applyRows(rows, 3));
    ASSERT_EQ(list->count, 3u);
    EXPECT_EQ(list->entries[0].hour, 3u);
    EXPECT_EQ(list->entries[1].flags, 0u);
    EXPECT_EQ(Text16(list->entries[2].soundFile), U16("bell.wav"));
    rows[0].hour = 9;
    EXPECT_EQ(list->entries[0].hour, 3u) << "the list keeps its own copy";
    EXPECT_FALSE(list->matchNow(clockAt(MONDAY, 1, 0, 0), nullptr));

    ASSERT_TRUE(list->applyRows(nullptr, 0));
    EXPECT_EQ(list->count, 0u);
    EXPECT_EQ(list->entries, nullptr);
}

// The dialog's rows decide which snoozes stay: an alarm deleted, or disarmed there, takes its
// snooze along; a one-shot alarm disarmed by ringing keeps it, and so does an untouched one.
TEST_F(ApplyRows, SnoozesGoWithTheirAlarmWhenItIsDeletedOrDisarmed) {
    AlarmEntry kept = alarmAt(7, 0, 0);
    AlarmEntry deleted = alarmAt(8, 0, 0);
    AlarmEntry disarmed = alarmAt(9, 0, 0);
    AlarmEntry oneShot = alarmAt(10, 0, 0, 0);
    oneShot.playTimes = 0;
    setAlarms({kept, deleted, disarmed, oneShot});
    for (const AlarmEntry& rang : {kept, deleted, disarmed, oneShot})
        ASSERT_TRUE(list->addSnooze(ringingCopy(rang), clockAt(MONDAY, 11, 0, 0)));
    disarmed.flags &= ~ALARM_ENABLED;
    AlarmEntry rows[] = {oneShot, disarmed, kept};
    ASSERT_TRUE(list->applyRows(rows, 3));
    ASSERT_EQ(list->snoozeCount, 2u);
    EXPECT_EQ(list->snoozes[0].alarm.hour, 7u);
    EXPECT_EQ(list->snoozes[1].alarm.hour, 10u);
}

} // namespace
