// Window-placement arithmetic, kept apart from the Windows calls that apply it so it can be
// tested on its own.
#pragma once

#include "util/geometry.h"

// The desktop minus a taskbar docked to one of its edges. A taskbar as wide (or as high) as
// the desktop and flush with an edge cuts that edge; any other shape leaves the desktop whole.
Rect workAreaFromTaskbar(const Rect& desktop, const Rect& taskbar);
// The position a `width` x `height` window takes when moved to (x, y) but kept inside `area`.
// A window larger than the area sticks to its left (or top) edge.
Point clampWindowPosition(int32_t x, int32_t y, int32_t width, int32_t height, const Rect& area);
