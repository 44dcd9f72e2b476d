#include "watch/watch_window_win32.h"

#include <shellapi.h>

#include <new>

#include "gfx/bitmap.h"
#include "gfx/fade.h"
#include "gfx/region_from_alpha_win32.h"
#include "gfx/screen_win32.h"
#include "link/watch_info_win32.h"
#include "link/watch_messages.h"
#include "settings/settings.h"
#include "util/window_class_win32.h"
#include "util/window_placement_win32.h"
#include "watch/alpha_bands.h"
#include "watch/band_window_win32.h"
#include "watch/chara_choice_win32.h"
#include "watch/context_menu_win32.h"
#include "watch/keyboard_hook_win32.h"
#include "watch/tray_icon_win32.h"
#include "watch/watch_face.h"
#include "watch/watch_host_win32.h"
#include "watch/watch_mode.h"
#include "watch/watch_mode_win32.h"

const wchar_t* const WATCH_CLASS = L"Korvanex-100";
const wchar_t* const WATCH_TITLE = L"Vesk";

namespace {

// Background brush value 12: the system colour index COLOR_APPWORKSPACE + 1, as classes take it.
const HBRUSH CLASS_BACKGROUND = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(12));

// Broadcast by the shell when the taskbar is (re)created: the tray icon must be added again.
UINT taskbarCreatedMessage = 0;

LRESULT onCreate(HWND window, LPARAM lParam) {
    WatchState* watch = attachOnCreate<WatchState>(window, lParam);
    if (!watch) {
        DestroyWindow(window);
        return 0;
    }
    giveRegion(window, &watch->region);
    watch->fadeLevel = 0;
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

void onEndSession(HWND window, WatchState* watch, WPARAM ending) {
    if (!ending) return;
    // Once this message is answered the process may end at any moment, before shutdown runs.
    watch->host->saveFiles();
    notifyOwned(watch, WM_OWNER_SESSION_END);
    KillTimer(window, TIMER_FADE_IN);
    KillTimer(window, TIMER_FADE_OUT);
    DestroyWindow(window);
}

WatchFace faceOf(WatchState* watch) {
    WatchFace face = {};
    face.windowSurface = watch->windowSurface.get();
    face.spriteSurface = watch->spriteSurface.get();
    if (watch->settings) {
        face.dateFormat = static_cast<uint32_t>(watch->settings->dateFormat);
        face.timeFormat = watch->settings->timeFormat;
    }
    face.alarmFlags = watch->nextAlarm.flags;
    face.alarmSymbol = static_cast<int32_t>(watch->nextAlarm.symbol);
    return face;
}

bool faceOutdated(WatchState* watch) {
    SystemTime now = {};
    platformLocalTime(&now);
    return !sameFacePicture(faceOf(watch), now, watch->paintedFace, watch->paintedTime);
}

// What the clock changes (date, time, alarm symbol) is printed on the panel, which spans the
// sprite's bottom rows: only that band is repainted and sent to the screen.
void invalidateFace(HWND window, const WatchState* watch) {
    RECT band = {0, watch->panelY, watch->width, watch->height};
    InvalidateRect(window, &band, FALSE);
}

void onPaint(HWND window, WatchState* watch) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (watch->windowSurface && watch->spriteSurface) {
        SystemTime now = {};
        platformLocalTime(&now);
        watch->paintedFace = faceOf(watch);
        watch->paintedTime = now;
        renderWatchFace(watch->paintedFace, now, watch->panelX + 6, watch->panelY + 6);
        watch->windowSurface->flip();
        presentSurfaceArea(dc, *watch->windowSurface, ps.rcPaint);
    }
    EndPaint(window, &ps);
}

void onTimer(HWND window, WatchState* watch, WPARAM id) {
    switch (id) {
    case TIMER_FADE_IN:
        if (fadeInStep(&watch->fadeLevel)) KillTimer(window, TIMER_FADE_IN);
        applyFade(watch);
        break;
    case TIMER_FADE_OUT:
        if (fadeOutStep(&watch->fadeLevel)) {
            KillTimer(window, TIMER_FADE_OUT);
            DestroyWindow(window);
        }
        applyFade(watch);
        break;
    case TIMER_REPAINT:
        if (faceOutdated(watch)) invalidateFace(window, watch);
        break;
    case TIMER_ALARM_CHECK:
        watch->host->checkAlarms(&watch->nextAlarm);
        break;
    case TIMER_WATCH_MODE:
        watchModeStep(watch);
        break;
    default:
        break;
    }
}

