// Alt+Print Screen must not copy the watch while it is the active window, and must work as
// usual otherwise. The driver watches the keys with a hook of its own, installed before the
// watch's, so it sees exactly the events the watch passes on.
#include <gtest/gtest.h>

#include <vector>

#include "tests/e2e/e2e_support.h"

namespace {

int altPrintScreensSeen = 0;
int printScreensSeen = 0;

LRESULT CALLBACK countingHook(int code, WPARAM wParam, LPARAM lParam) {
    const KBDLLHOOKSTRUCT* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (code >= 0 && (wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN) &&
        key->vkCode == VK_SNAPSHOT) {
        ++printScreensSeen;
        if (wParam == WM_SYSKEYDOWN || (key->flags & LLKHF_ALTDOWN)) ++altPrintScreensSeen;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void pumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(10);
    }
}

// Asks for `window` to be the foreground window until the answer shows, serving this thread's
// hook meanwhile: on a loaded machine Wine may take its time to switch.
template <typename Done> bool bringForward(HWND window, Done done) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 10000) {
        SetForegroundWindow(window);
        pumpFor(100);
        if (done()) return true;
    }
    return false;
}

INPUT key(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

DWORD WINAPI sendKeysThread(void* arg) {
    std::vector<INPUT>* keys = static_cast<std::vector<INPUT>*>(arg);
    SendInput(static_cast<UINT>(keys->size()), keys->data(), sizeof(INPUT));
    return 0;
}

// Sends keys from another thread, so that this thread can keep serving its own hook.
void sendKeys(std::vector<INPUT> keys) {
    HANDLE thread = CreateThread(nullptr, 0, sendKeysThread, &keys, 0, nullptr);
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, 5000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
        pumpFor(10);
    CloseHandle(thread);
    pumpFor(200);
}

// Presses Print Screen, with Alt held down first when asked, as a person would.
void pressPrintScreen(bool withAlt) {
    if (withAlt) sendKeys({key(VK_MENU, false)});
    sendKeys({key(VK_SNAPSHOT, false), key(VK_SNAPSHOT, true)});
    if (withAlt) sendKeys({key(VK_MENU, true)});
}

TEST(KeyboardHook, SwallowsAltPrintScreenOnlyWhileTheWatchIsActive) {
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, countingHook, GetModuleHandleW(nullptr), 0);
    ASSERT_NE(hook, nullptr);
    ProgramFolder folder;
    VeskProcess vesk;
    ASSERT_TRUE(vesk.start(folder.exe()));
    HWND watch = vesk.waitForWatchWindow();
    ASSERT_NE(watch, nullptr);
    ASSERT_TRUE(bringForward(watch, [&] { return GetForegroundWindow() == watch; }));
    // The watch learns it is active from its own activation message.
    pumpFor(300);
    pressPrintScreen(true);
    EXPECT_EQ(altPrintScreensSeen, 0) << "Alt+Print Screen reached the system";
    pressPrintScreen(false);
    EXPECT_EQ(printScreensSeen, 1) << "Print Screen without Alt was swallowed";

    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 600, 600, 50, 50,
                                 nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(bringForward(other, [&] { return GetForegroundWindow() != watch; }));
    pumpFor(300);
    pressPrintScreen(true);
    EXPECT_EQ(altPrintScreensSeen, 1)
        << "Alt+Print Screen was swallowed while the watch was inactive";

    DestroyWindow(other);
    UnhookWindowsHookEx(hook);
    PostMessageW(watch, WM_CLOSE, 0, 0);
    EXPECT_EQ(vesk.waitForExit(), 0u);
}

} // namespace
