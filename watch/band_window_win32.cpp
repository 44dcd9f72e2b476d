#include "app/band_window_win32.h"

#include "app/watch_app_win32.h"
#include "gfx/bitmap.h"
#include "gfx/region_from_alpha_win32.h"
#include "gfx/screen_win32.h"
#include "util/window_class_win32.h"
#include "util/window_placement_win32.h"
#include "watch/alpha_bands.h"
#include "gfx/fade.h"
#include "link/watch_messages.h"

namespace {

// Background brush value 12, as the watch class takes it; never painted, WM_ERASEBKGND is eaten.
const HBRUSH CLASS_BACKGROUND = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(12));

void onCreate(HWND window, LPARAM lParam) {
    if (!attachOnCreate<WatchApp>(window, lParam)) {
        DestroyWindow(window);
        return;
    }
    SetLayeredWindowAttributes(window, 0, FIRST_OPACITY, LWA_ALPHA);
}

// The band shows the very frame the watch window presented; nothing is drawn here.
void onPaint(HWND window, WatchApp* app) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (app->windowSurface) presentSurface(dc, *app->windowSurface);
    EndPaint(window, &ps);
}

void followOwner(HWND window) {
    if (!IsWindowVisible(window)) return;
    RECT owner;
    if (GetWindowRect(GetParent(window), &owner)) moveWindowTo(window, owner.left, owner.top);
}

// A band without a window frees its region with the owner; an empty band hides.
void shapeBand(WatchApp* app, int i, OwnedRegion* region) {
    HWND band = app->bandWindows[i];
    if (!band) return;
    if (!*region) {
        ShowWindow(band, SW_HIDE);
        return;
    }
    resizeWindow(band, app->width, app->height);
    giveRegion(band, region);
    ShowWindow(band, SW_SHOWNA);
}

LRESULT CALLBACK bandWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        onCreate(window, lParam);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    WatchApp* app = stateOf<WatchApp>(window);
    if (!app) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        onPaint(window, app);
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

void createBandWindows(WatchApp* app) {
    for (int i = 0; i < BAND_COUNT; ++i)
        app->bandWindows[i] = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, BAND_CLASS, L"",
                                              WS_POPUP | WS_VISIBLE, 0, 0, 800, 800,
                                              app->watchWindow, nullptr, app->instance, app);
}

void rebuildBands(WatchApp* app) {
    const CBitMap* sprite = app->spriteSurface;
    OwnedRegion regions[BAND_COUNT];
    for (int i = 0; i < BAND_COUNT; ++i) {
        AlphaBand band = alphaBand(i);
        if (sprite)
            regions[i].reset(regionFromAlpha(&sprite->info.header, sprite->backBuffer(), nullptr,
                                             nullptr, band.low, band.high));
    }
    for (int i = 0; i < BAND_COUNT; ++i)
        shapeBand(app, i, &regions[i]);
}
