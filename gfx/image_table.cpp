// Filling and releasing the process-wide ImageTable.
#include "gfx/image_table.h"

#include "gfx/bitmap.h"
#include "gfx/dib_layout.h"
#include "gfx/png_decode.h"

#include <cstdlib>

const uint16_t IMAGE_BITMAP_IDS[IMAGE_BITMAP_SLOTS] = {
    101, 157,                                         // watch panel, player panel
    130, 131, 132, 133, 134, 135, 136, 137, 138, 139, // small digits 0-9
    103, 104, 105, 106, 107, 108, 109, 110, 112, 113, // large digits 0-9
    140, 141, 114, 115,                               // small slash, colon; large slash, colon
    119, 117, 121, 122, 120, 116, 118,                // Sun. .. Sat.
    126, 124, 128, 129, 127, 123, 125,                // (日) .. (土)
    146, 145, 144,                                    // 年 月 日
    142, 143,                                         // AM PM
    147, 148, 149, 150, 151, 152, 153,                // alarm symbols 0-6
};

const uint16_t IMAGE_PNG_IDS[IMAGE_CHARACTER_COUNT] = {
    200, 199, 198, 197, 196, 195, 194, 193, 192, 191, 190, 189, 188,
    187, 186, 185, 181, 184, 183, 182, 201, 203, 204, 205, 202, 206,
};

namespace {

// Slots 0-51 point into the resources, slots 52-77 own decoded blocks.
BitmapInfoHeader** g_imageTable = nullptr;

// A bitmap resource is used in place, so it is only taken when its rows are all there.
BitmapInfoHeader* takeBitmap(const ImageResources& resources, uint16_t id) {
    size_t size = 0;
    const uint8_t* bytes = resources.findBitmap(resources.context, id, &size);
    if (!bytes) return nullptr;
    const BitmapInfoHeader* picture = reinterpret_cast<const BitmapInfoHeader*>(bytes);
    if (!dibIsComplete(picture, size)) return nullptr;
    return const_cast<BitmapInfoHeader*>(picture);
}

BitmapInfoHeader* decodeCharacter(const ImageResources& resources, uint16_t id) {
    size_t size = 0;
    const uint8_t* bytes = resources.findPng(resources.context, id, &size);
    if (!bytes) return nullptr;
    return decodePng(bytes, size);
}

} // namespace

void fillImageTable(const ImageResources& resources) {
    if (g_imageTable) return;
    g_imageTable =
        static_cast<BitmapInfoHeader**>(std::calloc(IMAGE_TABLE_SLOTS, sizeof(*g_imageTable)));
    if (!g_imageTable) return;
    for (int slot = 0; slot < IMAGE_BITMAP_SLOTS; ++slot) {
        g_imageTable[slot] = takeBitmap(resources, IMAGE_BITMAP_IDS[slot]);
    }
    for (int i = 0; i < IMAGE_CHARACTER_COUNT; ++i) {
        g_imageTable[IMAGE_BITMAP_SLOTS + i] = decodeCharacter(resources, IMAGE_PNG_IDS[i]);
    }
}

void freeImageTable() {
    if (!g_imageTable) return;
    for (int slot = IMAGE_BITMAP_SLOTS; slot < IMAGE_TABLE_SLOTS; ++slot) {
        freeDecodedImage(g_imageTable[slot]);
    }
    std::free(g_imageTable);
    g_imageTable = nullptr;
}

const BitmapInfoHeader* imageSlot(int slot) {
    if (!g_imageTable || slot < 0 || slot >= IMAGE_TABLE_SLOTS) return nullptr;
    return g_imageTable[slot];
}

const BitmapInfoHeader* characterImage(int32_t n) {
    if (n < 1 || n > IMAGE_CHARACTER_COUNT) return nullptr;
    return imageSlot(SLOT_CHARACTER_BASE + n);
}
