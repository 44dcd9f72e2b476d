// Any bytes as Setting.xml: loading never fails badly, the file a save writes loads back, and
// from the second save on the text no longer changes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/settings.h"

namespace {

// Saving flushes the file to disk; a memory-backed folder keeps that from dominating the run.
std::string folder() {
    static const std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    static const std::string path = base + "/vesk_fuzz_settings_" + std::to_string(getpid());
    return path;
}

std::u16string settingsPath() {
    std::string ascii = folder() + "/Setting.xml";
    return std::u16string(ascii.begin(), ascii.end());
}

std::string readFile(const std::string& path) {
    std::string bytes;
    if (FILE* f = fopen(path.c_str(), "rb")) {
        char chunk[4096];
        size_t got;
        while ((got = fread(chunk, 1, sizeof chunk, f)) > 0)
            bytes.append(chunk, got);
        fclose(f);
    }
    return bytes;
}

std::string saveAndLoad(WatchSettings* record, const std::u16string& path) {
    if (!saveSettings(record)) abort();
    freeSettings(record);
    loadSettings(path.c_str(), record);
    if (record->chara < 0 || record->chara >= SETTINGS_CHARACTER_COUNT) abort();
    return readFile(folder() + "/Setting.xml");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool made = system(("mkdir -p " + folder()).c_str()) == 0;
    if (!made) abort();
    std::string file = folder() + "/Setting.xml";
    FILE* f = fopen(file.c_str(), "wb");
    if (!f) abort();
    fwrite(data, 1, size, f);
    fclose(f);
    remove((file + ".bad").c_str());

    std::u16string path = settingsPath();
    WatchSettings record;
    loadSettings(path.c_str(), &record);
    if (!record.document) abort();
    if (record.chara < 0 || record.chara >= SETTINGS_CHARACTER_COUNT) abort();
    saveAndLoad(&record, path);
    std::string second = saveAndLoad(&record, path);
    std::string third = saveAndLoad(&record, path);
    if (second != third) abort();
    freeSettings(&record);
    return 0;
}
