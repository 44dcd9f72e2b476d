// Alarm.xml: the root "Alarm" holds "Edit", which holds one element per alarm in list order,
// named by its index, with one decimal attribute per field and the sound file as text. Waiting
// snoozes follow in "Snooze", one element each in the same form plus the time it rings again;
// builds that know no snooze read "Edit" alone and pass over it.
#include "alarm/alarm_list.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "alarm/wall_clock.h"
#include "util/debug_log.h"
#include "util/text_convert.h"
#include "xml/xml.h"
#include "xml/xml_file.h"

namespace {

// Far above any list the dialog can make; a larger file is refused rather than read.
constexpr uint32_t ALARM_FILE_LIMIT = 16u << 20;
constexpr size_t NAME_BYTES = 128;
// A sound path of PATH_UNITS - 1 UTF-16 units takes at most three UTF-8 bytes per unit.
constexpr size_t FILE_VALUE_BYTES = (PATH_UNITS - 1) * 3 + 1;

// One numeric attribute: the field it stores, and for a yes/no attribute the field's bit.
struct NumberAttribute {
    const char* name;
    uint32_t AlarmEntry::*field;
    uint32_t bit; // 0: the attribute is the field's whole value
};

// In file order.
const NumberAttribute NUMBERS[] = {
    {"Enable", &AlarmEntry::flags, ALARM_ENABLED},
    {"Symbol", &AlarmEntry::symbol, 0},
    {"Repeat", &AlarmEntry::flags, ALARM_REPEAT},
    {"Loop", &AlarmEntry::flags, ALARM_LOOP},
    {"WeekMon", &AlarmEntry::days, DAY_MONDAY},
    {"WeekTues", &AlarmEntry::days, DAY_TUESDAY},
    {"WeekWed", &AlarmEntry::days, DAY_WEDNESDAY},
    {"WeekThurs", &AlarmEntry::days, DAY_THURSDAY},
    {"WeekFri", &AlarmEntry::days, DAY_FRIDAY},
    {"WeekSat", &AlarmEntry::days, DAY_SATURDAY},
    {"WeekSun", &AlarmEntry::days, DAY_SUNDAY},
    {"Hour", &AlarmEntry::hour, 0},
    {"Minute", &AlarmEntry::minute, 0},
    {"Second", &AlarmEntry::second, 0},
    {"Play", &AlarmEntry::playTimes, 0},
};

// The time a snooze rings again, after the alarm's own attributes.
struct DueAttribute {
    const char* name;
    uint16_t SystemTime::*field;
};
const DueAttribute DUE[] = {
    {"DueYear", &SystemTime::year},     {"DueMonth", &SystemTime::month},
    {"DueDay", &SystemTime::day},       {"DueHour", &SystemTime::hour},
    {"DueMinute", &SystemTime::minute}, {"DueSecond", &SystemTime::second},
};

// Adds the child named by `index` and moves into it.
bool enterIndexedChild(XmlDocument* doc, uint32_t index) {
    char name[16];
    snprintf(name, sizeof name, "%u", index);
    return xmlAddChild(doc, name) == XmlOk && xmlMove(doc, name) == XmlOk;
}

// The alarm's attributes on the element under the cursor.
bool writeEntryAttributes(XmlDocument* doc, const AlarmEntry& entry) {
    bool ok = true;
    for (const NumberAttribute& a : NUMBERS) {
        uint32_t value = entry.*a.field;
        if (a.bit) value = (value & a.bit) ? 1 : 0;
        ok = ok && xmlSetAttrUInt(doc, a.name, value) == XmlOk;
    }
    // The record may come from anywhere; its path is read no further than its buffer.
    char16 path[PATH_UNITS];
    memcpy(path, entry.soundFile, sizeof path);
    path[PATH_UNITS - 1] = 0;
    char* text = wideToUtf8(path);
    ok = ok && xmlSetAttr(doc, "File", text ? text : "") == XmlOk;
    freeText(text);
    return ok;
}

bool writeEntry(XmlDocument* doc, uint32_t index, const AlarmEntry& entry) {
    if (!enterIndexedChild(doc, index)) return false;
    bool ok = writeEntryAttributes(doc, entry);
    return xmlMove(doc, "../") == XmlOk && ok;
}

bool writeSnooze(XmlDocument* doc, uint32_t index, const PendingSnooze& snooze) {
    if (!enterIndexedChild(doc, index)) return false;
    bool ok = writeEntryAttributes(doc, snooze.alarm);
    for (const DueAttribute& d : DUE)
        ok = ok && xmlSetAttrUInt(doc, d.name, snooze.due.*d.field) == XmlOk;
    return xmlMove(doc, "../") == XmlOk && ok;
}

// "Snooze" under the root, written only while snoozes wait: a file without any stays as older
// builds wrote it.
bool writeSnoozes(XmlDocument* doc, const PendingSnooze* snoozes, uint32_t count) {
    if (count == 0) return true;
    xmlMove(doc, nullptr);
    bool ok = xmlAddChild(doc, "Snooze") == XmlOk && xmlMove(doc, "Snooze") == XmlOk;
    for (uint32_t i = 0; ok && i < count; ++i)
        ok = writeSnooze(doc, i, snoozes[i]);
    return ok;
}

// The document of the whole list, or null when it could not be built completely.
XmlDocument* buildDocument(const AlarmList& list) {
    const AlarmEntry* entries = list.entries;
    uint32_t count = list.count;
    XmlDocument* doc = xmlCreate(XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_YES, "Alarm");
    if (!doc) return nullptr;
    bool ok = xmlSetAttr(doc, "version", "1.00") == XmlOk && xmlAddChild(doc, "Edit") == XmlOk &&
              xmlMove(doc, "Edit") == XmlOk;
    for (uint32_t i = 0; ok && i < count; ++i)
        ok = writeEntry(doc, i, entries[i]);
    ok = ok && writeSnoozes(doc, list.snoozes, list.snoozeCount);
    if (!ok) {
        xmlFree(doc);
        return nullptr;
    }
    xmlMove(doc, nullptr);
    return doc;
}

AlarmEntry readEntry(XmlDocument* doc) {
    AlarmEntry entry = {};
    for (const NumberAttribute& a : NUMBERS) {
        int32_t number = 0;
        xmlGetAttrInt(doc, a.name, &number);
        if (!a.bit) {
            entry.*a.field = static_cast<uint32_t>(number);
        } else if (number != 0) {
            entry.*a.field |= a.bit;
        }
    }
    char value[FILE_VALUE_BYTES];
    if (xmlGetAttr(doc, "File", value, sizeof value) == XmlOk) {
        char16* path = utf8ToWide(value);
        // A path too long for the record is dropped whole rather than cut to another file.
        if (path && text16Length(path) < PATH_UNITS)
            memcpy(entry.soundFile, path, (text16Length(path) + 1) * sizeof(char16));
        freeText(path);
    }
    return entry;
}

// Moving by a name that holds a path separator or is ".." would leave the element's level.
bool isReachableName(const char* name) {
    return strcmp(name, "..") != 0 && !strchr(name, '/') && !strchr(name, '\\');
}

// Appends `entry`, doubling the room as needed. False when memory runs out.
bool append(AlarmEntry** entries, uint32_t* count, uint32_t* room, const AlarmEntry& entry) {
    if (*count == *room) {
        uint32_t bigger = *room ? *room * 2 : 8;
        if (static_cast<uint64_t>(bigger) * sizeof(AlarmEntry) > SIZE_MAX) return false;
        void* grown = realloc(*entries, bigger * sizeof(AlarmEntry));
        if (!grown) return false;
        *entries = static_cast<AlarmEntry*>(grown);
        *room = bigger;
    }
    (*entries)[(*count)++] = entry;
    return true;
}

// Reads every alarm element under the cursor ("Edit") in document order. False when memory ran
// out part-way; the alarms read so far are kept.
bool readEntries(XmlDocument* doc, AlarmEntry** entries, uint32_t* count) {
    uint32_t room = 0;
    XmlIterator child = nullptr;
    for (XmlStatus s = xmlFirstChild(doc, &child); s == XmlOk; s = xmlNextSibling(doc, &child)) {
        char name[NAME_BYTES];
        if (xmlIterName(doc, &child, name, sizeof name) != XmlOk || !isReachableName(name))
            continue;
        if (xmlMove(doc, name) != XmlOk) continue;
        AlarmEntry entry = readEntry(doc);
        xmlMove(doc, "../");
        if (!append(entries, count, &room, entry)) {
            debugLog("Alarm.xml: out of memory after %u alarms", *count);
            return false;
        }
    }
    return true;
}

// A snooze element under the cursor; false when its time is none a clock can show.
bool readSnooze(XmlDocument* doc, PendingSnooze* out) {
    PendingSnooze snooze = {};
    snooze.alarm = readEntry(doc);
    for (const DueAttribute& d : DUE) {
        int32_t number = 0;
        xmlGetAttrInt(doc, d.name, &number);
        if (number < 0 || number > UINT16_MAX) return false;
        snooze.due.*d.field = static_cast<uint16_t>(number);
    }
    if (!isWallTime(snooze.due)) return false;
    *out = snooze;
    return true;
}

// Reads the snoozes under the cursor ("Snooze") in document order, up to SNOOZE_LIMIT; ones
// with an impossible time are left out.
uint32_t readSnoozes(XmlDocument* doc, PendingSnooze* snoozes) {
    uint32_t count = 0;
    XmlIterator child = nullptr;
    for (XmlStatus s = xmlFirstChild(doc, &child); s == XmlOk && count < SNOOZE_LIMIT;
         s = xmlNextSibling(doc, &child)) {
        char name[NAME_BYTES];
        if (xmlIterName(doc, &child, name, sizeof name) != XmlOk || !isReachableName(name) ||
            xmlMove(doc, name) != XmlOk)
            continue;
        if (readSnooze(doc, &snoozes[count])) ++count;
        xmlMove(doc, "../");
    }
    return count;
}

bool isAlarmRoot(XmlDocument* doc) {
    char name[NAME_BYTES];
    return xmlGetName(doc, name, sizeof name) == XmlOk && strncmp(name, "Alarm", 5) == 0;
}

} // namespace

