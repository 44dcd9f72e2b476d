#include "player/popup_paint.h"

#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "gfx/image_table.h"
#include "player/popup_options.h"
#include "tests/unit/watch/barcode_glyphs.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint32_t WHITE = 0xFFFFFF;

uint32_t pixel(const CBitMap& s, int x, int yFromTop) {
    return readPixel(&s.info.header, nullptr, s.backBuffer(), x, yFromTop) & 0xFFFFFF;
}

// Colours along one row of the bar (row 5 from the bottom), columns `from` .. `to` - 1.
std::vector<uint32_t> barRow(const CBitMap& s, int row, int from, int to) {
    std::vector<uint32_t> out;
    for (int x = from; x < to; ++x)
        out.push_back(pixel(s, x, s.height() - 1 - row));
    return out;
}

// Slots of the glyphs whose tagged top row lies at `y`, with their x positions.
std::vector<std::pair<int, int>> readGlyphs(const CBitMap& s, int y) {
    std::vector<std::pair<int, int>> out;
    for (int x = 0; x < s.width(); ++x) {
        if (pixel(s, x, y) != 0) continue;
        int slot = 0;
        for (int b = 0; b < 6; ++b)
            if (x + b < s.width() && pixel(s, x + b, y + 1) == 0) slot |= 1 << b;
        out.push_back({x, slot});
    }
    return out;
}

class PopupPaint : public ::testing::Test {
  protected:
    void SetUp() override {
        resources = barcodeResources();
        fillImageTable(resources.source());
        ASSERT_TRUE(surface.create(24, 280, 51));
        fillRect(&surface, 0, 0, 280, 51, WHITE);
    }
    void TearDown() override { freeImageTable(); }

    MemoryResources resources;
    CBitMap surface;
};

// The "Zz" mark stays inside the symbol's top right corner: nothing of the readout beside it or
// the bar below it is painted over.
TEST_F(PopupPaint, SnoozeMarkStaysInTheSymbolsCorner) {
    drawSnoozeMark(&surface);
    int marked = 0;
    for (int y = 0; y < surface.height(); ++y) {
        for (int x = 0; x < surface.width(); ++x) {
            if (pixel(surface, x, y) == WHITE) continue;
            ++marked;
            EXPECT_EQ(pixel(surface, x, y), SNOOZE_MARK_COLOUR);
            EXPECT_GE(x, SYMBOL_LEFT + SYMBOL_WIDTH / 2) << x << "," << y;
            EXPECT_LT(x, SYMBOL_LEFT + SYMBOL_WIDTH) << x << "," << y;
            EXPECT_GE(y, SYMBOL_TOP) << x << "," << y;
            EXPECT_LT(y, SYMBOL_TOP + SYMBOL_HEIGHT / 3) << x << "," << y;
        }
    }
    EXPECT_GT(marked, 20);
}

TEST_F(PopupPaint, BarSplitsAtThePlayedEndOverBothRowsOnly) {
    drawProgressBar(&surface, 70, false, 0);
    for (int row : {5, 6}) {
        std::vector<uint32_t> expected(64, PROGRESS_PLAYED_COLOUR);
        expected.insert(expected.end(), 64, PROGRESS_REST_COLOUR);
        EXPECT_EQ(barRow(surface, row, 6, 134), expected) << row;
        EXPECT_EQ(barRow(surface, row, 5, 6)[0], WHITE);
        EXPECT_EQ(barRow(surface, row, 134, 135)[0], WHITE);
    }
    EXPECT_EQ(barRow(surface, 4, 6, 134), std::vector<uint32_t>(128, WHITE));
    EXPECT_EQ(barRow(surface, 7, 6, 134), std::vector<uint32_t>(128, WHITE));
}

TEST_F(PopupPaint, SeekPreviewCoversTheSpanBetweenPlayedEndAndCursor) {
    drawProgressBar(&surface, 70, true, 100);
    std::vector<uint32_t> ahead = barRow(surface, 5, 6, 134);
    EXPECT_EQ(ahead[63], PROGRESS_PLAYED_COLOUR);
    EXPECT_EQ(ahead[64], PROGRESS_PREVIEW_COLOUR);
    EXPECT_EQ(ahead[93], PROGRESS_PREVIEW_COLOUR);
    EXPECT_EQ(ahead[94], PROGRESS_REST_COLOUR);
    // A cursor behind the played end marks the part it would go back over.
    drawProgressBar(&surface, 70, true, 30);
    std::vector<uint32_t> behind = barRow(surface, 5, 6, 134);
    EXPECT_EQ(behind[23], PROGRESS_PLAYED_COLOUR);
    EXPECT_EQ(behind[24], PROGRESS_PREVIEW_COLOUR);
    EXPECT_EQ(behind[63], PROGRESS_PREVIEW_COLOUR);
    EXPECT_EQ(behind[64], PROGRESS_REST_COLOUR);
}

TEST_F(PopupPaint, AlarmAtQuarterPastMidnightInTwelveHourForm) {
    drawPopupReadout(&surface, alarmReadout(0, 15, 0, POPUP_12_HOUR));
    const int L0 = SLOT_LARGE_DIGIT, COLON = SLOT_LARGE_COLON;
    std::vector<std::pair<int, int>> expected = {{38, L0 + 1}, {50, L0 + 2}, {62, COLON},
                                                 {68, L0 + 1}, {80, L0 + 5}, {92, COLON},
                                                 {98, L0 + 0}, {110, L0 + 0}};
    EXPECT_EQ(readGlyphs(surface, 15), expected);
    std::vector<std::pair<int, int>> mark = {{122, SLOT_AM}};
    EXPECT_EQ(readGlyphs(surface, 27), mark);
}

TEST_F(PopupPaint, PlayTimeHasABlankTensPlaceAndNoMark) {
    drawPopupReadout(&surface, playTimeReadout(3723000, 0, POPUP_SOUND_TEST | POPUP_12_HOUR));
    const int L0 = SLOT_LARGE_DIGIT, COLON = SLOT_LARGE_COLON;
    std::vector<std::pair<int, int>> expected = {{50, L0 + 1}, {62, COLON}, {68, L0 + 0},
                                                 {80, L0 + 2}, {92, COLON}, {98, L0 + 0},
                                                 {110, L0 + 3}};
    EXPECT_EQ(readGlyphs(surface, 15), expected);
    EXPECT_TRUE(readGlyphs(surface, 27).empty());
}

TEST_F(PopupPaint, PanelCopiesEveryPixelSymbolSkipsBlack) {
    fillRect(&surface, 0, 0, 280, 51, 0x123456);
    drawPopupPanel(&surface, imageSlot(SLOT_PLAYER_PANEL));
    EXPECT_EQ(pixel(surface, 0, 0), PANEL_COLOUR);
    EXPECT_EQ(pixel(surface, 279, 50), PANEL_COLOUR);
    drawPopupSymbol(&surface, imageSlot(SLOT_ALARM_SYMBOL + 2));
    EXPECT_EQ(pixel(surface, 4, 10), symbolColour(SLOT_ALARM_SYMBOL + 2));
    EXPECT_EQ(pixel(surface, 4 + 28, 10 + 35), symbolColour(SLOT_ALARM_SYMBOL + 2));
    EXPECT_EQ(pixel(surface, 3, 10), PANEL_COLOUR);
    drawPopupSymbol(&surface, nullptr);
}

} // namespace
