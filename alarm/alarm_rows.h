// What the alarm dialog shows and decides about its rows, apart from the controls: the texts of
// a row, the clamping of typed numbers, whether the panel holds a change, where a chosen sound
// file is kept and what a new alarm starts as. User-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>

#include "alarm/alarm_entry.h"
#include "platform/platform.h"

// The dialog shows at most this many rows; the "新規" row counts as one.
constexpr int ALARM_DIALOG_MAX_ROWS = 32;

// Room for the longest row text: seven weekday names with six slashes.
constexpr size_t ALARM_ROW_TEXT_UNITS = 32;

// Texts of the "新規" row and of the sound-file button when no file is chosen.
extern const char16* const NEW_ROW_NAME;
extern const char16* const NEW_ROW_HINT;
extern const char16* const SOUND_FILE_PROMPT;

// The alarm a new row starts as: armed, repeating, played once, all else zero.
AlarmEntry newAlarmDefaults();

// Column 0: the symbol's display name; empty for a symbol without a picture.
const char16* alarmSymbolText(const AlarmEntry& entry);
// Column 1: "%2u:%02u:%02u" from hour, minute and second. `out` holds ALARM_ROW_TEXT_UNITS.
void alarmTimeText(const AlarmEntry& entry, char16* out);
// Column 2: the set weekdays Monday to Sunday joined by "/", or "指定なし（毎日）" when none is
// set. `out` holds ALARM_ROW_TEXT_UNITS.
void alarmDaysText(uint32_t days, char16* out);

// A number typed into one of the panel's edits, brought into [low, high].
struct PanelNumber {
    uint32_t value; // the value to store
    bool rewrite;   // the edit must show `value` instead of what was typed
};
// Reads the leading base-10 digits of `text` after an optional sign (nothing gives 0; numbers
// beyond the 32-bit range count as their side's limit) and clamps them to [low, high].
PanelNumber clampPanelNumber(const char16* text, uint32_t low, uint32_t high);

// Whether two alarms differ in anything the panel edits or the popup uses; `dueOffset` is a
// working field and does not count.
bool alarmEntriesDiffer(const AlarmEntry& a, const AlarmEntry& b);

// What the row shown in the panel is.
enum class PanelRow {
    None,  // no row at all (every alarm deleted from a full list)
    Alarm, // a row holding an alarm
    New,   // the "新規" row
};

// Whether the add/update button can be pressed: a sound file is chosen and, for an alarm row,
// the panel differs from the row's alarm. `rowEntry` is the row's alarm (null unless Alarm).
bool panelCanCommit(PanelRow row, const AlarmEntry* rowEntry, const AlarmEntry& edit);

// What closing with "適用して終了" must ask about: 0 nothing, 1 a new alarm not yet added, 2 an
// alarm row changed but not yet updated.
int pendingPanelChange(PanelRow row, const AlarmEntry* rowEntry, const AlarmEntry& edit);

// Stores `path` as an alarm's sound file: relative to the program folder `baseDir` (its first
// `baseDirLength` units, compared exactly) when the file lies inside it, else the whole path.
// False, with `out` unchanged, when the result would not fit into PATH_UNITS units.
bool soundFileForPath(const char16* path, const char16* baseDir, uint64_t baseDirLength,
                      char16* out);
