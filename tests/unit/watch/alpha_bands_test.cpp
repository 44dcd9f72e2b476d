// The six alpha bands of the soft edge.
#include <gtest/gtest.h>

#include "watch/alpha_bands.h"
#include "gfx/fade.h"

namespace {

TEST(AlphaBands, RangesShareBoundariesAndStopBelowTheWatchBand) {
    const AlphaBand expected[ALPHA_BAND_COUNT] = {{16, 54},   {54, 93},   {93, 132},
                                                  {132, 170}, {170, 209}, {209, 248}};
    for (int i = 0; i < ALPHA_BAND_COUNT; ++i) {
        AlphaBand band = alphaBand(i);
        EXPECT_EQ(band.low, expected[i].low) << i;
        EXPECT_EQ(band.high, expected[i].high) << i;
        if (i > 0) {
            EXPECT_EQ(band.low, alphaBand(i - 1).high) << i;
        }
    }
    EXPECT_EQ(alphaBand(ALPHA_BAND_COUNT - 1).high + 1, WATCH_BAND_LOW);
}

TEST(AlphaBands, OpacityAtFullFadeLiesInsideEachBand) {
    for (int i = 0; i < ALPHA_BAND_COUNT; ++i) {
        AlphaBand band = alphaBand(i);
        uint8_t opacity = bandOpacity(255, i);
        EXPECT_GT(opacity, band.low) << i;
        EXPECT_LT(opacity, band.high) << i;
    }
}

TEST(AlphaBands, NumbersOutsideTheSixGiveTheWatchBand) {
    for (int i : {-1, ALPHA_BAND_COUNT, 100}) {
        EXPECT_EQ(alphaBand(i).low, WATCH_BAND_LOW) << i;
        EXPECT_EQ(alphaBand(i).high, WATCH_BAND_HIGH) << i;
    }
}

} // namespace
