// Printing date, time and the next-alarm symbol over the sprite.
#include "watch/watch_face.h"

#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "gfx/image_table.h"
#include "util/day_of_week.h"

#include <cstdlib>

namespace {

constexpr uint32_t ALARM_ENABLED_FLAG = 1;
constexpr int32_t WEEKDAY_GAP = 5;

// A line of glyphs being printed left to right.
struct Pen {
    CBitMap* surface;
    int32_t x;
    int32_t y;
};

int32_t widthOf(const BitmapInfoHeader* glyph) {
    return glyph ? int32_t(std::abs(int64_t(glyph->width))) : 0;
}

// Glyphs print as black silhouettes of their non-black pixels. A missing glyph draws nothing
// and does not move the pen.
void printGlyph(Pen* pen, int slot) {
    const BitmapInfoHeader* glyph = imageSlot(slot);
    blitImage(pen->surface, pen->x, pen->y, glyph, nullptr, 0.0f, BLIT_SKIP_TRANSPARENT);
    pen->x += widthOf(glyph);
}

// A two-digit field whose leading zero is left blank but keeps its place.
void printBlankTens(Pen* pen, uint32_t value, int digitSlot) {
    uint32_t tens = (value / 10) % 10;
    if (tens == 0) {
        pen->x += widthOf(imageSlot(digitSlot));
    } else {
        printGlyph(pen, digitSlot + int(tens));
    }
    printGlyph(pen, digitSlot + int(value % 10));
}

void printTwoDigits(Pen* pen, uint32_t value, int digitSlot) {
    printGlyph(pen, digitSlot + int((value / 10) % 10));
    printGlyph(pen, digitSlot + int(value % 10));
}

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
    int32_t format = face.timeFormat;
    uint32_t hour = now.hour;
    int mark = -1;
    if (format > 0) {
        mark = SLOT_AM;
        if (hour >= 12) {
            hour -= 12;
            mark = SLOT_PM;
        }
    }
    if (format == 1 && hour == 0) hour = 12;

    Pen pen = {face.windowSurface, x, y};
    printBlankTens(&pen, hour, SLOT_LARGE_DIGIT);
    printGlyph(&pen, SLOT_LARGE_COLON);
    printTwoDigits(&pen, now.minute, SLOT_LARGE_DIGIT);
    printGlyph(&pen, SLOT_LARGE_COLON);
    printTwoDigits(&pen, now.second, SLOT_LARGE_DIGIT);
    if (mark >= 0) {
        // The mark's bottom lines up with the digits' bottom.
        pen.y = y + 12;
        printGlyph(&pen, mark);
    }
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
