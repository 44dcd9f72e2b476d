#include "watch/keyboard_filter.h"

bool swallowKeyEvent(int code, int watchActive, uint32_t message, uint32_t virtualKey,
                     uint32_t flags) {
    if (code < 0 || watchActive == 0) return false;
    if (virtualKey != KEY_PRINT_SCREEN) return false;
    // Some systems (Wine among them) leave the Alt flag out of the hook's record. A system
    // key-down of Print Screen only ever happens with Alt held, so it counts as Alt too.
    if (message == KEY_MESSAGE_SYS_DOWN) return true;
    return message == KEY_MESSAGE_DOWN && (flags & KEY_FLAG_ALT_DOWN) != 0;
}
