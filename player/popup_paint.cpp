#include "player/popup_paint.h"

#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "gfx/glyph_line.h"

namespace {

constexpr int32_t READOUT_X = 38;
constexpr int32_t READOUT_Y = 15;

// A "Z" `size` pixels square with its top-left corner at (x, y) counted from the top of a
// surface `height` rows high; fills and lines count rows from the bottom.
void drawZ(CBitMap* surface, int32_t x, int32_t y, int32_t size, int32_t height) {
    int32_t top = height - 1 - y;
    int32_t bottom = top - (size - 1);
    fillRect(surface, x, top, x + size, top + 1, SNOOZE_MARK_COLOUR);
    drawLine(surface, x + size - 1, top, x - 1, bottom - 1, SNOOZE_MARK_COLOUR);
    fillRect(surface, x, bottom, x + size, bottom + 1, SNOOZE_MARK_COLOUR);
}

constexpr int32_t BIG_Z = 7;
constexpr int32_t SMALL_Z = 5;

} // namespace

void drawPopupPanel(CBitMap* surface, const BitmapInfoHeader* panel) {
    blitImage(surface, 0, 0, panel, nullptr, 1.0f, 0);
}

void drawPopupSymbol(CBitMap* surface, const BitmapInfoHeader* symbol) {
    blitImage(surface, SYMBOL_LEFT, SYMBOL_TOP, symbol, nullptr, 1.0f, BLIT_SKIP_TRANSPARENT);
}

void drawSnoozeMark(CBitMap* surface) {
    int32_t right = SYMBOL_LEFT + SYMBOL_WIDTH;
    int32_t smallX = right - SMALL_Z;
    int32_t bigX = smallX - 1 - BIG_Z;
    drawZ(surface, bigX, SYMBOL_TOP, BIG_Z, surface->height());
    drawZ(surface, smallX, SYMBOL_TOP + BIG_Z - SMALL_Z, SMALL_Z, surface->height());
}

void drawPopupReadout(CBitMap* surface, const PopupReadout& readout) {
    // The same time line as the watch face's.
    drawTimeLine(surface, readout.timeFormat, readout.clock, READOUT_X, READOUT_Y);
}

void drawProgressBar(CBitMap* surface, int32_t playedEnd, bool preview, int32_t previewEnd) {
    int32_t barEnd = PROGRESS_LEFT + progressBarLength(surface->width());
    fillRect(surface, PROGRESS_LEFT, PROGRESS_ROW_LOW, playedEnd, PROGRESS_ROW_HIGH,
             PROGRESS_PLAYED_COLOUR);
    fillRect(surface, playedEnd, PROGRESS_ROW_LOW, barEnd, PROGRESS_ROW_HIGH, PROGRESS_REST_COLOUR);
    if (preview)
        fillRect(surface, playedEnd, PROGRESS_ROW_LOW, previewEnd, PROGRESS_ROW_HIGH,
                 PROGRESS_PREVIEW_COLOUR);
}
