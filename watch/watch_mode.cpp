#include "watch/watch_mode.h"

bool watchModeTick(int32_t* mode, Point* lastCursor, Point cursor, Point* target) {
    if (*mode == WATCH_MODE_OFF) return false;
    if (*mode == WATCH_MODE_FOLLOWING && cursor.x == lastCursor->x && cursor.y == lastCursor->y)
        return false;
    *mode = WATCH_MODE_FOLLOWING;
    *lastCursor = cursor;
    *target = Point{cursor.x + WATCH_MODE_OFFSET, cursor.y + WATCH_MODE_OFFSET};
    return true;
}

int32_t toggledWatchMode(int32_t mode) {
    return mode == WATCH_MODE_OFF ? WATCH_MODE_ON : WATCH_MODE_OFF;
}
