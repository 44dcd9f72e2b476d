#include "watch/watch_face.h"

#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "tests/unit/watch/barcode_glyphs.h"
#include "watch/character_table.h"

#include <gtest/gtest.h>

namespace {

// A 32-bit picture of one opaque colour.
struct Solid {
    std::vector<uint8_t> bytes;
    Solid(int32_t width, int32_t height, uint32_t colour) {
        bytes = bitmapResource(width, height, [colour](int, int) { return colour; });
    }
    const BitmapInfoHeader* header() const {
        return reinterpret_cast<const BitmapInfoHeader*>(bytes.data());
    }
};

uint32_t spritePixel(const CBitMap& s, int x, int yFromTop) {
    return readPixel(&s.info.header, nullptr, s.backBuffer(), x, yFromTop);
}

class ComposeSprite : public ::testing::Test {
  protected:
    void SetUp() override {
        resources = barcodeResources();
        fillImageTable(resources.source());
    }
    void TearDown() override { freeImageTable(); }

    // Composes row `chara` and checks the sprite size and panel position.
    void compose(int32_t chara, int32_t width, int32_t height, int32_t px, int32_t py) {
        ASSERT_TRUE(composeCharacterSprite(&sprite, chara, &panelX, &panelY));
        EXPECT_EQ(sprite.width(), width);
        EXPECT_EQ(sprite.height(), height);
        EXPECT_EQ(sprite.bytesPerPixel, 4u);
        EXPECT_EQ(panelX, px);
        EXPECT_EQ(panelY, py);
        // The panel is drawn last, over everything behind it.
        EXPECT_EQ(spritePixel(sprite, px, py), 0xFF000000u | PANEL_COLOUR);
        EXPECT_EQ(spritePixel(sprite, px + 148, py + 50), 0xFF000000u | PANEL_COLOUR);
    }
    // True when the character image n has its top-left corner at (x, y) of the sprite.
    bool imageAt(int n, int x, int y) {
        uint32_t colour = characterColour(SLOT_CHARACTER_BASE + n);
        return spritePixel(sprite, x, y) == colour &&
               (x == 0 || spritePixel(sprite, x - 1, y) != colour) &&
               (y == 0 || spritePixel(sprite, x, y - 1) != colour);
    }

    MemoryResources resources;
    CBitMap sprite;
    int32_t panelX = -1;
    int32_t panelY = -1;
};

TEST_F(ComposeSprite, BarePanel) {
    compose(0, 149, 51, 0, 0);
    EXPECT_EQ(spritePixel(sprite, 0, 0), 0xFF000000u | PANEL_COLOUR);
}

TEST_F(ComposeSprite, SingleImageCentredWithPanelDrop) {
    // Image 17 is 156 × 111; the panel's bottom lies 40 pixels below the image's bottom.
    compose(1, 156, 151, 7, 100);
    EXPECT_TRUE(imageAt(17, 0, 0));
    // Image 1 (120 × 176) is narrower than the panel: centred over it.
    compose(2, 149, 176, 0, 125);
    EXPECT_TRUE(imageAt(1, 14, 0));
    EXPECT_EQ(spritePixel(sprite, 13, 0), 0u); // outside every picture: fully transparent
}

TEST_F(ComposeSprite, PairStandsSideBySideOnOneLine) {
    // Images 12 (101 × 180) and 11 (97 × 180): the panel is centred under the pair.
    compose(10, 198, 180, 24, 129);
    EXPECT_TRUE(imageAt(12, 0, 0));
    EXPECT_TRUE(imageAt(11, 101, 0));
    // Images 15 (117 × 169) and 16 (120 × 168): the shorter main image is lowered by 1.
    compose(19, 237, 169, 44, 118);
    EXPECT_TRUE(imageAt(15, 0, 0));
    EXPECT_TRUE(imageAt(16, 117, 1));
    // Images 18 (134 × 180) and 1 (120 × 176): the companion is taller.
    compose(21, 254, 180, 52, 129);
    EXPECT_TRUE(imageAt(18, 0, 0));
    EXPECT_TRUE(imageAt(1, 134, 4));
}

TEST_F(ComposeSprite, LoneCompanionStandsAtTheLeft) {
    // Image 24 is 114 × 219, panelDrop 50.
    compose(28, 149, 269, 0, 218);
    EXPECT_TRUE(imageAt(24, 0, 0));
}

TEST_F(ComposeSprite, OutOfRangeCharacterIsTheBarePanel) {
    for (int32_t chara : {-1, 30, 1000}) {
        compose(chara, 149, 51, 0, 0);
    }
    EXPECT_EQ(&characterRecord(30), &CharacterTable[0]);
}

TEST_F(ComposeSprite, PairNarrowerThanThePanelAndMainX) {
    Solid panel(149, 51, PANEL_COLOUR);
    Solid companion(40, 60, 0x000001);
    Solid main(50, 70, 0x000002);
    ASSERT_TRUE(composeSprite(&sprite, panel.header(), companion.header(), 0, main.header(), 0, 0,
                              &panelX, &panelY));
    EXPECT_EQ(sprite.width(), 149);
    EXPECT_EQ(panelX, 0);
    EXPECT_EQ(spritePixel(sprite, 59, 10), 0xFF000001u); // companion at 149 - 50 - 40
    EXPECT_EQ(spritePixel(sprite, 58, 10), 0u);          // and lowered by 10
    EXPECT_EQ(spritePixel(sprite, 59, 9), 0u);
    EXPECT_EQ(spritePixel(sprite, 99, 0), 0xFF000002u);

    // mainX past the panel widens the sprite and pins the panel to x 0.
    ASSERT_TRUE(composeSprite(&sprite, panel.header(), nullptr, 0, main.header(), 120, 0, &panelX,
                              &panelY));
    EXPECT_EQ(sprite.width(), 170);
    EXPECT_EQ(panelX, 0);
    EXPECT_EQ(spritePixel(sprite, 120, 0), 0xFF000002u);
    EXPECT_EQ(spritePixel(sprite, 119, 0), 0u);
}

TEST_F(ComposeSprite, NothingToComposeLeavesTheSpriteEmpty) {
    ASSERT_TRUE(composeSprite(&sprite, imageSlot(0), nullptr, 0, nullptr, 0, 0, &panelX, &panelY));
    panelX = 7;
    EXPECT_FALSE(composeSprite(&sprite, nullptr, nullptr, 0, nullptr, 0, 0, &panelX, &panelY));
    EXPECT_TRUE(sprite.empty());
    EXPECT_EQ(panelX, 7);
}

} // namespace
