// Alarm.xml: its exact text, round trips, hand-edited files and files that are no alarm file.
#include "alarm/alarm_list.h"

#include <cstring>

#include "tests/unit/alarm/alarm_test_support.h"

namespace {

std::string crlfLines(std::initializer_list<const char*> lines) {
    std::string text = "\xEF\xBB\xBF";
    for (const char* line : lines)
        text += std::string(line) + "\r\n";
    return text;
}

// A file of the given alarm elements, as a person might write it by hand.
std::string handWritten(const std::string& elements, const char* root = "Alarm") {
    return std::string("<?xml version=\"1.0\" ?>\r\n<") + root +
           " version=\"1.00\" >\r\n <Edit>\r\n" + elements + " </Edit>\r\n</" + root + ">\r\n";
}

bool sameAlarm(const AlarmEntry& a, const AlarmEntry& b) {
    return a.flags == b.flags && a.symbol == b.symbol && a.days == b.days && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second && a.playTimes == b.playTimes &&
           Text16(a.soundFile) == Text16(b.soundFile);
}

using AlarmFile = AlarmListTest;

TEST_F(AlarmFile, OneAlarmIsWrittenExactlyInTheFileLayout) {
    AlarmEntry entry = alarmAt(7, 30, 0, ALARM_ENABLED | ALARM_REPEAT, DAY_MONDAY | DAY_FRIDAY);
    entry.symbol = 2;
    entry.playTimes = 3;
    setSoundFile(&entry, U16("sound\\morning bell.wav"));
    setAlarms({entry});
    list->save();
    std::string expected = crlfLines({
        "<?xml version=\"1.0\" standalone=\"yes\" ?>",
        "<Alarm",
        " version = \"1.00\"",
        ">",
        " <Edit>",
        "  <0",
        "   Enable = \"1\"",
        "   Symbol = \"2\"",
        "   Repeat = \"1\"",
        "   Loop = \"0\"",
        "   WeekMon = \"1\"",
        "   WeekTues = \"0\"",
        "   WeekWed = \"0\"",
        "   WeekThurs = \"0\"",
        "   WeekFri = \"1\"",
        "   WeekSat = \"0\"",
        "   WeekSun = \"0\"",
        "   Hour = \"7\"",
        "   Minute = \"30\"",
        "   Second = \"0\"",
        "   Play = \"3\"",
        "   File = \"sound\\morning&nbsp;bell.wav\"",
        "  >",
        "  </0>",
        " </Edit>",
        "</Alarm>",
    });
    EXPECT_EQ(readBytes(path), expected);
}

// Snoozes follow "Edit" in an element of their own, which a build that reads "Edit" alone passes
// over; one with a time no clock shows is left out when read.
TEST_F(AlarmFile, SnoozesFollowTheAlarmsAndImpossibleTimesAreLeftOut) {
    AlarmEntry entry = alarmAt(7, 30, 0, 0);
    entry.symbol = 2;
    setAlarms({entry});
    ASSERT_TRUE(list->addSnooze(entry, clockAt(MONDAY, 7, 35, 0)));
    SystemTime impossible = clockAt(MONDAY, 7, 35, 0);
    impossible.month = 2;
    impossible.day = 30;
    ASSERT_TRUE(list->addSnooze(entry, impossible));
    list->save();
    std::string text = readBytes(path);
    size_t edit = text.find(" </Edit>\r\n <Snooze>\r\n  <0\r\n   Enable = \"0\"\r\n");
    ASSERT_NE(edit, std::string::npos) << text;
    EXPECT_NE(text.find("   File = \"\"\r\n   DueYear = \"2026\"\r\n   DueMonth = \"12\"\r\n"
                        "   DueDay = \"7\"\r\n   DueHour = \"7\"\r\n   DueMinute = \"35\"\r\n"
                        "   DueSecond = \"0\"\r\n  >\r\n  </0>\r\n",
                        edit),
              std::string::npos);
    AlarmList* back = reload();
    ASSERT_EQ(back->count, 1u);
    ASSERT_EQ(back->snoozeCount, 1u);
    EXPECT_TRUE(sameAlarm(back->snoozes[0].alarm, entry));
    EXPECT_EQ(back->snoozes[0].due.minute, 35);
    AlarmList::destroy(back);
}

TEST_F(AlarmFile, ThreeAlarmsReadBackInOrderWithEveryField) {
    AlarmEntry a = alarmAt(0, 0, 0, ALARM_ENABLED | ALARM_LOOP, 0);
    a.symbol = 6;
    a.playTimes = 10;
    AlarmEntry b = alarmAt(23, 59, 59, ALARM_REPEAT, 0x7F);
    setSoundFile(&b, U16("C:\\Sounds\\chime.wav"));
    AlarmEntry c = alarmAt(12, 34, 56, ALARM_ENABLED | ALARM_REPEAT, DAY_SUNDAY | DAY_WEDNESDAY);
    c.playTimes = 0;
    c.visualMode = VISUAL_OSCILLOSCOPE;
    c.dueOffset = 1234;
    setAlarms({a, b, c});
    list->save();

    std::string text = readBytes(path);
    size_t zero = text.find("  <0\r\n"), one = text.find("  <1\r\n"), two = text.find("  <2\r\n");
    ASSERT_NE(zero, std::string::npos);
    EXPECT_LT(zero, one);
    EXPECT_LT(one, two);
    EXPECT_NE(two, std::string::npos);
    EXPECT_EQ(text.find("Due"), std::string::npos);

    AlarmList* back = reload();
    ASSERT_EQ(back->count, 3u);
    for (uint32_t i = 0; i < 3; ++i) {
        const AlarmEntry& original = list->entries[i];
        EXPECT_TRUE(sameAlarm(back->entries[i], original)) << i;
        EXPECT_EQ(back->entries[i].visualMode, 0) << i;
        EXPECT_EQ(back->entries[i].dueOffset, 0u) << i;
    }
    AlarmList::destroy(back);
}

TEST_F(AlarmFile, PathWithSpaceAndColonIsEscapedAndReadBack) {
    AlarmEntry entry = alarmAt(6, 0, 0);
    const Text16 sound = U16("D:\\My Music\\wake up!.wav");
    setSoundFile(&entry, sound);
    setAlarms({entry});
    list->save();
    EXPECT_NE(readBytes(path).find("File = \"D&#058;\\My&nbsp;Music\\wake&nbsp;up&#033;.wav\""),
              std::string::npos);
    AlarmList* back = reload();
    ASSERT_EQ(back->count, 1u);
    EXPECT_EQ(Text16(back->entries[0].soundFile), sound);
    AlarmList::destroy(back);
}

TEST_F(AlarmFile, EmptySoundFileIsAnEmptyValue) {
    setAlarms({alarmAt(6, 0, 0)});
    list->save();
    EXPECT_NE(readBytes(path).find("   File = \"\"\r\n"), std::string::npos);
    AlarmList* back = reload();
    ASSERT_EQ(back->count, 1u);
    EXPECT_EQ(back->entries[0].soundFile[0], 0);
    AlarmList::destroy(back);
}

TEST_F(AlarmFile, LongestNonAsciiPathTheRecordHoldsSurvivesTheRoundTrip) {
    // 259 three-byte characters: 777 bytes of UTF-8, far past a 256-byte value.
    Text16 sound(PATH_UNITS - 1, static_cast<char16>(0x97F3));
    AlarmEntry entry = alarmAt(6, 0, 0);
    setSoundFile(&entry, sound);
    setAlarms({entry});
    list->save();
    AlarmList* back = reload();
    ASSERT_EQ(back->count, 1u);
    EXPECT_EQ(Text16(back->entries[0].soundFile), sound);
    AlarmList::destroy(back);
}

TEST_F(AlarmFile, PathLongerThanTheRecordLoadsAsNoSoundFile) {
    std::string longName(PATH_UNITS, 'a');
    writeBytes(path, handWritten("  <0 Enable=\"1\" Hour=\"6\" File=\"" + longName +
                                 "\" />\r\n"
                                 "  <1 Enable=\"1\" Hour=\"7\" File=\"bell.wav\" />\r\n"));
    list->load();
    ASSERT_EQ(list->count, 2u);
    EXPECT_EQ(list->entries[0].soundFile[0], 0);
    EXPECT_EQ(list->entries[0].hour, 6u);
    EXPECT_EQ(Text16(list->entries[1].soundFile), U16("bell.wav"));
}

TEST_F(AlarmFile, EmptyListDeletesTheFileAndLoadsAsEmpty) {
    setAlarms({alarmAt(6, 0, 0)});
    list->save();
    ASSERT_TRUE(exists(path));
    setAlarms({});
    list->save();
    EXPECT_FALSE(exists(path));
    list->load();
    EXPECT_EQ(list->count, 0u);
    EXPECT_FALSE(exists(folder.file(u"Alarm.xml.bad")));
}

TEST_F(AlarmFile, HandEditedNumbersLoadUncheckedAndMissingOnesAreZero) {
    writeBytes(path, handWritten("  <x Enable=\"7\" Hour=\"25\" Play=\"0\" Symbol=\"9\" "
                                 "WeekTues=\"-1\" Loop=\"0\" />\r\n"
                                 "  <y Minute=\"-1\" />\r\n"));
    list->load();
    ASSERT_EQ(list->count, 2u);
    const AlarmEntry& x = list->entries[0];
    EXPECT_EQ(x.flags, ALARM_ENABLED);
    EXPECT_EQ(x.hour, 25u);
    EXPECT_EQ(x.playTimes, 0u);
    EXPECT_EQ(x.symbol, 9u);
    EXPECT_EQ(x.days, DAY_TUESDAY);
    EXPECT_EQ(x.minute, 0u);
    EXPECT_EQ(x.soundFile[0], 0);
    EXPECT_EQ(list->entries[1].minute, 0xFFFFFFFFu);
    EXPECT_EQ(list->entries[1].flags, 0u);
    for (uint16_t hour = 0; hour < 24; ++hour)
        EXPECT_FALSE(list->matchNow(clockAt(TUESDAY, hour, 0, 0), nullptr)) << hour;
}

TEST_F(AlarmFile, ElementNamesAreNotInterpretedButNamesThatLeaveTheLevelAreSkipped) {
    writeBytes(path, handWritten("  <7 Hour=\"1\" />\r\n  <abc Hour=\"2\" />\r\n"
                                 "  <.. Hour=\"3\" />\r\n  <a/b Hour=\"4\" />\r\n"
                                 "  <0 Hour=\"5\" />\r\n"));
    list->load();
    ASSERT_EQ(list->count, 3u);
    EXPECT_EQ(list->entries[0].hour, 1u);
    EXPECT_EQ(list->entries[1].hour, 2u);
    EXPECT_EQ(list->entries[2].hour, 5u);
}

TEST_F(AlarmFile, RootWithoutEditOrWithoutAlarmsEmptiesTheList) {
    setAlarms({alarmAt(6, 0, 0)});
    writeBytes(path, "<?xml version=\"1.0\" ?>\r\n<Alarm version=\"1.00\" />\r\n");
    list->load();
    EXPECT_EQ(list->count, 0u);
    EXPECT_EQ(list->entries, nullptr);
    setAlarms({alarmAt(6, 0, 0)});
    writeBytes(path, handWritten(""));
    list->load();
    EXPECT_EQ(list->count, 0u);
    EXPECT_FALSE(exists(folder.file(u"Alarm.xml.bad")));
}

TEST_F(AlarmFile, FileThatIsNoAlarmFileLeavesTheListAndIsKeptBesideIt) {
    const std::string broken = "<Alarm><Edit><0 Hour=\"5\"</Edit";
    const std::string otherRoot = handWritten("  <0 Hour=\"5\" />\r\n", "setting");
    for (const std::string& bytes : {broken, otherRoot, std::string("\0\0\0", 3)}) {
        setAlarms({alarmAt(6, 0, 0)});
        writeBytes(path, bytes);
        list->load();
        ASSERT_EQ(list->count, 1u);
        EXPECT_EQ(list->entries[0].hour, 6u);
        EXPECT_EQ(readBytes(folder.file(u"Alarm.xml.bad")), bytes);
    }
}

TEST_F(AlarmFile, NoFileOrAnEmptyOneLeavesTheList) {
    setAlarms({alarmAt(6, 0, 0)});
    list->load();
    EXPECT_EQ(list->count, 1u);
    writeBytes(path, "");
    list->load();
    EXPECT_EQ(list->count, 1u);
    EXPECT_FALSE(exists(folder.file(u"Alarm.xml.bad")));
}

TEST_F(AlarmFile, SavingTwiceWritesTheSameBytes) {
    AlarmEntry entry = alarmAt(6, 5, 4, ALARM_ENABLED, DAY_SATURDAY);
    setSoundFile(&entry, U16("a&b <c> \"d\" 'e'.wav"));
    setAlarms({entry, alarmAt(1, 2, 3)});
    list->save();
    std::string first = readBytes(path);
    AlarmList* back = reload();
    back->save();
    EXPECT_EQ(readBytes(path), first);
    AlarmList::destroy(back);
}

} // namespace

