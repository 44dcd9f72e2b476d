// Row texts, typed-number clamping, change detection and sound-file paths of the alarm dialog.
#include "alarm/alarm_rows.h"

#include <gtest/gtest.h>

#include <string>

#include "alarm/symbol_names.h"
#include "tests/unit/test_paths.h"

namespace {

std::u16string text(const char16* t) {
    return std::u16string(reinterpret_cast<const char16_t*>(t));
}

std::u16string timeOf(uint32_t h, uint32_t m, uint32_t s) {
    AlarmEntry e = {};
    e.hour = h;
    e.minute = m;
    e.second = s;
    char16 out[ALARM_ROW_TEXT_UNITS];
    alarmTimeText(e, out);
    return text(out);
}

std::u16string daysOf(uint32_t days) {
    char16 out[ALARM_ROW_TEXT_UNITS];
    alarmDaysText(days, out);
    return text(out);
}

AlarmEntry withSound(const char16_t* file) {
    AlarmEntry e = newAlarmDefaults();
    std::u16string f(file);
    for (size_t i = 0; i < f.size(); ++i)
        e.soundFile[i] = char16(f[i]);
    return e;
}

TEST(AlarmRowTexts, TimePadsTheHourWithASpaceAndTheRestWithZeros) {
    EXPECT_EQ(timeOf(0, 0, 0), u" 0:00:00");
    EXPECT_EQ(timeOf(7, 5, 9), u" 7:05:09");
    EXPECT_EQ(timeOf(23, 59, 59), u"23:59:59");
    // Values from a hand-edited file are shown as they are, not cut.
    EXPECT_EQ(timeOf(123, 4, 100), u"123:04:100");
}

TEST(AlarmRowTexts, WeekdaysRunMondayToSundayJoinedBySlashes) {
    EXPECT_EQ(daysOf(0), u"指定なし（毎日）");
    EXPECT_EQ(daysOf(DAY_MONDAY | DAY_FRIDAY), u"月/金");
    EXPECT_EQ(daysOf(DAY_SUNDAY | DAY_SATURDAY), u"土/日");
    EXPECT_EQ(daysOf(0x7F), u"月/火/水/木/金/土/日");
    // Bits above Sunday name no day.
    EXPECT_EQ(daysOf(0x80), u"指定なし（毎日）");
    EXPECT_EQ(daysOf(0x80 | DAY_WEDNESDAY), u"水");
}

TEST(AlarmRowTexts, SymbolColumnNamesTheSevenSymbolsAndNothingElse) {
    AlarmEntry e = {};
    e.symbol = 6;
    EXPECT_EQ(text(alarmSymbolText(e)), text(symbolName(6)));
    e.symbol = 7;
    EXPECT_EQ(text(alarmSymbolText(e)), u"");
    e.symbol = 0xFFFFFFFFu;
    EXPECT_EQ(text(alarmSymbolText(e)), u"");
}

TEST(AlarmRows, NewAlarmIsArmedRepeatingAndPlayedOnce) {
    AlarmEntry e = newAlarmDefaults();
    EXPECT_EQ(e.flags, ALARM_ENABLED | ALARM_REPEAT);
    EXPECT_EQ(e.playTimes, 1u);
    EXPECT_EQ(e.symbol | e.days | e.hour | e.minute | e.second | e.dueOffset, 0u);
    EXPECT_EQ(e.visualMode, 0);
    EXPECT_EQ(e.soundFile[0], 0);
}

TEST(ClampPanelNumber, KeepsValuesInRangeAndClampsTheRest) {
    const struct {
        const char16_t* typed;
        uint32_t low, high;
        uint32_t value;
        bool rewrite;
    } cases[] = {
        {u"75", 0, 59, 59, true},
        {u"0", 1, 10, 1, true},
        {u"23", 0, 23, 23, false},
        {u"", 0, 23, 0, false},
        {u"", 1, 10, 1, true},
        {u"007", 0, 59, 7, false},
        {u"12ab", 0, 59, 12, false},
        {u"+5", 0, 59, 5, false},
        {u"-5", 0, 59, 0, true},
        {u"-0", 0, 59, 0, false},
        {u"x9", 1, 10, 1, true},
        {u" 9", 0, 59, 0, false},
        {u"4294967296", 0, 59, 59, true},
        {u"99999999999999999999", 1, 10, 10, true},
        {u"-99999999999999999999", 0, 23, 0, true},
    };
    for (const auto& c : cases) {
        std::u16string typed(c.typed);
        PanelNumber n = clampPanelNumber(asText16(typed), c.low, c.high);
        EXPECT_EQ(n.value, c.value) << std::string(typed.begin(), typed.end());
        EXPECT_EQ(n.rewrite, c.rewrite) << std::string(typed.begin(), typed.end());
    }
}

TEST(AlarmEntriesDiffer, ComparesEveryEditedFieldButNotTheWorkingOffset) {
    const AlarmEntry base = withSound(u"a.wav");
    EXPECT_FALSE(alarmEntriesDiffer(base, base));
    AlarmEntry e = base;
    e.dueOffset = 500;
    EXPECT_FALSE(alarmEntriesDiffer(base, e));
    // Bytes after the terminator are not part of the file name.
    e = base;
    e.soundFile[10] = U16('x');
    EXPECT_FALSE(alarmEntriesDiffer(base, e));

    void (*const changes[])(AlarmEntry*) = {
        [](AlarmEntry* a) { a->flags ^= ALARM_LOOP; },
        [](AlarmEntry* a) { a->symbol = 3; },
        [](AlarmEntry* a) { a->days = DAY_TUESDAY; },
        [](AlarmEntry* a) { a->hour = 1; },
        [](AlarmEntry* a) { a->minute = 1; },
        [](AlarmEntry* a) { a->second = 1; },
        [](AlarmEntry* a) { a->playTimes = 2; },
        [](AlarmEntry* a) { a->visualMode = VISUAL_OSCILLOSCOPE; },
        [](AlarmEntry* a) { a->soundFile[0] = U16('A'); },
        [](AlarmEntry* a) { a->soundFile[5] = U16('x'); },
    };
    for (size_t i = 0; i < sizeof changes / sizeof changes[0]; ++i) {
        e = base;
        changes[i](&e);
        EXPECT_TRUE(alarmEntriesDiffer(base, e)) << "change " << i;
        EXPECT_TRUE(alarmEntriesDiffer(e, base)) << "change " << i;
    }
}

TEST(PanelCommit, NewRowNeedsOnlyASoundFile) {
    AlarmEntry edit = newAlarmDefaults();
    EXPECT_FALSE(panelCanCommit(PanelRow::New, nullptr, edit));
    EXPECT_EQ(pendingPanelChange(PanelRow::New, nullptr, edit), 0);
    edit = withSound(u"a.wav");
    EXPECT_TRUE(panelCanCommit(PanelRow::New, nullptr, edit));
    EXPECT_EQ(pendingPanelChange(PanelRow::New, nullptr, edit), 1);
}

TEST(PanelCommit, AlarmRowNeedsAChangeThatKeepsASoundFile) {
    const AlarmEntry row = withSound(u"a.wav");
    AlarmEntry edit = row;
    EXPECT_FALSE(panelCanCommit(PanelRow::Alarm, &row, edit));
    EXPECT_EQ(pendingPanelChange(PanelRow::Alarm, &row, edit), 0);
    edit.second = 30;
    EXPECT_TRUE(panelCanCommit(PanelRow::Alarm, &row, edit));
    EXPECT_EQ(pendingPanelChange(PanelRow::Alarm, &row, edit), 2);
    edit.second = row.second;
    EXPECT_FALSE(panelCanCommit(PanelRow::Alarm, &row, edit));

    // A row loaded from a file may have no sound; changing it cannot be committed without one.
    AlarmEntry silent = newAlarmDefaults();
    AlarmEntry changed = silent;
    changed.hour = 5;
    EXPECT_FALSE(panelCanCommit(PanelRow::Alarm, &silent, changed));
    EXPECT_EQ(pendingPanelChange(PanelRow::Alarm, &silent, changed), 0);
}

TEST(PanelCommit, NothingToCommitWithoutARow) {
    const AlarmEntry edit = withSound(u"a.wav");
    EXPECT_FALSE(panelCanCommit(PanelRow::None, nullptr, edit));
    EXPECT_EQ(pendingPanelChange(PanelRow::None, nullptr, edit), 0);
    EXPECT_FALSE(panelCanCommit(PanelRow::Alarm, nullptr, edit));
}

class SoundFileForPath : public ::testing::Test {
  protected:
    // The stored name for `path` with the program folder C:\Vesk\, or "refused".
    std::u16string stored(const std::u16string& path) {
        const std::u16string base = u"C:\\Vesk\\";
        char16 out[PATH_UNITS];
        out[0] = U16('?');
        out[1] = 0;
        if (!soundFileForPath(asText16(path), asText16(base), base.size(), out)) {
            EXPECT_EQ(out[0], U16('?'));
            return u"refused";
        }
        return text(out);
    }
};

TEST_F(SoundFileForPath, InsideTheProgramFolderIsRelative) {
    EXPECT_EQ(stored(u"C:\\Vesk\\bell.wav"), u"bell.wav");
    EXPECT_EQ(stored(u"C:\\Vesk\\sound\\bell.wav"), u"sound\\bell.wav");
}

TEST_F(SoundFileForPath, ElsewhereOrInAnotherCaseIsTheFullPath) {
    EXPECT_EQ(stored(u"D:\\bell.wav"), u"D:\\bell.wav");
    EXPECT_EQ(stored(u"c:\\vesk\\bell.wav"), u"c:\\vesk\\bell.wav");
    EXPECT_EQ(stored(u"C:\\Vesk2\\bell.wav"), u"C:\\Vesk2\\bell.wav");
    // The folder itself is not a file inside it.
    EXPECT_EQ(stored(u"C:\\Vesk\\"), u"C:\\Vesk\\");
    EXPECT_EQ(stored(u"C:\\Ves"), u"C:\\Ves");
}

TEST_F(SoundFileForPath, RefusesWhatWouldNotFitInsteadOfCuttingIt) {
    std::u16string longName(PATH_UNITS - 1, u'a');
    EXPECT_EQ(stored(longName), longName);
    EXPECT_EQ(stored(longName + u"a"), u"refused");
    // Inside the folder only the relative rest has to fit.
    std::u16string inside = u"C:\\Vesk\\" + std::u16string(PATH_UNITS - 1, u'b');
    EXPECT_EQ(stored(inside), std::u16string(PATH_UNITS - 1, u'b'));
    EXPECT_EQ(stored(inside + u"b"), u"refused");
}

} // namespace
