// Test helper: an ImageTable whose glyphs are tagged so that a printed line can be read back.
// Each glyph has its real size; its top-left pixel is white (it prints as a black start
// mark) and the row below carries the slot number in six white bits. Panel, symbols and
// characters are solid colours derived from their slot.
#pragma once

#include "gfx/image_table.h"
#include "tests/unit/memory_resources.h"
#include "tests/unit/picture_sizes.h"

#include <vector>

constexpr uint32_t PANEL_COLOUR = 0xE0D0C0;

inline uint32_t symbolColour(int slot) {
    return 0x102000u + uint32_t(slot);
}
inline uint32_t characterColour(int slot) {
    return 0xFF400000u + uint32_t(slot);
}

inline std::vector<uint8_t> barcodeGlyph(int slot) {
    PictureSize size = expectedPictureSize(slot);
    return bitmapResource(size.width, size.height, [slot](int x, int y) -> uint32_t {
        if (y == 0) return x == 0 ? 0xFFFFFF : 0;
        if (y == 1 && x < 6 && ((slot >> x) & 1)) return 0xFFFFFF;
        return 0;
    });
}

inline MemoryResources makeBarcodeResources() {
    MemoryResources r;
    for (int slot = 0; slot < IMAGE_BITMAP_SLOTS; ++slot) {
        PictureSize size = expectedPictureSize(slot);
        uint16_t id = IMAGE_BITMAP_IDS[slot];
        if (slot <= SLOT_PLAYER_PANEL) {
            r.bitmaps[id] =
                bitmapResource(size.width, size.height, [](int, int) { return PANEL_COLOUR; });
        } else if (slot >= SLOT_ALARM_SYMBOL) {
            r.bitmaps[id] = bitmapResource(size.width, size.height,
                                           [slot](int, int) { return symbolColour(slot); });
        } else {
            r.bitmaps[id] = barcodeGlyph(slot);
        }
    }
    for (int i = 0; i < IMAGE_CHARACTER_COUNT; ++i) {
        int slot = IMAGE_BITMAP_SLOTS + i;
        PictureSize size = expectedPictureSize(slot);
        r.pngs[IMAGE_PNG_IDS[i]] = pngResource(size.width, size.height,
                                               [slot](int, int) { return characterColour(slot); });
    }
    return r;
}

// Encoding the character pictures is slow under the sanitizers; every test gets a copy of one
// set made once.
inline MemoryResources barcodeResources() {
    static const MemoryResources made = makeBarcodeResources();
    return made;
}
