// Filling a half-open rectangle of a surface with one colour.
#include "gfx/draw.h"

#include "gfx/bitmap.h"

#include <algorithm>

void fillRect(CBitMap* surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
    if (!surface || surface->empty()) return;
    int32_t left = std::max(std::min(x0, x1), 0);
    int32_t right = std::min(std::max(x0, x1), surface->width());
    int32_t low = std::max(std::min(y0, y1), 0);
    int32_t high = std::min(std::max(y0, y1), surface->height());
    uint8_t* back = surface->backBuffer();
    for (int32_t y = low; y < high; ++y) {
        // Rows are addressed in storage order: y 0 is the first row in memory.
        uint8_t* out = back + size_t(y) * surface->stride + size_t(left) * surface->bytesPerPixel;
        for (int32_t x = left; x < right; ++x, out += surface->bytesPerPixel) {
            out[0] = uint8_t(colour);
            out[1] = uint8_t(colour >> 8);
            out[2] = uint8_t(colour >> 16);
        }
    }
}
