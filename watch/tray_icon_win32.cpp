#include "watch/tray_icon_win32.h"

#include <shellapi.h>

#include "watch/watch_window_win32.h"
#include "link/watch_messages.h"

namespace {

NOTIFYICONDATAW trayRecord(HWND window, HICON icon) {
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_TIP | (icon ? NIF_ICON : 0u);
    data.uCallbackMessage = WM_TRAY_NOTIFY;
    data.hIcon = icon;
    lstrcpynW(data.szTip, WATCH_TITLE, 128);
    return data;
}

} // namespace

bool addTrayIcon(HWND window, HICON icon) {
    NOTIFYICONDATAW data = trayRecord(window, icon);
    return Shell_NotifyIconW(NIM_ADD, &data) != 0;
}

void restoreTrayIcon(HWND window, HICON icon) {
    NOTIFYICONDATAW data = trayRecord(window, icon);
    if (!Shell_NotifyIconW(NIM_ADD, &data)) Shell_NotifyIconW(NIM_MODIFY, &data);
}

void removeTrayIcon(HWND window) {
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = 1;
    Shell_NotifyIconW(NIM_DELETE, &data);
}

bool showTrayBalloon(HWND window, const wchar_t* title, const wchar_t* text) {
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = 1;
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = NIIF_WARNING;
    lstrcpynW(data.szInfoTitle, title, ARRAYSIZE(data.szInfoTitle));
    lstrcpynW(data.szInfo, text, ARRAYSIZE(data.szInfo));
    return Shell_NotifyIconW(NIM_MODIFY, &data) != 0;
}
