#include "watch/keyboard_hook_win32.h"

#include <windows.h>

#include "watch/keyboard_filter.h"

namespace {

HHOOK hookHandle = nullptr;
// Written by the watch window procedure, read by the hook; both run on the UI thread.
int watchActive = 0;

LRESULT CALLBACK keyboardHookProcedure(int code, WPARAM wParam, LPARAM lParam) {
    const KBDLLHOOKSTRUCT* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (code >= 0 &&
        swallowKeyEvent(code, watchActive, static_cast<uint32_t>(wParam), key->vkCode, key->flags))
        return 1;
    return CallNextHookEx(hookHandle, code, wParam, lParam);
}

} // namespace

void setWatchActive(int state) {
    watchActive = state;
}

bool installKeyboardHook() {
    hookHandle =
        SetWindowsHookExW(WH_KEYBOARD_LL, keyboardHookProcedure, GetModuleHandleW(nullptr), 0);
    return hookHandle != nullptr;
}

void removeKeyboardHook() {
    if (hookHandle) UnhookWindowsHookEx(hookHandle);
    hookHandle = nullptr;
}
