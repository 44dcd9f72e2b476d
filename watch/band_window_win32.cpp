#include "watch/band_window_win32.h"

#include "watch/watch_state_win32.h"
#include "gfx/bitmap.h"
#include "gfx/region_from_alpha_win32.h"
#include "gfx/screen_win32.h"
#include "util/window_class_win32.h"
#include "util/window_placement_win32.h"
#include "watch/alpha_bands.h"
#include "gfx/fade.h"
#include "link/watch_messages.h"

const wchar_t* const BAND_CLASS = L"Korvanex-Alpha";

namespace {

// Background brush value 12, as the watch class takes it; never painted, WM_ERASEBKGND is eaten.
const HBRUSH CLASS_BACKGROUND = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(12));

void onCreate(HWND window, LPARAM lParam) {
    if (!attachOnCreate<WatchState>(window, lParam)) {
        DestroyWindow(window);
        return;
    }
    SetLayeredWindowAttributes(window, 0, FIRST_OPACITY, LWA_ALPHA);
}

// The band shows the very frame the watch window presented; nothing is drawn here.
void onPaint(HWND window, WatchState* watch) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (watch->windowSurface) presentSurface(dc, *watch->windowSurface);
    EndPaint(window, &ps);
}

void followOwner(HWND window) {
    if (!IsWindowVisible(window)) return;
    RECT owner;
    if (GetWindowRect(GetParent(window), &owner)) moveWindowTo(window, owner.left, owner.top);
}

// A band without a window frees its region with the owner; an empty band hides.
void shapeBand(WatchState* watch, int i, OwnedRegion* region) {
    HWND band = watch->bandWindows[i];
    if (!band) return;
    if (!*region) {
        ShowWindow(band, SW_HIDE);
        return;
    }
    resizeWindow(band, watch->width, watch->height);
    giveRegion(band, region);
    ShowWindow(band, SW_SHOWNA);
}

LRESULT CALLBACK bandWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        onCreate(window, lParam);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    WatchState* watch = stateOf<WatchState>(window);
    if (!watch) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        onPaint(window, watch);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_OWNER_MOVED:
        followOwner(window);
        return 1;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

bool registerBandClass(HINSTANCE instance) {
    return registerWindowClass(
        instance, {BAND_CLASS, bandWindowProcedure, CS_HREDRAW | CS_VREDRAW, CLASS_BACKGROUND});
}

void createBandWindows(WatchState* watch) {
    for (int i = 0; i < BAND_COUNT; ++i)
        watch->bandWindows[i] = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, BAND_CLASS, L"",
                                                WS_POPUP | WS_VISIBLE, 0, 0, 800, 800,
                                                watch->window, nullptr, watch->instance, watch);
}

void rebuildBands(WatchState* watch) {
    const CBitMap* sprite = watch->spriteSurface.get();
    OwnedRegion regions[BAND_COUNT];
    for (int i = 0; i < BAND_COUNT; ++i) {
        AlphaBand band = alphaBand(i);
        if (sprite)
            regions[i].reset(regionFromAlpha(&sprite->info.header, sprite->backBuffer(), nullptr,
                                             nullptr, band.low, band.high));
    }
    for (int i = 0; i < BAND_COUNT; ++i)
        shapeBand(watch, i, &regions[i]);
}
