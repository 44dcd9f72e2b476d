#include "util/debug_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"

void debugLog(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int length = vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length >= 0) {
        char* text = static_cast<char*>(malloc(static_cast<size_t>(length) + 1));
        if (text) {
            vsnprintf(text, static_cast<size_t>(length) + 1, format, args);
            platformDebugOutput(text);
            free(text);
        }
    }
    va_end(args);
}
