// Copying a picture into a surface, clipped, with a brightness scale and optional
// transparency. The depth of the picture and of the surface is settled once per blit: 32-bit
// sprites and 24-bit panels and glyphs are read row by row straight from their bytes, and only
// pictures with a colour table go through readPixel pixel by pixel.
#include "gfx/draw.h"

#include "gfx/bitmap.h"
#include "gfx/dib_layout.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// One colour byte times the scale, truncated; kept within a byte for scales above 1.
uint8_t scaleChannel(uint32_t value, float scale) {
    float scaled = float(value) * scale;
    if (!(scaled > 0.0f)) return 0;
    if (scaled >= 255.0f) return 255;
    return uint8_t(scaled);
}

// The scaled value of every colour byte, made once per blit instead of once per channel.
struct ScaleTable {
    uint8_t value[256];
};

void fillScaleTable(ScaleTable* table, float scale) {
    for (uint32_t v = 0; v < 256; ++v)
        table->value[v] = scaleChannel(v, scale);
}

// The scales the program draws with: 1 copies, 0 (the glyphs' silhouettes) blacks out.
const ScaleTable& tableFor(float scale, ScaleTable* own) {
    static const ScaleTable identity = [] {
        ScaleTable t;
        fillScaleTable(&t, 1.0f);
        return t;
    }();
    static const ScaleTable black = [] {
        ScaleTable t;
        fillScaleTable(&t, 0.0f);
        return t;
    }();
    if (scale == 1.0f) return identity;
    if (scale == 0.0f) return black;
    fillScaleTable(own, scale);
    return *own;
}

// The clipped blit: `columns` pixels from picture column `fromX`, for picture rows fromY ..
// fromY + rows - 1, into the surface from column `toX` and row `toY` (rows counted from the top).
struct Span {
    const BitmapInfoHeader* picture;
    const uint8_t* bits;
    size_t rowBytes;
    int32_t fromX, fromY, toX, toY, columns, rows;
};

const uint8_t* pictureRow(const Span& s, int32_t r) {
    auto y = uint32_t(s.fromY + r);
    uint32_t height = uint32_t(std::abs(int64_t(s.picture->height)));
    size_t stored = s.picture->height < 0 ? y : height - 1 - y;
    return s.bits + stored * s.rowBytes;
}

uint8_t* surfaceRow(CBitMap* dest, const Span& s, int32_t r) {
    // Surfaces are bottom-up: row r from the top is stored at height - 1 - r.
    return dest->backBuffer() + size_t(dest->height() - 1 - (s.toY + r)) * dest->stride +
           size_t(s.toX) * dest->bytesPerPixel;
}

uint32_t load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// Writes picture pixel 0xAARRGGBB, scaled; the alpha byte only into 4-byte surfaces.
template <uint32_t BYTES> void writePixel(uint8_t* out, uint32_t pixel, const ScaleTable& t) {
    out[0] = t.value[pixel & 0xFF];
    out[1] = t.value[(pixel >> 8) & 0xFF];
    out[2] = t.value[(pixel >> 16) & 0xFF];
    if (BYTES == 4) out[3] = uint8_t(pixel >> 24);
}

// Transparent: alpha 0 for 32-bit pictures, colour 0 for every other depth.
uint32_t opaqueMask(const BitmapInfoHeader* picture) {
    return picture->bitCount == 32 ? 0xFF000000u : 0x00FFFFFFu;
}

// Every depth through one loop; `pixelAt(row, r, c)` reads picture column fromX + c.
template <uint32_t BYTES, typename PixelAt>
void blitRows(CBitMap* dest, const Span& s, const ScaleTable& t, bool skipTransparent,
              PixelAt pixelAt) {
    uint32_t mask = opaqueMask(s.picture);
    for (int32_t r = 0; r < s.rows; ++r) {
        const uint8_t* in = pictureRow(s, r);
        uint8_t* out = surfaceRow(dest, s, r);
        for (int32_t c = 0; c < s.columns; ++c, out += BYTES) {
            uint32_t pixel = pixelAt(in, r, c);
            if (!skipTransparent || (pixel & mask) != 0) writePixel<BYTES>(out, pixel, t);
        }
    }
}