namespace {

// Points `list` at `file` instead of the fixture's Alarm.xml.
void useFile(AlarmList* list, const std::u16string& file) {
    ASSERT_LT(file.size(), static_cast<size_t>(PATH_UNITS));
    std::copy(file.begin(), file.end(), list->filePath);
    list->filePath[file.size()] = 0;
}

} // namespace

// A file that can neither be taken nor set aside must survive the save at quit, which would
// otherwise delete it (the list is empty) or write the run's alarms over it.
TEST_F(AlarmFile, FileThatCannotBeReadOrSetAsideIsNeitherDeletedNorReplaced) {
    std::string huge(16u * 1024 * 1024 + 1, ' ');
    writeBytes(path, huge);
    list->load();
    EXPECT_EQ(list->count, 0u);
    list->save();
    EXPECT_EQ(pathFileSize(asText16(path)), static_cast<int64_t>(huge.size()));
    setAlarms({alarmAt(6, 0, 0)});
    list->save();
    EXPECT_EQ(pathFileSize(asText16(path)), static_cast<int64_t>(huge.size()));

    // A broken file whose ".bad" name would not fit: it stays where it is.
    AlarmList* other = AlarmList::create();
    std::u16string longName = folder.file(u"a");
    longName += std::u16string(PATH_UNITS - 2 - longName.size(), u'a');
    useFile(other, longName);
    writeBytes(longName, "<Alarm");
    other->load();
    other->save();
    EXPECT_EQ(readBytes(longName), "<Alarm");
    AlarmList::destroy(other);
}

