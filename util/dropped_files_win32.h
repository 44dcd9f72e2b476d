// The files of a drag-and-drop, one path at a time.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include "util/file_util.h"

// Calls `visit(path)` for each dropped file in order until it returns true. A path too long for
// PATH_UNITS is left out: it would arrive cut short and name some other file. The drop stays
// with the caller.
template <typename Visit> void forEachDroppedFile(HDROP drop, Visit visit) {
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        if (DragQueryFileW(drop, i, nullptr, 0) >= UINT(PATH_UNITS)) continue;
        wchar_t path[PATH_UNITS];
        if (DragQueryFileW(drop, i, path, PATH_UNITS) == 0) continue;
        if (visit(path)) return;
    }
}
