#include "app/program_folder_win32.h"

#include <windows.h>

#include <cstdlib>
#include <cwchar>

#include "util/file_util.h"
#include "util/path_util.h"

namespace {

// The longest path the system handles, in UTF-16 units.
constexpr DWORD LONGEST_PATH_UNITS = 32768;
// Room the program needs after its folder for "\Setting.xml", "\Alarm.xml" and the temporary
// and kept copies saved beside them, all in PATH_UNITS buffers.
constexpr size_t FILE_NAME_ROOM = 32;

wchar_t* newText(size_t units) {
    return static_cast<wchar_t*>(malloc(units * sizeof(wchar_t)));
}

wchar_t* copyText(const wchar_t* text) {
    size_t length = wcslen(text);
    wchar_t* copy = newText(length + 1);
    if (copy) wmemcpy(copy, text, length + 1);
    return copy;
}

// The program file's full name. The system cuts a name that does not fit the buffer and then
// fills it to the last unit, so the buffer grows until the name ends inside it.
wchar_t* moduleFileName() {
    for (DWORD capacity = MAX_PATH; capacity < 2 * LONGEST_PATH_UNITS; capacity *= 2) {
        wchar_t* name = newText(capacity);
        if (!name) return nullptr;
        DWORD length = GetModuleFileNameW(nullptr, name, capacity);
        if (length > 0 && length < capacity) return name;
        free(name);
        if (length == 0) return nullptr;
    }
    return nullptr;
}

// The short (8.3) form of `folder`, or null when the volume keeps none or it is no shorter.
wchar_t* shortName(const wchar_t* folder) {
    DWORD needed = GetShortPathNameW(folder, nullptr, 0);
    if (needed == 0) return nullptr;
    wchar_t* name = newText(needed);
    if (!name) return nullptr;
    DWORD length = GetShortPathNameW(folder, name, needed);
    if (length == 0 || length >= needed || length >= wcslen(folder)) {
        free(name);
        return nullptr;
    }
    return name;
}

bool fitsFileNames(const wchar_t* folder) {
    return wcslen(folder) + FILE_NAME_ROOM < size_t(PATH_UNITS);
}

} // namespace

wchar_t* programFolder() {
    wchar_t* name = moduleFileName();
    if (!name) return nullptr;
    size_t length = directoryOf(name, nullptr, 0);
    if (length == 0) {
        free(name);
        return nullptr;
    }
    name[length] = 0;
    return name;
}

wchar_t* enterFolder(const wchar_t* folder) {
    wchar_t* entered = fitsFileNames(folder) ? copyText(folder) : shortName(folder);
    if (entered && fitsFileNames(entered) && SetCurrentDirectoryW(entered)) return entered;
    free(entered);
    return nullptr;
}
