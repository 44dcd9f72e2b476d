// Any bytes as Alarm.xml: loading never fails badly and leaves a consistent list, a refused file
// leaves the list as it was, the alarm and snooze counts survive every save and load, and the file
// settles by the third save. (A hand-written "-1" is written back as "4294967295", which reads back
// as the largest signed number; from then on the numbers stay.)
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "alarm/alarm_list.h"

namespace {

// Saving flushes the file to disk; a memory-backed folder keeps that from dominating the run.
std::string folder() {
    static const std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    static const std::string path = base + "/vesk_fuzz_alarms_" + std::to_string(getpid());
    return path;
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

AlarmList* listOfFile(const std::string& file) {
    AlarmList* list = AlarmList::create();
    if (!list) abort();
    for (size_t i = 0; i < file.size(); ++i)
        list->filePath[i] = static_cast<char16>(file[i]);
    return list;
}

void checkConsistent(const AlarmList* list) {
    if ((list->count == 0) != (list->entries == nullptr)) abort();
    for (uint32_t i = 0; i < list->count; ++i) {
        const AlarmEntry& e = list->entries[i];
        if (e.flags & ~(ALARM_ENABLED | ALARM_REPEAT | ALARM_LOOP)) abort();
        if (e.days & ~0x7Fu) abort();
        if (e.visualMode != 0 || e.dueOffset != 0) abort();
        if (text16Length(e.soundFile) >= PATH_UNITS) abort();
    }
    if (list->snoozeCount > SNOOZE_LIMIT) abort();
}

// Saves `list`, loads the file into a new list and returns that list and the file's bytes.
AlarmList* saveAndLoad(AlarmList* list, const std::string& file, std::string* bytes) {
    list->save();
    *bytes = readFile(file);
    AlarmList* back = listOfFile(file);
    back->load();
    checkConsistent(back);
    if (back->count != list->count || back->snoozeCount != list->snoozeCount) abort();
    return back;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool made = system(("mkdir -p " + folder()).c_str()) == 0;
    if (!made) abort();
    std::string file = folder() + "/Alarm.xml";
    FILE* f = fopen(file.c_str(), "wb");
    if (!f) abort();
    fwrite(data, 1, size, f);
    fclose(f);

    // A marker alarm shows whether the load replaced the list or left it alone.
    AlarmList* list = listOfFile(file);
    AlarmEntry marker = {};
    marker.hour = 99;
    if (!list->applyRows(&marker, 1)) abort();
    list->load();
    checkConsistent(list);
    bool replaced = list->count != 1 || list->entries[0].hour != 99;
    bool badCopy = access((file + ".bad").c_str(), F_OK) == 0;
    if (replaced && badCopy) abort();
    remove((file + ".bad").c_str());

    std::string first, second, third;
    AlarmList* once = saveAndLoad(list, file, &first);
    AlarmList* twice = saveAndLoad(once, file, &second);
    AlarmList* thrice = saveAndLoad(twice, file, &third);
    if (second != third) abort();
    AlarmList::destroy(thrice);
    AlarmList::destroy(twice);
    AlarmList::destroy(once);
    AlarmList::destroy(list);
    return 0;
}
