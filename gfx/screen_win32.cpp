#include "gfx/screen_win32.h"

#include "util/window_class_win32.h"

static_assert(sizeof(BitmapInfoHeader) == sizeof(BITMAPINFOHEADER), "picture header layout");
static_assert(sizeof(BitmapInfo) == sizeof(BITMAPINFO), "picture info layout");

void presentSurface(HDC dc, const CBitMap& surface) {
    presentSurfaceArea(dc, surface, RECT{0, 0, surface.width(), surface.height()});
}

void presentSurfaceArea(HDC dc, const CBitMap& surface, const RECT& area) {
    if (surface.empty()) return;
    LONG left = area.left > 0 ? area.left : 0;
    LONG top = area.top > 0 ? area.top : 0;
    LONG right = area.right < surface.width() ? area.right : surface.width();
    LONG bottom = area.bottom < surface.height() ? area.bottom : surface.height();
    if (left >= right || top >= bottom) return;
    // The surface is bottom-up: the source's y counts from its bottom row.
    SetDIBitsToDevice(dc, left, top, static_cast<DWORD>(right - left),
                      static_cast<DWORD>(bottom - top), left, surface.height() - bottom, 0,
                      static_cast<UINT>(surface.height()), surface.frontBuffer(),
                      reinterpret_cast<const BITMAPINFO*>(&surface.info), DIB_RGB_COLORS);
}

namespace {

LRESULT CALLBACK screenProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CScreen* screen = stateOf<CScreen>(window);
    if (!screen) return 0;
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        presentSurface(dc, *screen);
        EndPaint(window, &ps);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    if (screen->observer)
        screen->observer(screen->observerContext, window, message, wParam, lParam);
    return CallWindowProcW(screen->previousProcedure, window, message, wParam, lParam);
}

} // namespace

CScreen::~CScreen() {
    if (window) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure));
        attachWindowState(window, nullptr);
    }
}

bool CScreen::attach(HWND target) {
    window = target;
    attachWindowState(target, this);
    previousProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(target, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(screenProcedure)));
    RECT r;
    GetWindowRect(target, &r);
    return create(32, r.right - r.left, r.bottom - r.top);
}
