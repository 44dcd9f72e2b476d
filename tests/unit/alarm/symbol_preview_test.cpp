// The alarm dialog's symbol preview: ground colour, centring, transparency and unknown symbols.
#include "alarm/symbol_preview.h"

#include <gtest/gtest.h>

#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "tests/unit/memory_resources.h"

namespace {

constexpr uint32_t SYMBOL_COLOUR = 0x2040A0;

// Symbol 2 is a 5 x 3 picture with a transparent (black) top-left pixel; others are absent.
class SymbolPreview : public ::testing::Test {
  protected:
    void SetUp() override {
        resources.bitmaps[IMAGE_BITMAP_IDS[SLOT_ALARM_SYMBOL + 2]] = bitmapResource(
            5, 3, [](int x, int y) { return x == 0 && y == 0 ? 0u : SYMBOL_COLOUR; });
        fillImageTable(resources.source());
        ASSERT_TRUE(surface.create(32, 12, 9));
    }
    void TearDown() override { freeImageTable(); }

    uint32_t shown(int x, int yFromTop) const {
        return readPixel(&surface.info.header, nullptr, surface.frontBuffer(), x, yFromTop) &
               0xFFFFFF;
    }

    MemoryResources resources;
    CBitMap surface;
};

TEST_F(SymbolPreview, SymbolIsCentredOnTheGroundWithRoundedDownHalves) {
    paintSymbolPreview(&surface, 2);
    // x = 12 / 2 - 5 / 2 = 4, y = 9 / 2 - 3 / 2 = 3.
    EXPECT_EQ(shown(0, 0), SYMBOL_PREVIEW_GROUND);
    EXPECT_EQ(shown(4, 3), SYMBOL_PREVIEW_GROUND) << "transparent pixel skipped";
    EXPECT_EQ(shown(5, 3), SYMBOL_COLOUR);
    EXPECT_EQ(shown(8, 5), SYMBOL_COLOUR);
    EXPECT_EQ(shown(9, 5), SYMBOL_PREVIEW_GROUND);
    EXPECT_EQ(shown(8, 6), SYMBOL_PREVIEW_GROUND);
    EXPECT_EQ(shown(3, 4), SYMBOL_PREVIEW_GROUND);
    EXPECT_EQ(shown(11, 8), SYMBOL_PREVIEW_GROUND);
}

TEST_F(SymbolPreview, RepaintingReplacesTheOldSymbol) {
    paintSymbolPreview(&surface, 2);
    paintSymbolPreview(&surface, 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(shown(x, y), SYMBOL_PREVIEW_GROUND) << x << "," << y;
}

TEST_F(SymbolPreview, MissingPictureOrEmptySurfaceDrawsNoSymbol) {
    paintSymbolPreview(&surface, 4);
    EXPECT_EQ(shown(6, 4), SYMBOL_PREVIEW_GROUND);
    CBitMap empty;
    paintSymbolPreview(&empty, 2);
    paintSymbolPreview(nullptr, 2);
    EXPECT_TRUE(empty.empty());
}

} // namespace
