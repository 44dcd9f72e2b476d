// Printing date, time and the next-alarm symbol over the sprite.
#include "watch/watch_face.h"

#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "gfx/glyph_line.h"
#include "gfx/image_table.h"
#include "util/day_of_week.h"

namespace {

constexpr uint32_t ALARM_ENABLED_FLAG = 1;
constexpr int32_t WEEKDAY_GAP = 5;

void printYear(Pen* pen, uint32_t year) {
    printGlyph(pen, SLOT_SMALL_DIGIT + int((year / 1000) % 10));
    printGlyph(pen, SLOT_SMALL_DIGIT + int((year / 100) % 10));
    printTwoDigits(pen, year, SLOT_SMALL_DIGIT);
}

void printJapaneseDate(Pen* pen, const SystemTime& now) {
    printYear(pen, now.year);
    printGlyph(pen, SLOT_YEAR_MARK);
    printBlankTens(pen, now.month, SLOT_SMALL_DIGIT);
    printGlyph(pen, SLOT_MONTH_MARK);
    printBlankTens(pen, now.day, SLOT_SMALL_DIGIT);
    printGlyph(pen, SLOT_DAY_MARK);
}

// Year, month and day separated by slashes, in the order of `fields` (0 year, 1 month, 2 day).
void printSlashedDate(Pen* pen, const SystemTime& now, const int (&fields)[3]) {
    for (int i = 0; i < 3; ++i) {
        if (i != 0) printGlyph(pen, SLOT_SMALL_SLASH);
        if (fields[i] == 0) {
            printYear(pen, now.year);
        } else {
            printBlankTens(pen, fields[i] == 1 ? now.month : now.day, SLOT_SMALL_DIGIT);
        }
    }
}

void drawAlarmSymbol(const WatchFace& face, int32_t x, int32_t y) {
    if ((face.alarmFlags & ALARM_ENABLED_FLAG) == 0) return;
    if (face.alarmSymbol < 0 || face.alarmSymbol > 6) return;
    blitImage(face.windowSurface, x + 109, y + 11, imageSlot(SLOT_ALARM_SYMBOL + face.alarmSymbol),
              nullptr, 1.0f, BLIT_SKIP_TRANSPARENT);
}

} // namespace

void drawDate(const WatchFace& face, const SystemTime& now, int32_t x, int32_t y) {
    static const int yearMonthDay[3] = {0, 1, 2};
    static const int dayMonthYear[3] = {2, 1, 0};
    static const int monthDayYear[3] = {1, 2, 0};
    Pen pen = {face.windowSurface, x, y};
    uint32_t format = face.dateFormat > 3 ? 3 : face.dateFormat;
    switch (format) {
    case 0:
        printJapaneseDate(&pen, now);
        break;
    case 1:
        printSlashedDate(&pen, now, yearMonthDay);
        break;
    case 2:
        printSlashedDate(&pen, now, dayMonthYear);
        break;
    default:
        printSlashedDate(&pen, now, monthDayYear);
        break;
    }
    pen.x += WEEKDAY_GAP;
    int weekday = int(dayOfWeek(now.year, now.month, now.day));
    printGlyph(&pen, (format == 0 ? SLOT_WEEKDAY_JA : SLOT_WEEKDAY_EN) + weekday);
}

void drawTime(const WatchFace& face, const SystemTime& now, int32_t x, int32_t y) {
    drawTimeLine(face.windowSurface, face.timeFormat, now, x, y);
}

void renderWatchFace(const WatchFace& face, const SystemTime& now, int32_t x, int32_t y) {
    if (face.spriteSurface && !face.spriteSurface->empty()) {
        // Every pixel is copied: transparent sprite pixels become black, outside the shape.
        blitImage(face.windowSurface, 0, 0, &face.spriteSurface->info.header,
                  face.spriteSurface->backBuffer(), 1.0f, 0);
    }
    drawDate(face, now, x, y);
    drawTime(face, now, x + 6, y + 17);
    drawAlarmSymbol(face, x, y);
}

bool sameFacePicture(const WatchFace& face, const SystemTime& now, const WatchFace& painted,
                     const SystemTime& paintedAt) {
    return face.windowSurface == painted.windowSurface &&
           face.spriteSurface == painted.spriteSurface && face.dateFormat == painted.dateFormat &&
           face.timeFormat == painted.timeFormat && face.alarmFlags == painted.alarmFlags &&
           face.alarmSymbol == painted.alarmSymbol && now.year == paintedAt.year &&
           now.month == paintedAt.month && now.day == paintedAt.day && now.hour == paintedAt.hour &&
           now.minute == paintedAt.minute && now.second == paintedAt.second;
}
