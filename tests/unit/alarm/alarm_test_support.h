// Shared by the alarm tests: alarms and clock readings in one line, a list in a private folder
// and the bytes of its file.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "alarm/alarm_list.h"
#include "tests/unit/test_paths.h"

using Text16 = std::basic_string<char16>;

inline AlarmEntry alarmAt(uint32_t hour, uint32_t minute, uint32_t second,
                          uint32_t flags = ALARM_ENABLED | ALARM_REPEAT, uint32_t days = 0) {
    AlarmEntry entry = {};
    entry.flags = flags;
    entry.days = days;
    entry.hour = hour;
    entry.minute = minute;
    entry.second = second;
    entry.playTimes = 1;
    return entry;
}

inline void setSoundFile(AlarmEntry* entry, const Text16& path) {
    ASSERT_LT(path.size(), static_cast<size_t>(PATH_UNITS));
    std::copy(path.begin(), path.end(), entry->soundFile);
    entry->soundFile[path.size()] = 0;
}

// 7 December 2026 is a Monday. The weekday field is left wrong on purpose: the list must work
// the weekday out from the date.
inline SystemTime clockAt(uint16_t day, uint16_t hour, uint16_t minute, uint16_t second,
                          uint16_t milliseconds = 0) {
    SystemTime t = {};
    t.year = 2026;
    t.month = 12;
    t.dayOfWeek = 3;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    t.milliseconds = milliseconds;
    return t;
}
constexpr uint16_t MONDAY = 7;
constexpr uint16_t TUESDAY = 8;
constexpr uint16_t SATURDAY = 12;
constexpr uint16_t SUNDAY = 13;

inline FILE* openFile(const std::u16string& path, bool write) {
#ifdef _WIN32
    return _wfopen(reinterpret_cast<const wchar_t*>(path.c_str()), write ? L"wb" : L"rb");
#else
    return fopen(std::string(path.begin(), path.end()).c_str(), write ? "wb" : "rb");
#endif
}

inline std::string readBytes(const std::u16string& path) {
    FILE* f = openFile(path, false);
    std::string bytes;
    if (!f) return bytes;
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.append(chunk, got);
    fclose(f);
    return bytes;
}

inline void writeBytes(const std::u16string& path, const std::string& bytes) {
    FILE* f = openFile(path, true);
    ASSERT_NE(f, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

inline bool exists(const std::u16string& path) {
    return pathFileSize(asText16(path)) >= 0;
}

// A fresh list whose file is Alarm.xml in a private folder.
class AlarmListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        list = AlarmList::create();
        ASSERT_NE(list, nullptr);
        path = folder.file(u"Alarm.xml");
        std::copy(path.begin(), path.end(), list->filePath);
        list->filePath[path.size()] = 0;
    }
    void TearDown() override { AlarmList::destroy(list); }

    void setAlarms(std::initializer_list<AlarmEntry> alarms) {
        ASSERT_TRUE(list->applyRows(alarms.begin(), static_cast<uint32_t>(alarms.size())));
    }
    // A second list reading this one's file.
    AlarmList* reload() {
        AlarmList* other = AlarmList::create();
        std::copy(path.begin(), path.end(), other->filePath);
        other->filePath[path.size()] = 0;
        other->load();
        return other;
    }

    TempFolder folder;
    std::u16string path;
    AlarmList* list = nullptr;
};