bool AlarmList::save() {
    if (keepFile) {
        debugLog("Alarm.xml left as it was: it could not be read or set aside at start-up");
        return false;
    }
    if (count == 0 && snoozeCount == 0) {
        // Nothing there is as good as an empty file; only a file still there is a failure.
        return pathDeleteFile(filePath) || pathFileSize(filePath) < 0;
    }
    XmlDocument* doc = buildDocument(*this);
    if (!doc) {
        debugLog("Alarm.xml not written: the document could not be built");
        return false;
    }
    const char* text = nullptr;
    size_t length = 0;
    bool written = xmlSerialize(doc, &text, &length) == XmlOk && length <= UINT32_MAX &&
                   writeWholeFile(filePath, text, static_cast<uint32_t>(length));
    if (!written) debugLog("Alarm.xml could not be written");
    xmlReleaseText(doc);
    xmlFree(doc);
    return written;
}

void AlarmList::load() {
    XmlDocument* doc =
        xmlReadOwnFile(filePath, ALARM_FILE_LIMIT, isAlarmRoot, "Alarm.xml", &keepFile, &setAside);
    if (!doc) return;
    AlarmEntry* loaded = nullptr;
    uint32_t loadedCount = 0;
    // A list cut short by lack of memory must not be saved over the whole file.
    if (xmlMove(doc, "Edit") == XmlOk && !readEntries(doc, &loaded, &loadedCount)) keepFile = true;
    xmlMove(doc, nullptr);
    snoozeCount = xmlMove(doc, "Snooze") == XmlOk ? readSnoozes(doc, snoozes) : 0;
    xmlFree(doc);
    free(entries);
    entries = loaded;
    count = loadedCount;
}
