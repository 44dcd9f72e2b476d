#include "util/ansi_text_win32.h"

#include <windows.h>

#include <cstdlib>

wchar_t* ansiToWide(const char* text) {
    int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (units <= 0) return nullptr;
    wchar_t* out = static_cast<wchar_t*>(malloc(static_cast<size_t>(units) * sizeof(wchar_t)));
    if (!out) return nullptr;
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, out, units) == 0) {
        free(out);
        return nullptr;
    }
    return out;
}
