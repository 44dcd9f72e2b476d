#include "player/sound_test_entry.h"

#include <cstring>

void applyPlayCount(AlarmEntry* entry, int32_t playCount) {
    entry->playTimes = uint32_t(playCount);
    if (playCount == 0)
        entry->flags |= ALARM_LOOP;
    else
        entry->flags &= ~ALARM_LOOP;
}

bool soundTestEntry(const char16* path, int symbolRandom, int modeRandom, const SystemTime& now,
                    int32_t playCount, AlarmEntry* out) {
    size_t length = text16Length(path);
    // A cut path would name another file, or none; such a file is not played at all.
    if (length >= size_t(PATH_UNITS)) return false;
    AlarmEntry entry = {};
    std::memcpy(entry.soundFile, path, length * sizeof(char16));
    entry.symbol = unsigned(symbolRandom) % 7;
    entry.visualMode = (modeRandom & 1) ? VISUAL_OSCILLOSCOPE : VISUAL_SPECTRUM;
    entry.hour = now.hour;
    entry.minute = now.minute;
    entry.second = now.second;
    applyPlayCount(&entry, playCount);
    *out = entry;
    return true;
}
