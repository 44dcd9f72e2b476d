// Sizes inside a packed DIB: bytes per stored row and entries of the colour table.
#pragma once

#include <cstddef>
#include <cstdint>

struct BitmapInfoHeader;

// Bytes per stored row of a picture `width` pixels wide; 0 for an unknown bit count. Rows of
// 1, 4, 8 and 24 bits are padded to a multiple of 4 bytes, 32-bit rows are exactly 4 × width.
size_t dibRowBytes(uint32_t bitCount, uint32_t width);

// Entries of the colour table after the header: clrUsed, or the full table of a palette depth
// when clrUsed is 0 (the DIB format's rule), none for 24 and 32 bits.
size_t dibColourEntries(const BitmapInfoHeader* picture);

// True when `size` bytes starting at `picture` hold a whole uncompressed packed DIB of a depth
// readPixel understands: the header, its colour table and every row.
bool dibIsComplete(const BitmapInfoHeader* picture, size_t size);
