#include "watch/watch_mode_win32.h"

#include <windows.h>

#include "settings/settings.h"
#include "watch/watch_state_win32.h"
#include "util/window_class_win32.h"
#include "util/window_placement_win32.h"
#include "link/watch_messages.h"
#include "watch/watch_mode.h"
#include "watch/watch_window_win32.h"

namespace {

constexpr int NOTICE_DIALOG = 207;
constexpr int NOTICE_DO_NOT_ASK = 1024;

// The close button (or Enter) is the only way the tick box is kept.
void closeWithButton(HWND dialog, WatchState* watch) {
    bool ticked = IsDlgButtonChecked(dialog, NOTICE_DO_NOT_ASK) == BST_CHECKED;
    if (watch->settings) watch->settings->doNotAskAgain = ticked ? 1 : 0;
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK noticeProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        attachWindowState(dialog, reinterpret_cast<WatchState*>(lParam));
        centerWindow(dialog, nullptr);
        return TRUE;
    }
    WatchState* watch = stateOf<WatchState>(dialog);
    if (!watch) return FALSE;
    switch (message) {
    case WM_DESTROY:
        return TRUE;
    case WM_CLOSE:
        // Alt+F4 closes without reading the tick box.
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    case WM_COMMAND:
        // Escape arrives as IDCANCEL and is left alone: the notice stays until it is read.
        if (LOWORD(wParam) != IDOK) return FALSE;
        closeWithButton(dialog, watch);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void watchModeStep(WatchState* watch) {
    if (watch->watchMode == WATCH_MODE_OFF) return;
    POINT cursor;
    if (!GetCursorPos(&cursor)) return;
    Point last{watch->lastCursor.x, watch->lastCursor.y};
    Point target;
    if (!watchModeTick(&watch->watchMode, &last, Point{cursor.x, cursor.y}, &target)) return;
    watch->lastCursor = POINT{last.x, last.y};
    RECT area;
    computeWorkArea(&area);
    moveWindowClamped(watch->window, target.x, target.y, &area);
    notifyOwned(watch, WM_OWNER_MOVED);
}

void syncWatchModeTimer(HWND window, int32_t mode) {
    if (mode == WATCH_MODE_OFF) {
        KillTimer(window, TIMER_WATCH_MODE);
    } else {
        SetTimer(window, TIMER_WATCH_MODE, 10, nullptr);
    }
}

void showWatchModeNotice(WatchState* watch) {
    DialogBoxParamW(watch->instance, MAKEINTRESOURCEW(NOTICE_DIALOG), watch->window,
                    noticeProcedure, reinterpret_cast<LPARAM>(watch));
}
