#include "app/watch_window_win32.h"

#include <shellapi.h>

#include "app/alarm_scheduler_win32.h"
#include "app/keyboard_hook_win32.h"
#include "settings/settings.h"
#include "app/tray_icon_win32.h"
#include "app/watch_app_win32.h"
#include "gfx/bitmap.h"
#include "gfx/region_from_alpha_win32.h"
#include "gfx/screen_win32.h"
#include "util/window_class_win32.h"
#include "util/window_placement_win32.h"
#include "watch/alpha_bands.h"
#include "app/band_window_win32.h"
#include "app/context_menu_win32.h"
#include "gfx/fade.h"
#include "app/sound_test_win32.h"
#include "watch/watch_face.h"
#include "link/watch_info_win32.h"
#include "link/watch_messages.h"
#include "watch/watch_mode.h"
#include "app/watch_mode_win32.h"

namespace {

// Broadcast by the shell when the taskbar is (re)created: the tray icon must be added again.
UINT taskbarCreatedMessage = 0;

LRESULT onCreate(HWND window, LPARAM lParam) {
    WatchApp* app = attachOnCreate<WatchApp>(window, lParam);
    if (!app) {
        DestroyWindow(window);
        return 0;
    }
    giveRegion(window, &app->watchRegion);
    app->fadeLevel = 0;
    SetLayeredWindowAttributes(window, 0, FIRST_OPACITY, LWA_ALPHA);
    SetTimer(window, TIMER_FADE_IN, 1, nullptr);
    SetTimer(window, TIMER_REPAINT, 200, nullptr);
    SetTimer(window, TIMER_ALARM_CHECK, 100, nullptr);
    DragAcceptFiles(window, TRUE);
    taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
    return 0;
}

void onDestroy(HWND window) {
    removeTrayIcon(window);
    KillTimer(window, TIMER_WATCH_MODE);
    KillTimer(window, TIMER_ALARM_CHECK);
    KillTimer(window, TIMER_REPAINT);
    PostQuitMessage(0);
}

void onEndSession(HWND window, WatchApp* app, WPARAM ending) {
    if (!ending) return;
    // Once this message is answered the process may end at any moment, before destroy() runs.
    app->saveFiles();
    notifyOwned(app, WM_OWNER_SESSION_END);
    KillTimer(window, TIMER_FADE_IN);
    KillTimer(window, TIMER_FADE_OUT);
    DestroyWindow(window);
}

WatchFace faceOf(WatchApp* app) {
    WatchFace face = {};
    face.windowSurface = app->windowSurface;
    face.spriteSurface = app->spriteSurface;
    if (app->settings) {
        face.dateFormat = static_cast<uint32_t>(app->settings->dateFormat);
        face.timeFormat = app->settings->timeFormat;
    }
    face.alarmFlags = app->nextAlarm.flags;
    face.alarmSymbol = static_cast<int32_t>(app->nextAlarm.symbol);
    return face;
}

bool faceOutdated(WatchApp* app) {
    SystemTime now = {};
    platformLocalTime(&now);
    return !sameFacePicture(faceOf(app), now, app->paintedFace, app->paintedTime);
}

// What the clock changes (date, time, alarm symbol) is printed on the panel, which spans the
// sprite's bottom rows: only that band is repainted and sent to the screen.
void invalidateFace(HWND window, const WatchApp* app) {
    RECT band = {0, app->panelY, app->width, app->height};
    InvalidateRect(window, &band, FALSE);
}

void onPaint(HWND window, WatchApp* app) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (app->windowSurface && app->spriteSurface) {
        SystemTime now = {};
        platformLocalTime(&now);
        app->paintedFace = faceOf(app);
        app->paintedTime = now;
        renderWatchFace(app->paintedFace, now, app->panelX + 6, app->panelY + 6);
        app->windowSurface->flip();
        presentSurfaceArea(dc, *app->windowSurface, ps.rcPaint);
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
        if (faceOutdated(app)) invalidateFace(window, app);
        break;
    case TIMER_ALARM_CHECK:
        checkAlarms(app);
        break;
    case TIMER_WATCH_MODE:
        watchModeStep(app);
        break;
    default:
        break;
    }
}

void beginDrag(HWND window, WatchApp* app) {
    if (app->watchMode != WATCH_MODE_OFF) return;
    app->dragging = 1;
    computeWorkArea(&app->workArea);
    RECT r;
    POINT cursor;
    GetWindowRect(window, &r);
    GetCursorPos(&cursor);
    app->dragOffset = POINT{r.left - cursor.x, r.top - cursor.y};
    SetCapture(window);
}

