#include "app/keyboard_filter.h"

bool swallowKeyEvent(int code, int watchActive, uint32_t message, uint32_t virtualKey,
                     uint32_t flags) {
    if (code < 0 || watchActive == 0) return false;
    bool keyDown = message == KEY_MESSAGE_DOWN || message == KEY_MESSAGE_SYS_DOWN;
    return keyDown && virtualKey == KEY_PRINT_SCREEN && (flags & KEY_FLAG_ALT_DOWN) != 0;
}
