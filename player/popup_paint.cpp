#include "player/popup_paint.h"

#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "gfx/glyph_line.h"

namespace {

constexpr int32_t SYMBOL_X = 4;
constexpr int32_t SYMBOL_Y = 10;
constexpr int32_t READOUT_X = 38;
constexpr int32_t READOUT_Y = 15;

} // namespace

void drawPopupPanel(CBitMap* surface, const BitmapInfoHeader* panel) {
    blitImage(surface, 0, 0, panel, nullptr, 1.0f, 0);
}

void drawPopupSymbol(CBitMap* surface, const BitmapInfoHeader* symbol) {
    blitImage(surface, SYMBOL_X, SYMBOL_Y, symbol, nullptr, 1.0f, BLIT_SKIP_TRANSPARENT);
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
