// Packed DIB layout arithmetic shared by pixel reading and resource checks.
#include "gfx/dib_layout.h"

#include "gfx/bitmap.h"

#include <cstdlib>

size_t dibRowBytes(uint32_t bitCount, uint32_t width) {
    switch (bitCount) {
    case 1:
        return (((size_t(width) + 7) / 8) + 3) & ~size_t(3);
    case 4:
        return (((size_t(width) + 1) / 2) + 3) & ~size_t(3);
    case 8:
        return (size_t(width) + 3) & ~size_t(3);
    case 24:
        return (size_t(width) * 3 + 3) & ~size_t(3);
    case 32:
        return size_t(width) * 4;
    default:
        return 0;
    }
}

size_t dibColourEntries(const BitmapInfoHeader* picture) {
    if (picture->clrUsed != 0) return picture->clrUsed;
    if (picture->bitCount <= 8) return size_t(1) << picture->bitCount;
    return 0;
}

bool dibIsComplete(const BitmapInfoHeader* picture, size_t size) {
    if (!picture || size < sizeof(BitmapInfoHeader)) return false;
    if (picture->size != sizeof(BitmapInfoHeader) || picture->compression != 0) return false;
    uint64_t width = uint64_t(std::abs(int64_t(picture->width)));
    uint64_t height = uint64_t(std::abs(int64_t(picture->height)));
    size_t row = dibRowBytes(picture->bitCount, uint32_t(width));
    if (row == 0 || picture->clrUsed > 256) return false;
    uint64_t needed =
        sizeof(BitmapInfoHeader) + uint64_t(dibColourEntries(picture)) * 4 + uint64_t(row) * height;
    return needed <= size;
}