void beginDrag(HWND window, WatchState* watch) {
    if (watch->watchMode != WATCH_MODE_OFF) return;
    watch->dragging = 1;
    computeWorkArea(&watch->workArea);
    RECT r;
    POINT cursor;
    GetWindowRect(window, &r);
    GetCursorPos(&cursor);
    watch->dragOffset = POINT{r.left - cursor.x, r.top - cursor.y};
    SetCapture(window);
}

void dragTo(HWND window, WatchState* watch) {
    if (watch->dragging != 1) return;
    POINT cursor;
    GetCursorPos(&cursor);
    moveWindowClamped(window, cursor.x + watch->dragOffset.x, cursor.y + watch->dragOffset.y,
                      &watch->workArea);
    notifyOwned(watch, WM_OWNER_MOVED);
}

// Any button-up ends a drag, even one that never began: a click stores where the watch is.
void endDrag(HWND window, WatchState* watch) {
    watch->dragging = 0;
    ReleaseCapture();
    RECT r;
    GetWindowRect(window, &r);
    if (watch->settings) {
        watch->settings->x = r.left;
        watch->settings->y = r.top;
    }
    watch->rect = r;
}

void onRightButtonDown(HWND window, WatchState* watch, LPARAM lParam) {
    // Coordinates taken as unsigned 16-bit values, as the message packs them.
    POINT p{static_cast<LONG>(LOWORD(lParam)), static_cast<LONG>(HIWORD(lParam))};
    ClientToScreen(window, &p);
    showContextMenu(window, watch, p.x, p.y);
    InvalidateRect(window, nullptr, TRUE);
}

void onTrayNotify(HWND window, WatchState* watch, LPARAM mouseMessage) {
    if (mouseMessage == WM_LBUTTONDOWN) {
        if (IsIconic(window))
            restoreWatch(window, watch->settings ? watch->settings->topmost : 0);
        else
            SetForegroundWindow(window);
    } else if (mouseMessage == WM_RBUTTONDOWN) {
        showTrayMenu(window);
    }
}

WatchInfo watchInfoOf(const WatchState& watch) {
    return WatchInfo{watch.window, watch.rect, watch.panelX, watch.panelY, watch.settings};
}

void fillWatchInfo(const WatchState* watch, LPARAM lParam) {
    WatchInfo* info = reinterpret_cast<WatchInfo*>(lParam);
    if (info) *info = watchInfoOf(*watch);
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

LRESULT dispatch(HWND window, WatchState* watch, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        onPaint(window, watch);
        return 0;
    case WM_QUERYENDSESSION:
        watch->host->saveFiles();
        return 1;
    case WM_ENDSESSION:
        onEndSession(window, watch, wParam);
        break;
    case WM_COMMAND:
        return runMenuCommand(window, watch, wParam, lParam);
    case WM_TIMER:
        onTimer(window, watch, wParam);
        return 1;
    case WM_MOUSEMOVE:
        dragTo(window, watch);
        return 0;
    case WM_LBUTTONDOWN:
        beginDrag(window, watch);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        endDrag(window, watch);
        return 0;
    case WM_RBUTTONDOWN:
        onRightButtonDown(window, watch, lParam);
        return 0;
    case WM_DROPFILES:
        watch->host->playDroppedFiles(reinterpret_cast<HDROP>(wParam));
        break;
    case WM_TRAY_NOTIFY:
        onTrayNotify(window, watch, lParam);
        break;
    case WM_QUERY_WATCH_INFO:
        fillWatchInfo(watch, lParam);
        return 1;
    default:
        if (message == taskbarCreatedMessage && message != 0)
            restoreTrayIcon(window, LoadIconW(watch->instance, MAKEINTRESOURCEW(ICON_RESOURCE)));
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
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
    WatchState* watch = stateOf<WatchState>(window);
    if (!watch) return DefWindowProcW(window, message, wParam, lParam);
    MessageAnswer fixed = fixedAnswer(message);
    if (fixed.handled) return fixed.result;
    return dispatch(window, watch, message, wParam, lParam);
}

// The watch's shape, the sprite's nearly opaque pixels, and its size; the window takes the
// shape when it is made or reshaped.
void cutWatchShape(WatchState* watch) {
    const CBitMap* sprite = watch->spriteSurface.get();
    watch->region.reset(regionFromAlpha(&sprite->info.header, sprite->backBuffer(), &watch->width,
                                        &watch->height, WATCH_BAND_LOW, WATCH_BAND_HIGH));
}

// The sprite of the chosen character, the shape cut from it and a window surface of its size.
bool buildSurfaces(WatchState* watch) {
    watch->spriteSurface.reset(new (std::nothrow) CBitMap);
    if (!watch->spriteSurface) return false;
    switchCharacter(watch, false);
    cutWatchShape(watch);
    watch->windowSurface.reset(new (std::nothrow) CBitMap);
    if (!watch->windowSurface) return false;
    watch->windowSurface->create(24, watch->width, watch->height);
    return true;
}

bool registerWatchClass(HINSTANCE instance) {
    return registerWindowClass(instance, {WATCH_CLASS, watchWindowProcedure,
                                          CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, CLASS_BACKGROUND});
}

} // namespace

