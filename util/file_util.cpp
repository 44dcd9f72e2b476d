#include "util/file_util.h"

#include <cstdlib>
#include <cstring>

uint32_t fileSize(const char16* path) {
    int64_t size = pathFileSize(path);
    return size < 0 ? 0 : static_cast<uint32_t>(size);
}

uint32_t readWholeFile(const char16* path, void* buffer, uint32_t capacity) {
    PlatformFile file;
    if (!fileOpenRead(&file, path)) return 0;
    int64_t size = fileSizeOf(&file);
    uint32_t got = 0;
    // A file that grew since its size was asked for is not read at all: a partial settings or
    // alarm text would parse as something the user never wrote.
    if (size >= 0 && static_cast<uint64_t>(size) <= capacity)
        got = static_cast<uint32_t>(fileRead(&file, buffer, static_cast<size_t>(size)));
    fileClose(&file);
    return got;
}

bool writeWholeFile(const char16* path, const void* bytes, uint32_t count) {
    return pathReplaceFile(path, bytes, count);
}

void deleteFile(const char16* path) {
    pathDeleteFile(path);
}

FileRead readFileBytes(const char16* path, uint32_t limit, char** bytes, uint32_t* count) {
    int64_t size = pathFileSize(path);
    if (size <= 0) return FILE_READ_NONE;
    if (static_cast<uint64_t>(size) > limit) return FILE_READ_TOO_LARGE;
    char* buffer = static_cast<char*>(malloc(static_cast<size_t>(size)));
    if (!buffer) return FILE_READ_FAILED;
    uint32_t got = readWholeFile(path, buffer, static_cast<uint32_t>(size));
    if (got == 0) {
        free(buffer);
        return FILE_READ_FAILED;
    }
    *bytes = buffer;
    *count = got;
    return FILE_READ_OK;
}

namespace {

// "<path><suffix>" into `out`; false when it does not fit PATH_UNITS with its terminator.
bool withSuffix(const char16* path, const char16* suffix, char16* out) {
    size_t length = text16Length(path);
    size_t extra = text16Length(suffix);
    if (length + extra + 1 > PATH_UNITS) return false;
    memcpy(out, path, length * sizeof(char16));
    memcpy(out + length, suffix, (extra + 1) * sizeof(char16));
    return true;
}

// The name of bad copy `number` (1 is the newest, "<path>.bad").
bool badCopyPath(const char16* path, int number, char16* out) {
    static const char16 newest[] = U16(".bad");
    char16 suffix[] = U16(".0.bad");
    suffix[1] = static_cast<char16>(U16('0') + number);
    return withSuffix(path, number == 1 ? newest : suffix, out);
}

} // namespace

bool keepBadCopy(const char16* path, const void* bytes, uint32_t count) {
    char16 names[BAD_COPIES][PATH_UNITS];
    for (int i = 0; i < BAD_COPIES; i++) {
        if (!badCopyPath(path, i + 1, names[i])) return false;
    }
    // From the oldest down, so each move goes to a name just freed; a copy that cannot move
    // would be overwritten, so that stops the save of the new one.
    for (int i = BAD_COPIES - 2; i >= 0; i--) {
        if (pathFileSize(names[i]) < 0) continue;
        if (!pathRenameFile(names[i], names[i + 1])) return false;
    }
    return writeWholeFile(names[0], bytes, count);
}

bool newCopyPath(const char16* path, char16* out) {
    static const char16 suffix[] = U16(".new");
    return withSuffix(path, suffix, out);
}

bool adoptNewCopy(const char16* path) {
    char16 newPath[PATH_UNITS];
    return newCopyPath(path, newPath) && pathRenameFile(newPath, path);
}