TEST_F(AlarmFile, FileSetAsideAsBadIsReplacedByTheNextSave) {
    writeBytes(path, "<Alarm");
    list->load();
    setAlarms({alarmAt(6, 0, 0)});
    list->save();
    EXPECT_EQ(readBytes(folder.file(u"Alarm.xml.bad")), "<Alarm");
    AlarmList* back = reload();
    ASSERT_EQ(back->count, 1u);
    EXPECT_EQ(back->entries[0].hour, 6u);
    AlarmList::destroy(back);
}

// A save interrupted before its rename leaves the complete text in "Alarm.xml.new": the next
// start takes it when Alarm.xml is missing or broken, and leaves a cut one alone.
TEST_F(AlarmFile, ACompleteNewFileFromAnInterruptedSaveIsTaken) {
    setAlarms({alarmAt(6, 30, 0)});
    list->save();
    std::string complete = readBytes(path);
    std::u16string newPath = path + u".new";
    for (const char* real : {static_cast<const char*>(nullptr), "<Alarm"}) {
        deleteFile(asText16(path));
        if (real) writeBytes(path, real);
        writeBytes(newPath, complete.substr(0, complete.size() - 10));
        AlarmList* cut = reload();
        EXPECT_EQ(cut->count, 0u);
        AlarmList::destroy(cut);
        writeBytes(newPath, complete);
        AlarmList* back = reload();
        ASSERT_EQ(back->count, 1u);
        EXPECT_EQ(back->entries[0].minute, 30u);
        EXPECT_EQ(readBytes(path), complete);
        EXPECT_FALSE(exists(newPath));
        AlarmList::destroy(back);
    }
}
