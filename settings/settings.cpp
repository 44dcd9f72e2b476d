// Reading and writing Setting.xml: group elements under the root "setting", one decimal
// attribute per setting.
#include "settings/settings.h"

#include <cstdlib>
#include <cstring>

#include "util/debug_log.h"
#include "util/text_convert.h"
#include "xml/xml_file.h"

namespace {

struct SettingField {
    const char* group;
    const char* attribute;
    int32_t WatchSettings::*field;
    bool isSigned; // written with "%d" rather than "%u"
    int32_t defaultValue;
};

// In file order: groups as a new file lists them, attributes as each group writes them.
const SettingField FIELDS[] = {
    {"position", "x", &WatchSettings::x, true, 0},
    {"position", "y", &WatchSettings::y, true, 0},
    {"position", "Topmost", &WatchSettings::topmost, false, 1},
    {"position", "Chara", &WatchSettings::chara, false, 1},
    {"position", "Watch", &WatchSettings::watch, false, 0},
    {"view", "Date", &WatchSettings::dateFormat, false, 0},
    {"view", "Time", &WatchSettings::timeFormat, false, 0},
    {"player", "Loop", &WatchSettings::playCount, false, 1},
    {"player", "Time", &WatchSettings::playerTime, false, 1},
    {"visual", "Window", &WatchSettings::hammingWindow, false, 1},
    {"visual", "Peak", &WatchSettings::peak, false, 1},
    {"visual", "Smooth", &WatchSettings::smooth, false, 0},
    {"sound", "Channel", &WatchSettings::channels, false, 2},
    {"sound", "BitRate", &WatchSettings::sampleBits, false, 32},
    {"sound", "SamplingRate", &WatchSettings::sampleRate, false, 48000},
    {"sound", "Volume", &WatchSettings::volume, false, 100},
    {"watch", "DoNotAskAgain", &WatchSettings::doNotAskAgain, false, 0},
};
constexpr size_t FIELD_COUNT = sizeof FIELDS / sizeof FIELDS[0];

void setDefaults(WatchSettings* record) {
    for (const SettingField& f : FIELDS)
        record->*f.field = f.defaultValue;
    record->snooze = SNOOZE_DEFAULT;
}

// Far above any settings file (the program's own is about a kilobyte); a larger file is refused
// rather than read, as Alarm.xml's is.
constexpr uint32_t SETTINGS_FILE_LIMIT = 1u << 20;

void readFields(WatchSettings* record) {
    XmlDocument* doc = record->document;
    for (size_t i = 0; i < FIELD_COUNT;) {
        const char* group = FIELDS[i].group;
        xmlMove(doc, nullptr);
        bool present = xmlMove(doc, group) == XmlOk;
        for (; i < FIELD_COUNT && strcmp(FIELDS[i].group, group) == 0; i++) {
            if (present) xmlGetAttrInt(doc, FIELDS[i].attribute, &(record->*FIELDS[i].field));
        }
    }
    xmlMove(doc, nullptr);
}

// Part of a fresh or edited document's groups may be missing: each is added where absent, and
// each attribute is appended after those already there.
void writeFields(const WatchSettings* record) {
    XmlDocument* doc = record->document;
    xmlMove(doc, nullptr);
    xmlSetAttr(doc, "version", "1.00");
    for (size_t i = 0; i < FIELD_COUNT;) {
        const char* group = FIELDS[i].group;
        xmlAddChild(doc, group);
        xmlMove(doc, group);
        for (; i < FIELD_COUNT && strcmp(FIELDS[i].group, group) == 0; i++) {
            int32_t value = record->*FIELDS[i].field;
            if (FIELDS[i].isSigned) {
                xmlSetAttrInt(doc, FIELDS[i].attribute, value);
            } else {
                xmlSetAttrUInt(doc, FIELDS[i].attribute, static_cast<uint32_t>(value));
            }
        }
        xmlMove(doc, "../");
    }
}

// Settings that came after the file's first layout. A file that never chose anything else stays
// as it was: each is written only while it differs from its default (older builds keep it, as
// they keep every unknown attribute). Each reads and writes with the cursor in its group.

// "Snooze" of "player": minutes, out-of-range values read as the default.
void readSnooze(XmlDocument* doc, WatchSettings* record) {
    int32_t minutes = SNOOZE_DEFAULT;
    xmlGetAttrInt(doc, "Snooze", &minutes);
    if (minutes >= SNOOZE_MIN && minutes <= SNOOZE_MAX) record->snooze = minutes;
}

// Written only while it differs from the default, so the default file stays as older builds wrote
// it. An element too crowded to drop an attribute keeps it with the default value.
void writeSnooze(XmlDocument* doc, const WatchSettings* record) {
    if (record->snooze != SNOOZE_DEFAULT || xmlRemoveAttr(doc, "Snooze") == XmlInvalid)
        xmlSetAttrUInt(doc, "Snooze", static_cast<uint32_t>(record->snooze));
}

// "CharaFile" of "position", beside "Chara", which keeps the last built-in character for builds
// without file characters. Written only while a file character is chosen (an element too crowded
// to drop an attribute keeps it, empty).
constexpr size_t CHARA_FILE_BYTES = (PATH_UNITS - 1) * 3 + 1;

void readCharaFile(XmlDocument* doc, WatchSettings* record) {
    char value[CHARA_FILE_BYTES];
    if (xmlGetAttr(doc, "CharaFile", value, sizeof value) != XmlOk) return;
    char16* name = utf8ToWide(value);
    if (name && text16Length(name) < PATH_UNITS && isCharaFileName(name))
        memcpy(record->charaFile, name, (text16Length(name) + 1) * sizeof(char16));
    freeText(name);
}

void writeCharaFile(XmlDocument* doc, const WatchSettings* record) {
    char16 name[PATH_UNITS];
    memcpy(name, record->charaFile, sizeof name);
    name[PATH_UNITS - 1] = 0;
    char* text = name[0] ? wideToUtf8(name) : nullptr;
    if (text || xmlRemoveAttr(doc, "CharaFile") == XmlInvalid)
        xmlSetAttr(doc, "CharaFile", text ? text : "");
    freeText(text);
}

struct LaterSetting {
    const char* group;
    void (*read)(XmlDocument* doc, WatchSettings* record);
    void (*write)(XmlDocument* doc, const WatchSettings* record);
};

const LaterSetting LATER_SETTINGS[] = {
    {"player", readSnooze, writeSnooze},
    {"position", readCharaFile, writeCharaFile},
};

void readLaterSettings(WatchSettings* record) {
    XmlDocument* doc = record->document;
    for (const LaterSetting& later : LATER_SETTINGS) {
        xmlMove(doc, nullptr);
        if (xmlMove(doc, later.group) == XmlOk) later.read(doc, record);
    }
    xmlMove(doc, nullptr);
}

// Runs after every group has been written, so each group is there.
void writeLaterSettings(const WatchSettings* record) {
    XmlDocument* doc = record->document;
    for (const LaterSetting& later : LATER_SETTINGS) {
        xmlMove(doc, nullptr);
        if (xmlMove(doc, later.group) == XmlOk) later.write(doc, record);
    }
    xmlMove(doc, nullptr);
}

bool endsWithPng(const char16* name, size_t length) {
    static const char16 EXTENSION[] = {'.', 'p', 'n', 'g'};
    if (length <= 4) return false;
    for (size_t i = 0; i < 4; ++i) {
        char16 c = name[length - 4 + i];
        if (c >= 'A' && c <= 'Z') c = char16(c - 'A' + 'a');
        if (c != EXTENSION[i]) return false;
    }
    return true;
}

} // namespace

