#include "watch/watch_face.h"

#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "tests/unit/watch/barcode_glyphs.h"

#include <gtest/gtest.h>

namespace {

uint32_t windowPixel(const CBitMap& s, int x, int yFromTop) {
    return readPixel(&s.info.header, nullptr, s.backBuffer(), x, yFromTop) & 0xFFFFFF;
}

class RenderFace : public ::testing::Test {
  protected:
    void SetUp() override {
        resources = barcodeResources();
        fillImageTable(resources.source());
    }
    void TearDown() override { freeImageTable(); }

    // Composes `chara` and renders the face the way the watch window does.
    void render(int32_t chara, uint32_t alarmFlags, int32_t alarmSymbol) {
        ASSERT_TRUE(composeCharacterSprite(&sprite, chara, &panelX, &panelY));
        window.release();
        ASSERT_TRUE(window.create(24, sprite.width(), sprite.height()));
        WatchFace face = {&window, &sprite, 0, 0, alarmFlags, alarmSymbol};
        SystemTime t = {2026, 12, 1, 7, 9, 5, 3, 0};
        renderWatchFace(face, t, panelX + 6, panelY + 6);
    }

    MemoryResources resources;
    CBitMap sprite;
    CBitMap window;
    int32_t panelX = 0;
    int32_t panelY = 0;
};

TEST_F(RenderFace, SpriteIsCopiedWithTransparentPixelsBlack) {
    render(2, 0, 0);
    EXPECT_EQ(windowPixel(window, 13, 0), 0u);
    EXPECT_EQ(windowPixel(window, 14, 0), characterColour(SLOT_CHARACTER_BASE + 1) & 0xFFFFFF);
    EXPECT_EQ(windowPixel(window, panelX + 1, panelY + 1), PANEL_COLOUR);
    // The date's first glyph prints its start mark at panel (6, 6), the time's at (12, 23).
    EXPECT_EQ(windowPixel(window, panelX + 6, panelY + 6), 0u);
    EXPECT_EQ(windowPixel(window, panelX + 12 + 12, panelY + 23), 0u); // after a blank 0
}

TEST_F(RenderFace, EnabledAlarmShowsItsSymbol) {
    render(0, 1, 3);
    EXPECT_EQ(windowPixel(window, 115, 17), symbolColour(SLOT_ALARM_SYMBOL + 3));
    EXPECT_EQ(windowPixel(window, 115 + 28, 17 + 33), symbolColour(SLOT_ALARM_SYMBOL + 3));
    EXPECT_EQ(windowPixel(window, 114, 17), PANEL_COLOUR);
}

TEST_F(RenderFace, NoSymbolWithoutAnEnabledAlarmOrForUnknownSymbols) {
    const struct {
        uint32_t flags;
        int32_t symbol;
    } cases[] = {{0, 0}, {0, 3}, {2, 3}, {1, 7}, {1, -1}};
    for (auto c : cases) {
        render(0, c.flags, c.symbol);
        EXPECT_EQ(windowPixel(window, 115, 17), PANEL_COLOUR) << c.flags << " " << c.symbol;
    }
}

} // namespace

// The 200 ms repaint skips only when nothing the face shows has changed.
TEST(SameFacePicture, ChangesOnlyWithTheSecondOrWhatTheFaceShows) {
    CBitMap window;
    CBitMap sprite;
    WatchFace face = {&window, &sprite, 1, 0, 1, 2};
    SystemTime t = {2026, 12, 1, 2, 9, 5, 3, 100};
    SystemTime later = t;
    later.milliseconds = 900;
    EXPECT_TRUE(sameFacePicture(face, later, face, t));

    SystemTime nextSecond = t;
    nextSecond.second = 4;
    EXPECT_FALSE(sameFacePicture(face, nextSecond, face, t));
    SystemTime nextDay = t;
    nextDay.day = 3;
    EXPECT_FALSE(sameFacePicture(face, nextDay, face, t));

    WatchFace otherSymbol = face;
    otherSymbol.alarmSymbol = 3;
    EXPECT_FALSE(sameFacePicture(otherSymbol, t, face, t));
    WatchFace disarmed = face;
    disarmed.alarmFlags = 0;
    EXPECT_FALSE(sameFacePicture(disarmed, t, face, t));
    WatchFace otherFormat = face;
    otherFormat.timeFormat = 2;
    EXPECT_FALSE(sameFacePicture(otherFormat, t, face, t));
    // The first paint compares with an all-zero face and always draws.
    EXPECT_FALSE(sameFacePicture(face, t, WatchFace{}, SystemTime{}));
}
