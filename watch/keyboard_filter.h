// The decision of the keyboard hook, apart from the hook itself so that it can be tested.
#pragma once

#include <cstdint>

constexpr uint32_t KEY_MESSAGE_DOWN = 0x0100;     // WM_KEYDOWN
constexpr uint32_t KEY_MESSAGE_SYS_DOWN = 0x0104; // WM_SYSKEYDOWN
constexpr uint32_t KEY_PRINT_SCREEN = 0x2C;       // VK_SNAPSHOT
constexpr uint32_t KEY_FLAG_ALT_DOWN = 0x20;      // LLKHF_ALTDOWN

// True when the event is an Alt+Print Screen key-down that must not reach the system because
// the watch is the active window. `code` is the hook's notification code.
bool swallowKeyEvent(int code, int watchActive, uint32_t message, uint32_t virtualKey,
                     uint32_t flags);
