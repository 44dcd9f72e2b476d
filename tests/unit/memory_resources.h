// Test helper: ImageTable resources held in memory, and builders for bitmap and PNG resources
// of any size.
#pragma once

#include "gfx/bitmap.h"
#include "gfx/image_table.h"
#include "tests/unit/png_test_writer.h"

#include <cstring>
#include <functional>
#include <map>
#include <vector>

// BITMAP data (header and rows) and PNG files by resource number.
struct MemoryResources {
    std::map<uint16_t, std::vector<uint8_t>> bitmaps;
    std::map<uint16_t, std::vector<uint8_t>> pngs;

    static const uint8_t* find(std::map<uint16_t, std::vector<uint8_t>>& from, uint16_t id,
                               size_t* size) {
        auto it = from.find(id);
        if (it == from.end()) return nullptr;
        *size = it->second.size();
        return it->second.data();
    }
    static const uint8_t* findBitmap(void* context, uint16_t id, size_t* size) {
        return find(static_cast<MemoryResources*>(context)->bitmaps, id, size);
    }
    static const uint8_t* findPng(void* context, uint16_t id, size_t* size) {
        return find(static_cast<MemoryResources*>(context)->pngs, id, size);
    }
    ImageResources source() { return ImageResources{this, findBitmap, findPng}; }
};

// A 24-bit bitmap resource; `colour(x, y)` gives 0xRRGGBB with y counted from the top.
inline std::vector<uint8_t> bitmapResource(int32_t width, int32_t height,
                                           const std::function<uint32_t(int, int)>& colour) {
    BitmapInfoHeader h = {};
    h.size = 40;
    h.width = width;
    h.height = height;
    h.planes = 1;
    h.bitCount = 24;
    size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
    std::vector<uint8_t> bytes(40 + stride * size_t(height), 0);
    std::memcpy(bytes.data(), &h, 40);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = bytes.data() + 40 + stride * size_t(height - 1 - y);
        for (int32_t x = 0; x < width; ++x) {
            uint32_t c = colour(x, y);
            row[x * 3 + 0] = uint8_t(c);
            row[x * 3 + 1] = uint8_t(c >> 8);
            row[x * 3 + 2] = uint8_t(c >> 16);
        }
    }
    return bytes;
}

// An RGBA PNG resource; `pixel(x, y)` gives 0xAARRGGBB with y counted from the top.
inline std::vector<uint8_t> pngResource(int32_t width, int32_t height,
                                        const std::function<uint32_t(int, int)>& pixel) {
    PngTestImage image;
    image.width = uint32_t(width);
    image.height = uint32_t(height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            uint32_t p = pixel(x, y);
            image.rows.insert(image.rows.end(),
                              {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), uint8_t(p >> 24)});
        }
    }
    return encodeTestPng(image);
}
