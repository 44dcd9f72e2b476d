// Fade-in, fade-out and the soft edge's opacities.
#include <gtest/gtest.h>

#include "gfx/fade.h"

namespace {

TEST(Fade, InTakesTwentyTwoTicksAndStopsAtFull) {
    int32_t level = 0;
    int ticks = 0;
    while (!fadeInStep(&level))
        ++ticks;
    EXPECT_EQ(ticks + 1, 22);
    EXPECT_EQ(level, 255);
}

TEST(Fade, OutStopsAtZero) {
    int32_t level = 255;
    int ticks = 1;
    while (!fadeOutStep(&level))
        ++ticks;
    EXPECT_EQ(level, 0);
    EXPECT_EQ(ticks, 16);
}

TEST(Fade, BandOpacitiesAtFullAndPartialFade) {
    const uint8_t full[] = {35, 74, 112, 151, 190, 228};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(bandOpacity(255, i), full[i]) << i;
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(bandOpacity(0, i), 0) << i;
    EXPECT_EQ(bandOpacity(120, 5), 107); // trunc(120 / 255 * 228.66667)
}

} // namespace
