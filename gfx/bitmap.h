// CBitMap: the program's off-screen picture, a bottom-up 24- or 32-bit surface with two
// equal pixel buffers in one block: drawing goes into the back buffer, the front buffer is
// presented. Used only on the user-interface thread.
#pragma once

#include <cstdint>

// The 40-byte picture header in the exact layout of the Windows BITMAPINFOHEADER, so bitmap
// resources can be used in place and the surface can be handed to the presentation call.
struct BitmapInfoHeader {
    uint32_t size;
    int32_t width;
    int32_t height; // positive: rows are stored bottom-up
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t sizeImage;
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t clrUsed;
    uint32_t clrImportant;
};
static_assert(sizeof(BitmapInfoHeader) == 40, "picture header layout");

// The header plus one colour entry (blue, green, red, reserved), as BITMAPINFO.
struct BitmapInfo {
    BitmapInfoHeader header;
    uint8_t colors[1][4];
};

class CBitMap {
  public:
    CBitMap() = default;
    CBitMap(const CBitMap&) = delete;
    CBitMap& operator=(const CBitMap&) = delete;
    virtual ~CBitMap();

    // Allocates both buffers, zero-filled. False if buffers already exist or memory runs out.
    bool create(int bits, int width, int height);
    // Frees the pixel block; the surface is empty again.
    void release();
    // Clears the front buffer and swaps: the picture just drawn becomes the front buffer.
    virtual void flip();

    uint8_t* backBuffer() const { return buffers[bufferIndex & 1]; }
    uint8_t* frontBuffer() const { return buffers[(bufferIndex & 1) ^ 1]; }
    int width() const { return info.header.width; }
    int height() const { return info.header.height; }
    uint32_t imageSize() const { return info.header.sizeImage; }
    bool empty() const { return buffers[0] == nullptr; }

    uint64_t bufferIndex = 0;
    uint32_t bytesPerPixel = 0;
    uint32_t stride = 0;
    BitmapInfo info = {};
    uint8_t* buffers[2] = {nullptr, nullptr};
};
