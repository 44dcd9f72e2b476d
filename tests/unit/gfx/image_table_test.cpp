#include "gfx/image_table.h"

#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "tests/unit/picture_sizes.h"
#include "tests/unit/res_files.h"
#include "tests/unit/memory_resources.h"

#include <gtest/gtest.h>

namespace {

// A resource whose every pixel carries `id` in green and blue, so that the slot it lands in
// can be traced back to it.
std::vector<uint8_t> bitmapFor(PictureSize size, uint16_t id) {
    return bitmapResource(size.width, size.height, [id](int, int) { return uint32_t(id); });
}

std::vector<uint8_t> pngFor(PictureSize size, uint16_t id) {
    return pngResource(size.width, size.height,
                       [id](int, int) { return 0xFF000000u | uint32_t(id); });
}

MemoryResources completeResources() {
    MemoryResources r;
    for (int slot = 0; slot < IMAGE_BITMAP_SLOTS; ++slot) {
        uint16_t id = IMAGE_BITMAP_IDS[slot];
        r.bitmaps[id] = bitmapFor(expectedPictureSize(slot), id);
    }
    for (int i = 0; i < IMAGE_CHARACTER_COUNT; ++i) {
        uint16_t id = IMAGE_PNG_IDS[i];
        r.pngs[id] = pngFor(expectedPictureSize(IMAGE_BITMAP_SLOTS + i), id);
    }
    return r;
}

uint16_t idOf(const BitmapInfoHeader* picture) {
    return uint16_t(readPixel(picture, nullptr, nullptr, 0, 0) & 0xFFFF);
}

class ImageTableTest : public ::testing::Test {
  protected:
    void TearDown() override { freeImageTable(); }
};

TEST_F(ImageTableTest, EverySlotGetsItsResource) {
    MemoryResources r = completeResources();
    fillImageTable(r.source());
    for (int slot = 0; slot < IMAGE_TABLE_SLOTS; ++slot) {
        const BitmapInfoHeader* picture = imageSlot(slot);
        ASSERT_NE(picture, nullptr) << "slot " << slot;
        EXPECT_EQ(picture->width, expectedPictureSize(slot).width) << "slot " << slot;
        EXPECT_EQ(picture->height, expectedPictureSize(slot).height) << "slot " << slot;
        EXPECT_EQ(picture->bitCount, slot < IMAGE_BITMAP_SLOTS ? 24 : 32);
    }
    // Bitmaps are used in place; the characters are decoded copies.
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(imageSlot(0)), r.bitmaps[101].data());
    EXPECT_EQ(idOf(imageSlot(SLOT_LARGE_DIGIT + 8)), 112); // there is no BITMAP 111
    EXPECT_EQ(idOf(imageSlot(SLOT_WEEKDAY_EN + 4)), 120);  // Thurs.
    EXPECT_EQ(idOf(imageSlot(SLOT_ALARM_SYMBOL + 6)), 153);
    EXPECT_EQ(idOf(characterImage(17)), 181);
    EXPECT_EQ(characterImage(17), imageSlot(68));
    EXPECT_EQ(idOf(characterImage(26)), 206);
}

TEST_F(ImageTableTest, OutOfRangeLookupsFindNothing) {
    EXPECT_EQ(imageSlot(0), nullptr); // no table yet
    MemoryResources r = completeResources();
    fillImageTable(r.source());
    EXPECT_EQ(imageSlot(-1), nullptr);
    EXPECT_EQ(imageSlot(IMAGE_TABLE_SLOTS), nullptr);
    EXPECT_EQ(characterImage(0), nullptr);
    EXPECT_EQ(characterImage(27), nullptr);
    freeImageTable();
    EXPECT_EQ(imageSlot(0), nullptr);
    EXPECT_EQ(characterImage(1), nullptr);
}

