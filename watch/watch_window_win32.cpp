#include "watch/watch_window_win32.h"

#include <shellapi.h>

#include "app/keyboard_hook_win32.h"
#include "app/settings.h"
#include "app/tray_icon_win32.h"
#include "app/watch_app_win32.h"
#include "gfx/bitmap.h"
#include "gfx/screen_win32.h"
#include "util/window_placement_win32.h"
#include "watch/fade.h"
#include "watch/watch_messages.h"

namespace {

WatchApp* appOf(HWND window) {
    return reinterpret_cast<WatchApp*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT onCreate(HWND window, LPARAM lParam) {
    const CREATESTRUCTW* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    WatchApp* app = static_cast<WatchApp*>(create->lpCreateParams);
    if (!app) {
        DestroyWindow(window);
        return 0;
    }
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(app));
    if (app->watchRegion) SetWindowRgn(window, app->watchRegion, FALSE);
    app->fadeLevel = 0;
    SetLayeredWindowAttributes(window, 0, 0, LWA_ALPHA);
    SetTimer(window, TIMER_FADE_IN, 1, nullptr);
    SetTimer(window, TIMER_REPAINT, 200, nullptr);
    DragAcceptFiles(window, TRUE);
    return 0;
}

void onDestroy(HWND window) {
    removeTrayIcon(window);
    KillTimer(window, TIMER_REPAINT);
    PostQuitMessage(0);
}

void onPaint(HWND window, WatchApp* app) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (app->windowSurface) {
        app->windowSurface->flip();
        presentSurface(dc, *app->windowSurface);
    }
    EndPaint(window, &ps);
}

void onTimer(HWND window, WatchApp* app, WPARAM id) {
    switch (id) {
    case TIMER_FADE_IN:
        if (fadeInStep(&app->fadeLevel)) KillTimer(window, TIMER_FADE_IN);
        applyFade(app);
        break;
    case TIMER_FADE_OUT:
        if (fadeOutStep(&app->fadeLevel)) {
            KillTimer(window, TIMER_FADE_OUT);
            DestroyWindow(window);
        }
        applyFade(app);
        break;
    case TIMER_REPAINT:
        InvalidateRect(window, nullptr, FALSE);
        break;
    default:
        break;
    }
}

struct OwnedMessage {
    HWND owner;
    UINT message;
};

BOOL CALLBACK sendIfOwned(HWND candidate, LPARAM lParam) {
    const OwnedMessage* owned = reinterpret_cast<const OwnedMessage*>(lParam);
    if (GetParent(candidate) == owned->owner) SendMessageW(candidate, owned->message, 0, 0);
    return TRUE;
}

} // namespace

void applyFade(WatchApp* app) {
    SetLayeredWindowAttributes(app->watchWindow, 0, static_cast<BYTE>(app->fadeLevel), LWA_ALPHA);
    for (int i = 0; i < BAND_COUNT; ++i)
        if (app->bandWindows[i])
            SetLayeredWindowAttributes(app->bandWindows[i], 0, bandOpacity(app->fadeLevel, i),
                                       LWA_ALPHA);
}

void notifyOwned(WatchApp* app, UINT message) {
    OwnedMessage owned{app->watchWindow, message};
    EnumWindows(sendIfOwned, reinterpret_cast<LPARAM>(&owned));
}

void placeWatch(WatchApp* app) {
    computeWorkArea(&app->workArea);
    RECT r;
    GetWindowRect(app->watchWindow, &r);
    moveWindowClamped(app->watchWindow, r.left, r.top, &app->workArea);
    GetWindowRect(app->watchWindow, &app->watchRect);
    notifyOwned(app, WM_OWNER_MOVED);
    notifyOwned(app, WM_OWNER_PLACED);
}

LRESULT CALLBACK watchWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        onDestroy(window);
        return 0;
    }
    if (message == WM_ACTIVATE) {
        setWatchActive(LOWORD(wParam));
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_CREATE) {
        onCreate(window, lParam);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    WatchApp* app = appOf(window);
    if (!app) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_SIZE:
    case WM_KEYDOWN:
        return 0;
    case WM_PAINT:
        onPaint(window, app);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_QUERYENDSESSION:
        saveSettings(app->settings);
        return 1;
    case WM_TIMER:
        onTimer(window, app, wParam);
        return 1;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