void dragTo(HWND window, WatchApp* app) {
    if (app->dragging != 1) return;
    POINT cursor;
    GetCursorPos(&cursor);
    moveWindowClamped(window, cursor.x + app->dragOffset.x, cursor.y + app->dragOffset.y,
                      &app->workArea);
    notifyOwned(app, WM_OWNER_MOVED);
}

// Any button-up ends a drag, even one that never began: a click stores where the watch is.
void endDrag(HWND window, WatchApp* app) {
    app->dragging = 0;
    ReleaseCapture();
    RECT r;
    GetWindowRect(window, &r);
    if (app->settings) {
        app->settings->x = r.left;
        app->settings->y = r.top;
    }
    app->watchRect = r;
}

void onRightButtonDown(HWND window, WatchApp* app, LPARAM lParam) {
    // Coordinates taken as unsigned 16-bit values, as the message packs them.
    POINT p{static_cast<LONG>(LOWORD(lParam)), static_cast<LONG>(HIWORD(lParam))};
    ClientToScreen(window, &p);
    showContextMenu(window, app, p.x, p.y);
    InvalidateRect(window, nullptr, TRUE);
}

void onTrayNotify(HWND window, WatchApp* app, LPARAM mouseMessage) {
    if (mouseMessage == WM_LBUTTONDOWN) {
        if (IsIconic(window))
            restoreWatch(window, app->settings ? app->settings->topmost : 0);
        else
            SetForegroundWindow(window);
    } else if (mouseMessage == WM_RBUTTONDOWN) {
        showTrayMenu(window);
    }
}

void fillWatchInfo(WatchApp* app, LPARAM lParam) {
    WatchInfo* info = reinterpret_cast<WatchInfo*>(lParam);
    if (!info) return;
    info->watchWindow = app->watchWindow;
    info->watchRect = app->watchRect;
    info->panelX = app->panelX;
    info->panelY = app->panelY;
    info->settings = app->settings;
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

// Messages answered the same way whatever their parameters.
MessageAnswer fixedAnswer(UINT message) {
    switch (message) {
    case WM_SIZE:
    case WM_KEYDOWN:
        return answer(0);
    case WM_ERASEBKGND:
        return answer(1);
    default:
        return NOT_HANDLED;
    }
}

LRESULT dispatch(HWND window, WatchApp* app, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        onPaint(window, app);
        return 0;
    case WM_QUERYENDSESSION:
        app->saveFiles();
        return 1;
    case WM_ENDSESSION:
        onEndSession(window, app, wParam);
        break;
    case WM_COMMAND:
        return runMenuCommand(window, app, wParam, lParam);
    case WM_TIMER:
        onTimer(window, app, wParam);
        return 1;
    case WM_MOUSEMOVE:
        dragTo(window, app);
        return 0;
    case WM_LBUTTONDOWN:
        beginDrag(window, app);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        endDrag(window, app);
        return 0;
    case WM_RBUTTONDOWN:
        onRightButtonDown(window, app, lParam);
        return 0;
    case WM_DROPFILES:
        startSoundTest(app, reinterpret_cast<HDROP>(wParam));
        break;
    case WM_TRAY_NOTIFY:
        onTrayNotify(window, app, lParam);
        break;
    case WM_QUERY_WATCH_INFO:
        fillWatchInfo(app, lParam);
        return 1;
    default:
        if (message == taskbarCreatedMessage && message != 0)
            restoreTrayIcon(window, LoadIconW(app->instance, MAKEINTRESOURCEW(ICON_RESOURCE)));
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
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

void switchCharacter(WatchApp* app, bool apply) {
    int32_t chara = app->settings ? app->settings->chara : 0;
    composeCharacterSprite(app->spriteSurface, chara, &app->panelX, &app->panelY);
    if (!apply) return;
    const CBitMap* sprite = app->spriteSurface;
    app->watchRegion.reset(regionFromAlpha(&sprite->info.header, sprite->backBuffer(), &app->width,
                                           &app->height, WATCH_BAND_LOW, WATCH_BAND_HIGH));
    app->windowSurface->release();
    app->windowSurface->create(24, app->width, app->height);
    resizeWindow(app->watchWindow, app->width, app->height);
    giveRegion(app->watchWindow, &app->watchRegion);
    rebuildBands(app);
    placeWatch(app);
    InvalidateRect(app->watchWindow, nullptr, TRUE);
    for (HWND band : app->bandWindows)
        if (band) InvalidateRect(band, nullptr, TRUE);
}

void restoreWatch(HWND window, int topmost) {
    if (!window || !IsIconic(window)) return;
    ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    setTopmost(window, topmost);
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
    WatchApp* app = stateOf<WatchApp>(window);
    if (!app) return DefWindowProcW(window, message, wParam, lParam);
    MessageAnswer fixed = fixedAnswer(message);
    if (fixed.handled) return fixed.result;
    return dispatch(window, app, message, wParam, lParam);
}