TEST_F(ImageTableTest, MissingOrDamagedPicturesLeaveTheirSlotEmpty) {
    MemoryResources r = completeResources();
    r.bitmaps.erase(130);                             // small digit 0 missing
    r.bitmaps[140].resize(r.bitmaps[140].size() - 1); // small slash cut short
    r.pngs.erase(181);                                // image 17 missing
    r.pngs[200].resize(r.pngs[200].size() / 2);       // image 1 truncated
    r.pngs[206][20] ^= 0x55;                          // image 26 corrupt header
    fillImageTable(r.source());
    EXPECT_EQ(imageSlot(SLOT_SMALL_DIGIT), nullptr);
    EXPECT_EQ(imageSlot(SLOT_SMALL_SLASH), nullptr);
    EXPECT_EQ(characterImage(17), nullptr);
    EXPECT_EQ(characterImage(1), nullptr);
    EXPECT_EQ(characterImage(26), nullptr);
    EXPECT_NE(imageSlot(SLOT_SMALL_DIGIT + 1), nullptr);
    EXPECT_NE(characterImage(2), nullptr);
}

TEST_F(ImageTableTest, SecondFillKeepsTheFirstTable) {
    MemoryResources first = completeResources();
    fillImageTable(first.source());
    const BitmapInfoHeader* panel = imageSlot(0);
    MemoryResources empty;
    fillImageTable(empty.source());
    EXPECT_EQ(imageSlot(0), panel);
}

// The pictures in res/ have the sizes and formats of the table, with opaque glyphs and panels
// and characters whose soft edges reach into every alpha band.
TEST_F(ImageTableTest, ResourcePicturesHaveTheirSizesAndFormats) {
    MemoryResources r = resFileResources();
    ASSERT_EQ(r.bitmaps.size(), size_t(IMAGE_BITMAP_SLOTS));
    ASSERT_EQ(r.pngs.size(), size_t(IMAGE_CHARACTER_COUNT));
    for (auto& png : r.pngs) {
        // Colour type 6 (RGBA) with 8 bits, from the header chunk.
        ASSERT_GT(png.second.size(), 26u);
        EXPECT_EQ(png.second[24], 8) << "PNG " << png.first;
        EXPECT_EQ(png.second[25], 6) << "PNG " << png.first;
    }
    fillImageTable(r.source());
    for (int slot = 0; slot < IMAGE_TABLE_SLOTS; ++slot) {
        const BitmapInfoHeader* picture = imageSlot(slot);
        ASSERT_NE(picture, nullptr) << "slot " << slot;
        EXPECT_EQ(picture->width, expectedPictureSize(slot).width) << "slot " << slot;
        EXPECT_EQ(picture->height, expectedPictureSize(slot).height) << "slot " << slot;
        EXPECT_EQ(picture->bitCount, slot < IMAGE_BITMAP_SLOTS ? 24 : 32) << "slot " << slot;
        EXPECT_EQ(picture->compression, 0u) << "slot " << slot;
    }
    for (int n = 1; n <= IMAGE_CHARACTER_COUNT; ++n) {
        const BitmapInfoHeader* picture = characterImage(n);
        bool alphaSeen[256] = {};
        for (int32_t y = 0; y < picture->height; ++y) {
            for (int32_t x = 0; x < picture->width; ++x) {
                alphaSeen[readPixel(picture, nullptr, nullptr, x, y) >> 24] = true;
            }
        }
        EXPECT_TRUE(alphaSeen[0]) << "image " << n;
        EXPECT_TRUE(alphaSeen[255]) << "image " << n;
        // Each of the six band windows of WatchMode shows some edge of every character.
        const int bandLows[] = {16, 54, 93, 132, 170, 209, 249};
        for (int b = 0; b < 6; ++b) {
            bool shown = false;
            for (int a = bandLows[b]; a < bandLows[b + 1]; ++a)
                shown = shown || alphaSeen[a];
            EXPECT_TRUE(shown) << "image " << n << " band " << b;
        }
    }
}

} // namespace
