// The alarm list in memory: creation, the two time questions the scheduler asks every second,
// and the replacement by the dialog's rows.
#include "alarm/alarm_list.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "util/day_of_week.h"

namespace {

#ifdef _WIN32
constexpr char16 SEPARATOR = U16('\\');
#else
constexpr char16 SEPARATOR = U16('/');
#endif

constexpr uint32_t SECONDS_PER_DAY = 86400;
constexpr uint32_t DAYS_PER_WEEK = 7;
constexpr uint32_t EVERY_DAY = 0x7F;

bool isArmed(const AlarmEntry& entry) {
    return (entry.flags & ALARM_ENABLED) != 0;
}

bool ringsOnDay(const AlarmEntry& entry, uint32_t dayBit) {
    return entry.days == 0 || (entry.days & (1u << dayBit)) != 0;
}

// A time of day a clock can show on some weekday; a hand-edited file may hold other times,
// which never ring and so are never the next alarm.
bool canRing(const AlarmEntry& entry) {
    bool someDay = entry.days == 0 || (entry.days & EVERY_DAY) != 0;
    return someDay && entry.hour < 24 && entry.minute < 60 && entry.second < 60;
}

uint32_t secondOfDay(uint32_t hour, uint32_t minute, uint32_t second) {
    return hour * 3600 + minute * 60 + second;
}

// Seconds from the start of today (weekday bit `today`, `now` seconds into it) to the alarm's
// next due time; an alarm due at `now` exactly is due now, not next week.
uint32_t dueOffsetOf(const AlarmEntry& entry, uint32_t today, uint32_t now) {
    uint32_t time = secondOfDay(entry.hour, entry.minute, entry.second);
    uint32_t mask = entry.days == 0 ? EVERY_DAY : entry.days;
    if (time < now) mask &= ~(1u << today);
    uint32_t ahead = 0;
    while (ahead < DAYS_PER_WEEK && (mask & (1u << ((today + ahead) % DAYS_PER_WEEK))) == 0)
        ++ahead;
    return time + ahead * SECONDS_PER_DAY;
}

} // namespace

uint32_t alarmDayBit(const SystemTime& date) {
    uint32_t weekday = dayOfWeek(date.year, date.month, date.day);
    return weekday == 0 ? 6 : weekday - 1;
}

AlarmList* AlarmList::create() {
    AlarmList* list = static_cast<AlarmList*>(calloc(1, sizeof(AlarmList)));
    if (!list) return nullptr;
    size_t length = platformCurrentDirectory(list->baseDir, PATH_UNITS - 1);
    // A root folder already ends in its separator.
    if (length > 0 && list->baseDir[length - 1] != SEPARATOR) list->baseDir[length++] = SEPARATOR;
    list->baseDir[length] = 0;
    list->baseDirLength = length;
    lockInit(&list->lock);
    return list;
}

void AlarmList::destroy(AlarmList* list) {
    if (!list) return;
    lockDestroy(&list->lock);
    free(list->entries);
    free(list);
}

bool AlarmList::matchNow(const SystemTime& now, AlarmEntry* out) {
    uint32_t today = alarmDayBit(now);
    lockEnter(&lock);
    AlarmEntry* due = nullptr;
    for (uint32_t i = 0; i < count && !due; ++i) {
        AlarmEntry& entry = entries[i];
        if (isArmed(entry) && ringsOnDay(entry, today) && entry.hour == now.hour &&
            entry.minute == now.minute && entry.second == now.second)
            due = &entry;
    }
    if (due && out) {
        if ((due->flags & ALARM_REPEAT) == 0) {
            due->flags &= ~ALARM_ENABLED;
            save();
        }
        *out = *due;
    }
    lockLeave(&lock);
    return due != nullptr;
}

bool AlarmList::findNext(const SystemTime& now, AlarmEntry* out) {
    uint32_t today = alarmDayBit(now);
    uint32_t nowSecond = secondOfDay(now.hour, now.minute, now.second);
    lockEnter(&lock);
    const AlarmEntry* next = nullptr;
    uint32_t nextOffset = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const AlarmEntry& entry = entries[i];
        if (!isArmed(entry) || !canRing(entry)) continue;
        uint32_t offset = dueOffsetOf(entry, today, nowSecond);
        if (!next || offset < nextOffset) {
            next = &entry;
            nextOffset = offset;
        }
    }
    if (next) {
        *out = *next;
        out->dueOffset = nextOffset;
    }
    lockLeave(&lock);
    return next != nullptr;
}

bool AlarmList::applyRows(const AlarmEntry* rows, uint32_t rowCount) {
    AlarmEntry* copy = nullptr;
    // The 32-bit build's address space cannot hold every count a caller may pass.
    if (static_cast<uint64_t>(rowCount) * sizeof(AlarmEntry) > SIZE_MAX) return false;
    if (rowCount > 0) {
        copy = static_cast<AlarmEntry*>(malloc(sizeof(AlarmEntry) * rowCount));
        if (!copy) return false;
        memcpy(copy, rows, sizeof(AlarmEntry) * rowCount);
    }
    lockEnter(&lock);
    dropSnoozesOfChangedAlarms(rows, rowCount);
    free(entries);
    entries = copy;
    count = rowCount;
    lockLeave(&lock);
    return true;
}
