// The double-buffered surface every window presents.
#include <gtest/gtest.h>

#include <cstring>

#include "gfx/bitmap.h"

namespace {

TEST(CBitMap, StrideAndImageSizeFollowTheRowRule) {
    CBitMap rgb;
    ASSERT_TRUE(rgb.create(24, 5, 2));
    EXPECT_EQ(rgb.stride, 16u);
    EXPECT_EQ(rgb.imageSize(), 32u);
    EXPECT_EQ(rgb.bytesPerPixel, 3u);

    CBitMap argb;
    ASSERT_TRUE(argb.create(32, 5, 2));
    EXPECT_EQ(argb.stride, 20u);
    EXPECT_EQ(argb.imageSize(), 40u);
    const BitmapInfoHeader& h = argb.info.header;
    EXPECT_EQ(h.size, 40u);
    EXPECT_EQ(h.height, 2); // positive: bottom-up rows
    EXPECT_EQ(h.planes, 1);
    EXPECT_EQ(h.bitCount, 32);
    EXPECT_EQ(h.compression, 0u);
    EXPECT_EQ(h.xPelsPerMeter, 1);
}

TEST(CBitMap, BothBuffersShareOneZeroedBlock) {
    CBitMap s;
    ASSERT_TRUE(s.create(24, 3, 3));
    EXPECT_EQ(s.buffers[1], s.buffers[0] + s.imageSize());
    for (uint32_t i = 0; i < 2 * s.imageSize(); ++i)
        ASSERT_EQ(s.buffers[0][i], 0);
    EXPECT_EQ(s.backBuffer(), s.buffers[0]);
    EXPECT_EQ(s.frontBuffer(), s.buffers[1]);
}

TEST(CBitMap, FlipPresentsTheDrawingAndClearsTheNextBackBuffer) {
    CBitMap s;
    ASSERT_TRUE(s.create(32, 4, 4));
    memset(s.backBuffer(), 0xAB, s.imageSize());
    memset(s.frontBuffer(), 0xCD, s.imageSize()); // a stale frame
    s.flip();
    EXPECT_EQ(s.frontBuffer()[0], 0xAB);
    EXPECT_EQ(s.backBuffer()[s.imageSize() - 1], 0); // cleared on its way out
    s.flip();
    for (uint32_t i = 0; i < s.imageSize(); ++i)
        ASSERT_EQ(s.frontBuffer()[i], 0) << i;
}

TEST(CBitMap, CreateRefusesAReadySurfaceUntilReleased) {
    CBitMap s;
    ASSERT_TRUE(s.create(24, 2, 2));
    uint8_t* old = s.buffers[0];
    EXPECT_FALSE(s.create(32, 8, 8));
    EXPECT_EQ(s.buffers[0], old);
    EXPECT_EQ(s.width(), 2);
    s.flip();
    s.release();
    EXPECT_TRUE(s.empty());
    EXPECT_EQ(s.bufferIndex, 0u);
    EXPECT_EQ(s.width(), 0);
    EXPECT_EQ(s.imageSize(), 0u);
    ASSERT_TRUE(s.create(32, 8, 8));
    EXPECT_EQ(s.width(), 8);
    s.release();
    s.flip(); // an empty surface ignores flips
}

TEST(CBitMap, RefusesSizesThatCannotBeAPicture) {
    CBitMap s;
    EXPECT_FALSE(s.create(16, 4, 4));
    EXPECT_FALSE(s.create(32, 0, 4));
    EXPECT_FALSE(s.create(32, 4, -1));
    EXPECT_FALSE(s.create(32, 100000, 100000)); // more than the 32-bit image size allows
    EXPECT_TRUE(s.empty());
}

} // namespace
