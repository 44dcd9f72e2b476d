#include "util/path_util.h"

namespace {

bool isSeparator(char16 c) {
    return c == U16('\\') || c == U16('/');
}

// Index of the last separator, or -1.
long lastSeparator(const char16* path) {
    long last = -1;
    for (long i = 0; path[i]; ++i)
        if (isSeparator(path[i])) last = i;
    return last;
}

bool isAsciiLetter(char16 c) {
    return (c >= U16('A') && c <= U16('Z')) || (c >= U16('a') && c <= U16('z'));
}

size_t copyOut(const char16* from, size_t length, char16* out, size_t capacity) {
    if (!out) return length;
    if (capacity <= length) return 0;
    for (size_t i = 0; i < length; ++i)
        out[i] = from[i];
    out[length] = 0;
    return length;
}

} // namespace

size_t directoryOf(const char16* path, char16* out, size_t capacity) {
    long last = lastSeparator(path);
    size_t n = last < 0 ? 0 : static_cast<size_t>(last);
    // A drive root keeps its separator, so "C:\w.exe" lives in "C:\", not in "C:".
    if (n < 3 && path[0] && path[1] == U16(':') && isAsciiLetter(path[0])) n = 3;
    return copyOut(path, n, out, capacity);
}

size_t fileNameOf(const char16* path, char16* out, size_t capacity) {
    long last = lastSeparator(path);
    size_t start = last <= 0 ? 0 : static_cast<size_t>(last) + 1;
    size_t length = text16Length(path + start);
    return copyOut(path + start, length, out, capacity);
}
