// Reading one pixel of a packed DIB of any depth the program's pictures use.
#include "gfx/draw.h"

#include "gfx/bitmap.h"
#include "gfx/dib_layout.h"

#include <cstdlib>

namespace {

uint32_t loadLittleEndian32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint32_t paletteEntry(const uint8_t* table, uint32_t index) {
    return loadLittleEndian32(table + size_t(index) * 4);
}

} // namespace

uint32_t readPixel(const BitmapInfoHeader* picture, const void* colourTable, const void* pixels,
                   int32_t x, int32_t y) {
    if (!picture) return 0;
    uint32_t width = uint32_t(std::abs(int64_t(picture->width)));
    uint32_t height = uint32_t(std::abs(int64_t(picture->height)));
    if (x < 0 || uint32_t(x) >= width || y < 0 || uint32_t(y) >= height) return 0;

    const uint8_t* afterHeader = reinterpret_cast<const uint8_t*>(picture) + 40;
    const uint8_t* table = colourTable ? static_cast<const uint8_t*>(colourTable) : afterHeader;
    const uint8_t* bits =
        pixels ? static_cast<const uint8_t*>(pixels) : afterHeader + dibColourEntries(picture) * 4;
    size_t storedRow = picture->height < 0 ? size_t(y) : size_t(height - 1 - uint32_t(y));
    const uint8_t* row = bits + storedRow * dibRowBytes(picture->bitCount, width);

    switch (picture->bitCount) {
    case 1:
        return paletteEntry(table, (row[x / 8] >> (7 - x % 8)) & 1);
    case 4:
        return paletteEntry(table, x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F);
    case 8:
        return paletteEntry(table, row[x]);
    case 24: {
        const uint8_t* p = row + size_t(x) * 3;
        return 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
    case 32:
        return loadLittleEndian32(row + size_t(x) * 4);
    default:
        return 0;
    }
}