void applyFade(WatchState* watch) {
    SetLayeredWindowAttributes(watch->window, 0, static_cast<BYTE>(watch->fadeLevel), LWA_ALPHA);
    for (int i = 0; i < BAND_COUNT; ++i)
        if (watch->bandWindows[i])
            SetLayeredWindowAttributes(watch->bandWindows[i], 0, bandOpacity(watch->fadeLevel, i),
                                       LWA_ALPHA);
}

void notifyOwned(WatchState* watch, UINT message) {
    OwnedMessage owned{watch->window, message};
    EnumWindows(sendIfOwned, reinterpret_cast<LPARAM>(&owned));
}

void placeWatch(WatchState* watch) {
    computeWorkArea(&watch->workArea);
    RECT r;
    GetWindowRect(watch->window, &r);
    moveWindowClamped(watch->window, r.left, r.top, &watch->workArea);
    GetWindowRect(watch->window, &watch->rect);
    notifyOwned(watch, WM_OWNER_MOVED);
    notifyOwned(watch, WM_OWNER_PLACED);
}

void switchCharacter(WatchState* watch, bool apply) {
    composeChosenSprite(watch);
    if (!apply) return;
    cutWatchShape(watch);
    watch->windowSurface->release();
    watch->windowSurface->create(24, watch->width, watch->height);
    resizeWindow(watch->window, watch->width, watch->height);
    giveRegion(watch->window, &watch->region);
    rebuildBands(watch);
    placeWatch(watch);
    InvalidateRect(watch->window, nullptr, TRUE);
    for (HWND band : watch->bandWindows)
        if (band) InvalidateRect(band, nullptr, TRUE);
}

void restoreWatch(HWND window, int topmost) {
    if (!window || !IsIconic(window)) return;
    ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    setTopmost(window, topmost);
}

WatchWindow::WatchWindow(HINSTANCE instance, WatchHost* host) {
    state_.instance = instance;
    state_.host = host;
    installKeyboardHook();
}

WatchWindow::~WatchWindow() {
    removeKeyboardHook();
}

bool WatchWindow::create(WatchSettings* settings, int showCommand) {
    state_.settings = settings;
    if (!registerWatchClass(state_.instance) || !registerBandClass(state_.instance)) return false;
    bool wornFile = settings && settings->charaFile[0];
    if (!buildSurfaces(&state_)) return false;
    bool charaFileGone = wornFile && !settings->charaFile[0];
    state_.window =
        CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, WATCH_CLASS, WATCH_TITLE, WS_POPUP,
                        settings ? settings->x : 0, settings ? settings->y : 0, state_.width,
                        state_.height, nullptr, nullptr, state_.instance, &state_);
    if (!state_.window) return false;
    createBandWindows(&state_);
    rebuildBands(&state_);

    placeWatch(&state_);
    ShowWindow(state_.window, showCommand);
    UpdateWindow(state_.window);
    setTopmost(state_.window, settings ? settings->topmost : 0);
    addTrayIcon(state_.window, LoadIconW(state_.instance, MAKEINTRESOURCEW(ICON_RESOURCE)));
    if (charaFileGone) tellCharaFileGone(state_.window);
    state_.watchMode = settings && settings->watch ? WATCH_MODE_ON : WATCH_MODE_OFF;
    syncWatchModeTimer(state_.window, state_.watchMode);
    return true;
}

WatchInfo WatchWindow::info() const {
    return watchInfoOf(state_);
}
