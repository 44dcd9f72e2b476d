#include "util/file_util.h"

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

bool keepBadCopy(const char16* path, const void* bytes, uint32_t count) {
    static const char16 suffix[] = U16(".bad");
    size_t length = text16Length(path);
    char16 badPath[PATH_UNITS];
    if (length + sizeof suffix / sizeof(char16) > PATH_UNITS) return false;
    memcpy(badPath, path, length * sizeof(char16));
    memcpy(badPath + length, suffix, sizeof suffix);
    return writeWholeFile(badPath, bytes, count);
}
