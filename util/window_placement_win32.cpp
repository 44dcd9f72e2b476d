#include "util/window_placement_win32.h"

#include "util/work_area.h"

namespace {

const UINT kQuietMove =
    SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOSENDCHANGING;

Rect toRect(const RECT& r) {
    return Rect{r.left, r.top, r.right, r.bottom};
}

} // namespace

void computeWorkArea(RECT* out) {
    GetClientRect(GetDesktopWindow(), out);
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (!taskbar) return;
    RECT bar;
    GetWindowRect(taskbar, &bar);
    Rect area = workAreaFromTaskbar(toRect(*out), toRect(bar));
    *out = RECT{area.left, area.top, area.right, area.bottom};
}

void moveWindowTo(HWND window, int x, int y) {
    if (!window) return;
    SetWindowPos(window, nullptr, x, y, 0, 0, kQuietMove | SWP_NOSIZE);
}

void moveWindowClamped(HWND window, int x, int y, const RECT* area) {
    if (!window) return;
    RECT r;
    GetWindowRect(window, &r);
    Point p = clampWindowPosition(x, y, r.right - r.left, r.bottom - r.top, toRect(*area));
    SetWindowPos(window, nullptr, p.x, p.y, 0, 0, kQuietMove | SWP_NOSIZE);
}

void resizeWindow(HWND window, int width, int height) {
    if (!window) return;
    SetWindowPos(window, nullptr, 0, 0, width, height, kQuietMove | SWP_NOMOVE);
}

int centerWindow(HWND window, HWND reference) {
    if (!window) return 0;
    RECT ref, own;
    GetWindowRect(reference ? reference : GetDesktopWindow(), &ref);
    GetWindowRect(window, &own);
    int width = own.right - own.left;
    int height = own.bottom - own.top;
    SetWindowPos(window, nullptr, ((ref.right - ref.left) - width) / 2,
                 ((ref.bottom - ref.top) - height) / 2, width, height, 0);
    return 0;
}

int cursorPosIn(HWND window, POINT* out) {
    GetCursorPos(out);
    if (window) {
        RECT r;
        GetWindowRect(window, &r);
        out->x -= r.left;
        out->y -= r.top;
    }
    return 1;
}

void setTopmost(HWND window, int topmost) {
    if (!window) return;
    SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
}
