#include "alarm/symbol_preview.h"

#include <cstdlib>

#include "alarm/symbol_names.h"
#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "gfx/image_table.h"

void paintSymbolPreview(CBitMap* surface, uint32_t symbol) {
    if (!surface || surface->empty()) return;
    int32_t width = surface->width();
    int32_t height = surface->height();
    fillRect(surface, 0, 0, width, height, SYMBOL_PREVIEW_GROUND);
    const BitmapInfoHeader* picture =
        symbol < ALARM_SYMBOL_COUNT ? imageSlot(SLOT_ALARM_SYMBOL + int(symbol)) : nullptr;
    if (picture) {
        int32_t x = width / 2 - std::abs(picture->width) / 2;
        int32_t y = height / 2 - std::abs(picture->height) / 2;
        blitImage(surface, x, y, picture, nullptr, 1.0f, BLIT_SKIP_TRANSPARENT);
    }
    surface->flip();
}
