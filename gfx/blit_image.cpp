// Copying a picture into a surface, clipped, with a brightness scale and optional
// transparency.
#include "gfx/draw.h"

#include "gfx/bitmap.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool isTransparent(const BitmapInfoHeader* picture, uint32_t pixel) {
    if (picture->bitCount == 32) return (pixel >> 24) == 0;
    return (pixel & 0x00FFFFFFu) == 0;
}

// One colour byte times the scale, truncated; kept within a byte for scales above 1.
uint8_t scaleChannel(uint32_t value, float scale) {
    float scaled = float(value) * scale;
    if (!(scaled > 0.0f)) return 0;
    if (scaled >= 255.0f) return 255;
    return uint8_t(scaled);
}

} // namespace

void blitImage(CBitMap* dest, int32_t x, int32_t y, const BitmapInfoHeader* picture,
               const void* pixels, float scale, uint32_t flags) {
    if (!dest || dest->empty() || !picture) return;
    int64_t pictureWidth = std::abs(int64_t(picture->width));
    int64_t pictureHeight = std::abs(int64_t(picture->height));
    int64_t left = std::max<int64_t>(x, 0);
    int64_t top = std::max<int64_t>(y, 0);
    int64_t right = std::min<int64_t>(int64_t(x) + pictureWidth, dest->width());
    int64_t bottom = std::min<int64_t>(int64_t(y) + pictureHeight, dest->height());
    if (left >= right || top >= bottom) return;

    bool skipTransparent = (flags & BLIT_SKIP_TRANSPARENT) != 0;
    uint8_t* back = dest->backBuffer();
    for (int64_t r = top; r < bottom; ++r) {
        // Surfaces are bottom-up: row r from the top is stored at height - 1 - r.
        uint8_t* row = back + size_t(dest->height() - 1 - r) * dest->stride;
        for (int64_t c = left; c < right; ++c) {
            uint32_t pixel = readPixel(picture, nullptr, pixels, int32_t(c - x), int32_t(r - y));
            if (skipTransparent && isTransparent(picture, pixel)) continue;
            uint8_t* out = row + size_t(c) * dest->bytesPerPixel;
            out[0] = scaleChannel(pixel & 0xFF, scale);
            out[1] = scaleChannel((pixel >> 8) & 0xFF, scale);
            out[2] = scaleChannel((pixel >> 16) & 0xFF, scale);
            if (dest->bytesPerPixel == 4) out[3] = uint8_t(pixel >> 24);
        }
    }
}
