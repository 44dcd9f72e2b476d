#include "alarm/alarm_rows.h"

#include "alarm/symbol_names.h"

const char16* const NEW_ROW_NAME = U16("新規");
const char16* const NEW_ROW_HINT = U16("ここを選択すると追加できます。");
const char16* const SOUND_FILE_PROMPT = U16("クリック 又は ファイルドロップ でアラーム音を登録");

namespace {

const char16* const DayNames[7] = {U16("月"), U16("火"), U16("水"), U16("木"),
                                   U16("金"), U16("土"), U16("日")};
const char16* const EveryDay = U16("指定なし（毎日）");

// Appends `text` at `at`, never past the last unit before the terminator.
size_t append(char16* out, size_t at, const char16* text) {
    while (*text && at + 1 < ALARM_ROW_TEXT_UNITS)
        out[at++] = *text++;
    out[at] = 0;
    return at;
}

// Writes `value` in decimal, at least `width` digits wide, padded with `pad`.
size_t appendNumber(char16* out, size_t at, uint32_t value, int width, char16 pad) {
    char16 digits[10];
    int n = 0;
    do {
        digits[n++] = static_cast<char16>(U16('0') + value % 10);
        value /= 10;
    } while (value && n < 10);
    for (int i = n; i < width && at + 1 < ALARM_ROW_TEXT_UNITS; ++i)
        out[at++] = pad;
    while (n > 0 && at + 1 < ALARM_ROW_TEXT_UNITS)
        out[at++] = digits[--n];
    out[at] = 0;
    return at;
}

bool sameText(const char16* a, const char16* b, size_t units) {
    for (size_t i = 0; i < units; ++i) {
        if (a[i] != b[i]) return false;
        if (!a[i]) return true;
    }
    return true;
}

} // namespace

AlarmEntry newAlarmDefaults() {
    AlarmEntry entry = {};
    entry.flags = ALARM_ENABLED | ALARM_REPEAT;
    entry.playTimes = 1;
    return entry;
}

const char16* alarmSymbolText(const AlarmEntry& entry) {
    const char16* name =
        entry.symbol < ALARM_SYMBOL_COUNT ? symbolName(int(entry.symbol)) : nullptr;
    return name ? name : U16("");
}

void alarmTimeText(const AlarmEntry& entry, char16* out) {
    size_t at = appendNumber(out, 0, entry.hour, 2, U16(' '));
    at = append(out, at, U16(":"));
    at = appendNumber(out, at, entry.minute, 2, U16('0'));
    at = append(out, at, U16(":"));
    appendNumber(out, at, entry.second, 2, U16('0'));
}

void alarmDaysText(uint32_t days, char16* out) {
    out[0] = 0;
    size_t at = 0;
    for (int day = 0; day < 7; ++day) {
        if (!(days & (1u << day))) continue;
        if (at > 0) at = append(out, at, U16("/"));
        at = append(out, at, DayNames[day]);
    }
    if (at == 0) append(out, 0, EveryDay);
}

PanelNumber clampPanelNumber(const char16* text, uint32_t low, uint32_t high) {
    size_t i = 0;
    bool negative = false;
    if (text[i] == U16('+') || text[i] == U16('-')) negative = text[i++] == U16('-');
    // Digits beyond the 32-bit range cannot bring the number back into any panel range.
    uint64_t typed = 0;
    for (; text[i] >= U16('0') && text[i] <= U16('9'); ++i)
        if (typed <= UINT32_MAX) typed = typed * 10 + uint64_t(text[i] - U16('0'));
    if (negative && typed > 0) return PanelNumber{low, true};
    if (typed < low) return PanelNumber{low, true};
    if (typed > high) return PanelNumber{high, true};
    return PanelNumber{uint32_t(typed), false};
}

bool alarmEntriesDiffer(const AlarmEntry& a, const AlarmEntry& b) {
    return a.flags != b.flags || a.symbol != b.symbol || a.days != b.days || a.hour != b.hour ||
           a.minute != b.minute || a.second != b.second || a.playTimes != b.playTimes ||
           a.visualMode != b.visualMode || !sameText(a.soundFile, b.soundFile, PATH_UNITS);
}

bool panelCanCommit(PanelRow row, const AlarmEntry* rowEntry, const AlarmEntry& edit) {
    if (!edit.soundFile[0]) return false;
    if (row == PanelRow::New) return true;
    return row == PanelRow::Alarm && rowEntry && alarmEntriesDiffer(edit, *rowEntry);
}

int pendingPanelChange(PanelRow row, const AlarmEntry* rowEntry, const AlarmEntry& edit) {
    if (!panelCanCommit(row, rowEntry, edit)) return 0;
    return row == PanelRow::New ? 1 : 2;
}

bool soundFileForPath(const char16* path, const char16* baseDir, uint64_t baseDirLength,
                      char16* out) {
    size_t length = text16Length(path);
    size_t start = 0;
    if (baseDirLength > 0 && length > baseDirLength && sameText(path, baseDir, baseDirLength))
        start = size_t(baseDirLength);
    if (length - start >= PATH_UNITS) return false;
    for (size_t i = start; i <= length; ++i)
        out[i - start] = path[i];
    return true;
}
