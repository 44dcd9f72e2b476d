// Decoding the character pictures, which the program carries as PNG, into 32-bit packed
// device-independent bitmaps that the drawing operations read directly.
#pragma once

#include <cstddef>
#include <cstdint>

struct BitmapInfoHeader;

// Decodes the PNG file held in `bytes` into one heap block: a 40-byte header (32 bits, positive
// height so rows are stored bottom-up, no colour table) followed by blue, green, red, alpha
// pixels with straight alpha; images without alpha get 255. Returns null for anything that is
// not a complete, valid PNG within the size limit. Free the result with freeDecodedImage.
BitmapInfoHeader* decodePng(const uint8_t* bytes, size_t length);

// Releases a block returned by decodePng; null is ignored.
void freeDecodedImage(BitmapInfoHeader* image);

// Largest width and height decodePng accepts.
constexpr uint32_t PNG_MAX_DIMENSION = 2048;
