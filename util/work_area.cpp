#include "util/work_area.h"

Rect workAreaFromTaskbar(const Rect& desktop, const Rect& taskbar) {
    Rect area = desktop;
    int32_t desktopWidth = desktop.right - desktop.left;
    int32_t desktopHeight = desktop.bottom - desktop.top;
    if (desktopWidth == taskbar.right - taskbar.left) {
        if (desktop.bottom == taskbar.bottom)
            area.bottom = taskbar.top;
        else if (desktop.top == taskbar.top)
            area.top = taskbar.bottom;
    } else if (desktopHeight == taskbar.bottom - taskbar.top) {
        if (desktop.right == taskbar.right)
            area.right = taskbar.left;
        else if (desktop.left == taskbar.left)
            area.left = taskbar.right;
    }
    return area;
}

Point clampWindowPosition(int32_t x, int32_t y, int32_t width, int32_t height, const Rect& area) {
    int32_t maxX = area.right - width;
    int32_t maxY = area.bottom - height;
    if (maxX < area.left) maxX = area.left;
    if (maxY < area.top) maxY = area.top;
    Point p;
    p.x = x < area.left ? area.left : x > maxX ? maxX : x;
    p.y = y < area.top ? area.top : y > maxY ? maxY : y;
    return p;
}