template <uint32_t BYTES>
void blitAnyDepth(CBitMap* dest, const Span& s, const ScaleTable& t, bool skipTransparent,
                  const void* pixels) {
    int32_t fromX = s.fromX;
    switch (s.picture->bitCount) {
    case 32:
        blitRows<BYTES>(dest, s, t, skipTransparent,
                        [fromX](const uint8_t* row, int32_t, int32_t c) {
                            return load32(row + size_t(fromX + c) * 4);
                        });
        break;
    case 24:
        blitRows<BYTES>(dest, s, t, skipTransparent,
                        [fromX](const uint8_t* row, int32_t, int32_t c) {
                            const uint8_t* p = row + size_t(fromX + c) * 3;
                            return 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
                        });
        break;
    default:
        blitRows<BYTES>(dest, s, t, skipTransparent,
                        [&s, pixels](const uint8_t*, int32_t r, int32_t c) {
                            return readPixel(s.picture, nullptr, pixels, s.fromX + c, s.fromY + r);
                        });
        break;
    }
}

// A 32-bit picture copied unscaled and whole into a 24-bit surface: each pixel is one 4-byte
// store whose fourth byte the next pixel overwrites; the last pixel of a row is stored bytewise
// so that nothing past the span is touched.
void copy32To24(CBitMap* dest, const Span& s) {
    for (int32_t r = 0; r < s.rows; ++r) {
        const uint8_t* in = pictureRow(s, r) + size_t(s.fromX) * 4;
        uint8_t* out = surfaceRow(dest, s, r);
        int32_t c = 0;
        for (; c + 1 < s.columns; ++c)
            std::memcpy(out + size_t(c) * 3, in + size_t(c) * 4, 4);
        std::memcpy(out + size_t(c) * 3, in + size_t(c) * 4, 3);
    }
}

// Same depth, unscaled and whole: row copies.
void copyRows(CBitMap* dest, const Span& s, uint32_t bytesPerPixel) {
    for (int32_t r = 0; r < s.rows; ++r)
        std::memcpy(surfaceRow(dest, s, r), pictureRow(s, r) + size_t(s.fromX) * bytesPerPixel,
                    size_t(s.columns) * bytesPerPixel);
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

    const auto* afterHeader = reinterpret_cast<const uint8_t*>(picture) + 40;
    Span s;
    s.picture = picture;
    s.bits =
        pixels ? static_cast<const uint8_t*>(pixels) : afterHeader + dibColourEntries(picture) * 4;
    s.rowBytes = dibRowBytes(picture->bitCount, uint32_t(pictureWidth));
    s.fromX = int32_t(left - x);
    s.fromY = int32_t(top - y);
    s.toX = int32_t(left);
    s.toY = int32_t(top);
    s.columns = int32_t(right - left);
    s.rows = int32_t(bottom - top);

    bool skipTransparent = (flags & BLIT_SKIP_TRANSPARENT) != 0;
    uint32_t bytes = dest->bytesPerPixel;
    bool plainCopy = scale == 1.0f && !skipTransparent;
    ScaleTable own;
    if (plainCopy && picture->bitCount == 32 && bytes == 3) {
        copy32To24(dest, s);
    } else if (plainCopy && picture->bitCount == bytes * 8) {
        copyRows(dest, s, bytes);
    } else if (bytes == 4) {
        blitAnyDepth<4>(dest, s, tableFor(scale, &own), skipTransparent, pixels);
    } else {
        blitAnyDepth<3>(dest, s, tableFor(scale, &own), skipTransparent, pixels);
    }
}
