#include "gfx/screen_win32.h"

#include "util/window_class_win32.h"

static_assert(sizeof(BitmapInfoHeader) == sizeof(BITMAPINFOHEADER), "picture header layout");
static_assert(sizeof(BitmapInfo) == sizeof(BITMAPINFO), "picture info layout");

void presentSurface(HDC dc, const CBitMap& surface) {
    if (surface.empty()) return;
    SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(surface.width()),
                      static_cast<DWORD>(surface.height()), 0, 0, 0,
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
