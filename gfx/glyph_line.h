// Lines of glyphs from the ImageTable printed onto a surface: digits, marks and the time line
// that the watch face and the player popup's readout both show.
#pragma once

#include "platform/platform.h"

#include <cstdint>

class CBitMap;

// A line of glyphs being printed left to right.
struct Pen {
    CBitMap* surface;
    int32_t x;
    int32_t y;
};

// Prints ImageTable slot `slot` as a black silhouette of its non-black pixels and moves the pen
// past it. A missing glyph draws nothing and does not move the pen.
void printGlyph(Pen* pen, int slot);
// A two-digit field whose leading zero is left blank but keeps its place.
void printBlankTens(Pen* pen, uint32_t value, int digitSlot);
void printTwoDigits(Pen* pen, uint32_t value, int digitSlot);

// The time line of `now`, large glyphs, from (x, y): "h:mm:ss" with the hour's tens blank when
// zero; `timeFormat` 0 is 24-hour, 1 is 12-hour with 12 for 0, above 1 is 12-hour from 0; the
// 12-hour forms end in the AM or PM mark, its bottom on the digits' bottom.
void drawTimeLine(CBitMap* surface, int32_t timeFormat, const SystemTime& now, int32_t x,
                  int32_t y);
