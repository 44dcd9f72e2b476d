#include "gfx/bitmap.h"

#include <cstdlib>
#include <cstring>

CBitMap::~CBitMap() {
    release();
}

bool CBitMap::create(int bits, int width, int height) {
    if (buffers[0]) return false;
    if ((bits != 24 && bits != 32) || width <= 0 || height <= 0) return false;
    uint32_t bpp = static_cast<uint32_t>(bits) / 8;
    uint32_t rowBytes = (bpp * static_cast<uint32_t>(width) + 3) & ~3u;
    uint64_t size = static_cast<uint64_t>(rowBytes) * static_cast<uint32_t>(height);
    if (size > 0x7FFFFFFFu / 2) return false;
    uint8_t* block = static_cast<uint8_t*>(calloc(2, static_cast<size_t>(size)));
    if (!block) return false;

    info = BitmapInfo{};
    info.header.size = sizeof(BitmapInfoHeader);
    info.header.width = width;
    info.header.height = height;
    info.header.planes = 1;
    info.header.bitCount = static_cast<uint16_t>(bits);
    info.header.compression = 0; // uncompressed RGB
    info.header.sizeImage = static_cast<uint32_t>(size);
    info.header.xPelsPerMeter = 1;
    info.header.yPelsPerMeter = 1;
    bytesPerPixel = bpp;
    stride = rowBytes;
    bufferIndex = 0;
    buffers[0] = block;
    buffers[1] = block + size;
    return true;
}

void CBitMap::release() {
    free(buffers[0]);
    buffers[0] = nullptr;
    buffers[1] = nullptr;
    bufferIndex = 0;
    // An empty surface reports no size, so nothing can walk pixels that are no longer there.
    info = BitmapInfo{};
    bytesPerPixel = 0;
    stride = 0;
}

void CBitMap::flip() {
    if (!buffers[0]) return;
    memset(frontBuffer(), 0, info.header.sizeImage);
    bufferIndex ^= 1;
}
