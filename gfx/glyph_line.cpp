#include "gfx/glyph_line.h"

#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "gfx/image_table.h"

#include <cstdlib>

namespace {

// Rows from the digits' top to the AM/PM mark's top, so that their bottoms line up.
constexpr int32_t MARK_DROP = 12;

int32_t widthOf(const BitmapInfoHeader* glyph) {
    return glyph ? int32_t(std::abs(int64_t(glyph->width))) : 0;
}

} // namespace

void printGlyph(Pen* pen, int slot) {
    const BitmapInfoHeader* glyph = imageSlot(slot);
    blitImage(pen->surface, pen->x, pen->y, glyph, nullptr, 0.0f, BLIT_SKIP_TRANSPARENT);
    pen->x += widthOf(glyph);
}

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

void drawTimeLine(CBitMap* surface, int32_t timeFormat, const SystemTime& now, int32_t x,
                  int32_t y) {
    uint32_t hour = now.hour;
    int mark = -1;
    if (timeFormat > 0) {
        mark = SLOT_AM;
        if (hour >= 12) {
            hour -= 12;
            mark = SLOT_PM;
        }
    }
    if (timeFormat == 1 && hour == 0) hour = 12;

    Pen pen = {surface, x, y};
    printBlankTens(&pen, hour, SLOT_LARGE_DIGIT);
    printGlyph(&pen, SLOT_LARGE_COLON);
    printTwoDigits(&pen, now.minute, SLOT_LARGE_DIGIT);
    printGlyph(&pen, SLOT_LARGE_COLON);
    printTwoDigits(&pen, now.second, SLOT_LARGE_DIGIT);
    if (mark >= 0) {
        pen.y = y + MARK_DROP;
        printGlyph(&pen, mark);
    }
}