bool isCharaFileName(const char16* name) {
    size_t length = text16Length(name);
    if (length >= PATH_UNITS || !endsWithPng(name, length)) return false;
    for (size_t i = 0; i < length; ++i) {
        if (name[i] == '\\' || name[i] == '/' || name[i] == ':' || name[i] < 0x20) return false;
    }
    return true;
}

WatchSettings* loadSettings(const char16* path, WatchSettings* record) {
    if (!record) return nullptr;
    memset(record, 0, sizeof *record);
    size_t length = path ? text16Length(path) : 0;
    if (length >= PATH_UNITS) length = PATH_UNITS - 1;
    if (length) memcpy(record->path, path, length * sizeof(char16));
    setDefaults(record);
    record->document = xmlReadOwnFile(record->path, SETTINGS_FILE_LIMIT, nullptr, "Setting.xml",
                                      &record->keepFile, &record->setAside);
    if (!record->document) {
        record->document =
            xmlCreate(XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_YES, "setting");
    }
    if (!record->document) return record;
    readFields(record);
    readLaterSettings(record);
    // The character layout table has one row per character and is read by this index without a
    // bound, so a hand-edited number outside it falls back to 0, the panel without a character:
    // the one choice that draws correctly whatever the file said.
    if (record->chara < 0 || record->chara >= SETTINGS_CHARACTER_COUNT) record->chara = 0;
    return record;
}

bool saveSettings(WatchSettings* record) {
    if (!record || !record->document || record->keepFile) return false;
    writeFields(record);
    writeLaterSettings(record);
    const char* text = nullptr;
    size_t length = 0;
    bool written = false;
    if (xmlSerialize(record->document, &text, &length) == XmlOk && length <= UINT32_MAX) {
        written = writeWholeFile(record->path, text, static_cast<uint32_t>(length));
    }
    xmlReleaseText(record->document);
    return written;
}

void freeSettings(WatchSettings* record) {
    if (!record) return;
    xmlFree(record->document);
    record->document = nullptr;
}
