#include "gfx/draw.h"

#include "gfx/bitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A packed DIB in memory: header, colour table, rows.
struct Picture {
    std::vector<uint8_t> bytes;
    const BitmapInfoHeader* header() const {
        return reinterpret_cast<const BitmapInfoHeader*>(bytes.data());
    }
};

Picture makePicture(int32_t width, int32_t height, uint16_t bits, std::vector<uint32_t> table,
                    std::vector<uint8_t> rows, uint32_t clrUsed) {
    BitmapInfoHeader h = {};
    h.size = 40;
    h.width = width;
    h.height = height;
    h.planes = 1;
    h.bitCount = bits;
    h.clrUsed = clrUsed;
    Picture p;
    p.bytes.resize(40 + table.size() * 4 + rows.size());
    std::memcpy(p.bytes.data(), &h, 40);
    if (!table.empty()) std::memcpy(p.bytes.data() + 40, table.data(), table.size() * 4);
    std::memcpy(p.bytes.data() + 40 + table.size() * 4, rows.data(), rows.size());
    return p;
}

// A 32-bit picture from 0xAARRGGBB values given top row first.
Picture picture32(int32_t width, int32_t height, const std::vector<uint32_t>& topDown) {
    std::vector<uint8_t> rows(size_t(width) * height * 4);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = rows.data() + size_t(height - 1 - y) * width * 4;
        std::memcpy(row, &topDown[size_t(y) * width], size_t(width) * 4);
    }
    return makePicture(width, height, 32, {}, rows, 0);
}

// Pixel of a surface as 0xRRGGBB (plus alpha for 32 bits), y counted from the top.
uint32_t pixelFromTop(const CBitMap& s, int x, int y) {
    const uint8_t* p = s.backBuffer() + size_t(s.height() - 1 - y) * s.stride + x * s.bytesPerPixel;
    uint32_t v = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    if (s.bytesPerPixel == 4) v |= uint32_t(p[3]) << 24;
    return v;
}

// Pixel in storage order (y 0 = first row in memory, the bottom of the picture).
uint32_t pixelStored(const CBitMap& s, int x, int y) {
    return pixelFromTop(s, x, s.height() - 1 - y);
}

// Coordinates (storage order) of every pixel that is not zero.
std::vector<std::pair<int, int>> setPixels(const CBitMap& s) {
    std::vector<std::pair<int, int>> out;
    for (int y = 0; y < s.height(); ++y) {
        for (int x = 0; x < s.width(); ++x) {
            if (pixelStored(s, x, y) != 0) out.push_back({x, y});
        }
    }
    return out;
}

TEST(ReadPixel, EveryDepthAndRowOrder) {
    std::vector<uint32_t> palette = {0x000000, 0x00FF0000, 0x0000FF00, 0x000000FF};
    // 1 bit, 9 pixels wide (two bytes, padded to four); the bottom row is stored first.
    Picture one = makePicture(9, 2, 1, {palette[0], palette[1]},
                              {0x00, 0x00, 0, 0, /* top */ 0x41, 0x80, 0, 0}, 2);
    EXPECT_EQ(readPixel(one.header(), nullptr, nullptr, 1, 0), 0x00FF0000u);
    EXPECT_EQ(readPixel(one.header(), nullptr, nullptr, 7, 0), 0x00FF0000u);
    EXPECT_EQ(readPixel(one.header(), nullptr, nullptr, 8, 0), 0x00FF0000u);
    EXPECT_EQ(readPixel(one.header(), nullptr, nullptr, 2, 0), 0u);
    EXPECT_EQ(readPixel(one.header(), nullptr, nullptr, 1, 1), 0u);

    Picture four = makePicture(3, 1, 4, palette, {0x12, 0x30, 0, 0}, 4);
    EXPECT_EQ(readPixel(four.header(), nullptr, nullptr, 0, 0), palette[1]);
    EXPECT_EQ(readPixel(four.header(), nullptr, nullptr, 1, 0), palette[2]);
    EXPECT_EQ(readPixel(four.header(), nullptr, nullptr, 2, 0), palette[3]);

    // 8 bits with a top-down height: the first stored row is the top row.
    Picture eight = makePicture(2, -2, 8, palette, {3, 0, 0, 0, 1, 2, 0, 0}, 4);
    EXPECT_EQ(readPixel(eight.header(), nullptr, nullptr, 0, 0), palette[3]);
    EXPECT_EQ(readPixel(eight.header(), nullptr, nullptr, 1, 1), palette[2]);

    // 24 bits: rows padded to four bytes, alpha always 255.
    Picture rgb = makePicture(1, 2, 24, {}, {1, 2, 3, 0, 4, 5, 6, 0}, 0);
    EXPECT_EQ(readPixel(rgb.header(), nullptr, nullptr, 0, 0), 0xFF060504u);
    EXPECT_EQ(readPixel(rgb.header(), nullptr, nullptr, 0, 1), 0xFF030201u);

    EXPECT_EQ(readPixel(rgb.header(), nullptr, nullptr, -1, 0), 0u);
    EXPECT_EQ(readPixel(rgb.header(), nullptr, nullptr, 1, 0), 0u);
    EXPECT_EQ(readPixel(rgb.header(), nullptr, nullptr, 0, 2), 0u);
    EXPECT_EQ(readPixel(nullptr, nullptr, nullptr, 0, 0), 0u);
}

TEST(ReadPixel, ExplicitTableAndPixelsAndFullPaletteWhenCountIsZero) {
    std::vector<uint32_t> full(256, 0);
    full[255] = 0x00ABCDEF;
    // clrUsed 0 on an 8-bit picture means a full 256-entry table before the rows.
    Picture eight = makePicture(1, 1, 8, full, {255, 0, 0, 0}, 0);
    EXPECT_EQ(readPixel(eight.header(), nullptr, nullptr, 0, 0), 0x00ABCDEFu);

    uint32_t table[2] = {0x11, 0x22};
    uint8_t rows[4] = {1, 0, 0, 0};
    EXPECT_EQ(readPixel(eight.header(), table, rows, 0, 0), 0x22u);
}

TEST(BlitImage, ClipsAtEveryEdge) {
    std::vector<uint32_t> px(16);
    for (uint32_t i = 0; i < 16; ++i)
        px[i] = 0xFF000000u | (i + 1);
    Picture pic = picture32(4, 4, px);
    CBitMap s;
    ASSERT_TRUE(s.create(32, 4, 4));
    blitImage(&s, -3, 0, pic.header(), nullptr, 1.0f, 0);
    // Only the picture's last column lands, in column 0.
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(pixelFromTop(s, 0, y), px[size_t(y) * 4 + 3]);
        EXPECT_EQ(pixelFromTop(s, 1, y), 0u);
    }
    CBitMap t;
    ASSERT_TRUE(t.create(24, 3, 3));
    blitImage(&t, 1, 2, pic.header(), nullptr, 1.0f, 0);
    EXPECT_EQ(pixelFromTop(t, 1, 2), px[0] & 0xFFFFFF);
    EXPECT_EQ(pixelFromTop(t, 2, 2), px[1] & 0xFFFFFF);
    EXPECT_EQ(pixelFromTop(t, 0, 2), 0u);
    EXPECT_EQ(pixelFromTop(t, 1, 1), 0u);
    blitImage(&t, 3, 0, pic.header(), nullptr, 1.0f, 0);
    blitImage(&t, 0, -4, pic.header(), nullptr, 1.0f, 0);
    EXPECT_EQ(setPixels(t).size(), 2u);
}

TEST(BlitImage, TransparencyByAlphaOrByBlack) {
    Picture alpha = picture32(3, 1, {0x01102030, 0x00405060, 0x00000000});
    CBitMap s;
    ASSERT_TRUE(s.create(32, 3, 1));
    std::memset(s.backBuffer(), 0x77, s.imageSize());
    blitImage(&s, 0, 0, alpha.header(), nullptr, 1.0f, BLIT_SKIP_TRANSPARENT);
    EXPECT_EQ(pixelFromTop(s, 0, 0), 0x01102030u); // alpha 1 copies fully, no blending
    EXPECT_EQ(pixelFromTop(s, 1, 0), 0x77777777u);
    blitImage(&s, 0, 0, alpha.header(), nullptr, 1.0f, 0);
    EXPECT_EQ(pixelFromTop(s, 1, 0), 0x00405060u);

    Picture rgb = makePicture(2, 1, 24, {}, {0, 0, 0, 1, 0, 0, 0, 0}, 0);
    CBitMap t;
    ASSERT_TRUE(t.create(24, 2, 1));
    std::memset(t.backBuffer(), 0x77, t.imageSize());
    blitImage(&t, 0, 0, rgb.header(), nullptr, 1.0f, BLIT_SKIP_TRANSPARENT);
    EXPECT_EQ(pixelFromTop(t, 0, 0), 0x777777u);
    EXPECT_EQ(pixelFromTop(t, 1, 0), 0x000001u);
}

TEST(BlitImage, ScaleTruncatesEachChannel) {
    Picture white = makePicture(1, 1, 24, {}, {255, 255, 255, 0}, 0);
    CBitMap s;
    ASSERT_TRUE(s.create(32, 1, 1));
    blitImage(&s, 0, 0, white.header(), nullptr, 0.5f, 0);
    EXPECT_EQ(pixelFromTop(s, 0, 0), 0xFF7F7F7Fu);
    blitImage(&s, 0, 0, white.header(), nullptr, 0.0f, BLIT_SKIP_TRANSPARENT);
    EXPECT_EQ(pixelFromTop(s, 0, 0), 0xFF000000u);
    blitImage(&s, 0, 0, white.header(), nullptr, 3.0f, 0);
    EXPECT_EQ(pixelFromTop(s, 0, 0), 0xFFFFFFFFu);
}

// Every picture depth and row order, both surface depths, the scales 0, 0.5 and 1, with and
// without transparency and at clipped positions, against the pixel-by-pixel rule of readPixel.
TEST(BlitImage, EveryPathMatchesThePixelRule) {
    uint32_t seed = 7;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return uint8_t(seed >> 16);
    };
    std::vector<Picture> pictures;
    for (uint16_t bits : {1, 4, 8, 24, 32}) {
        for (int32_t height : {5, -5}) {
            std::vector<uint32_t> table;
            if (bits <= 8) table = {0x00000000, 0x00FF8001, 0x00000102, 0x80405060};
            std::vector<uint8_t> rows(5 * ((size_t(7) * bits + 31) / 32 * 4));
            for (uint8_t& b : rows)
                b = bits == 4 ? uint8_t(next() & 0x33) : bits == 8 ? uint8_t(next() & 3) : next();
            // Whole black or transparent runs, so skipping is exercised at every depth.
            std::memset(rows.data(), 0, rows.size() / 3);
            pictures.push_back(makePicture(7, height, bits, table, rows, uint32_t(table.size())));
        }
    }
    for (const Picture& pic : pictures) {
        for (int bits : {24, 32}) {
            for (float scale : {0.0f, 0.5f, 1.0f}) {
                for (uint32_t flags : {0u, BLIT_SKIP_TRANSPARENT}) {
                    for (auto at : {std::pair<int, int>{1, 1}, {-2, 3}, {4, -1}}) {
                        SCOPED_TRACE(testing::Message()
                                     << pic.header()->bitCount << " bits, height "
                                     << pic.header()->height << " onto " << bits << ", scale "
                                     << scale << ", flags " << flags << " at " << at.first);
                        CBitMap s;
                        ASSERT_TRUE(s.create(bits, 8, 6));
                        std::memset(s.backBuffer(), 0x5A, s.imageSize());
                        blitImage(&s, at.first, at.second, pic.header(), nullptr, scale, flags);
                        for (int y = 0; y < 6; ++y) {
                            for (int x = 0; x < 8; ++x) {
                                uint32_t expected = bits == 32 ? 0x5A5A5A5Au : 0x5A5A5Au;
                                int px = x - at.first, py = y - at.second;
                                bool inside = px >= 0 && px < 7 && py >= 0 && py < 5;
                                uint32_t v = readPixel(pic.header(), nullptr, nullptr, px, py);
                                bool clear = pic.header()->bitCount == 32 ? (v >> 24) == 0
                                                                          : (v & 0xFFFFFF) == 0;
                                if (inside && !(flags && clear)) {
                                    expected = 0;
                                    for (int shift : {0, 8, 16})
                                        expected |= uint32_t(float((v >> shift) & 0xFF) * scale)
                                                    << shift;
                                    if (bits == 32) expected |= v & 0xFF000000u;
                                }
                                ASSERT_EQ(pixelFromTop(s, x, y), expected) << x << "," << y;
                            }
                        }
                    }
                }
            }
        }
    }
}

TEST(BlitImage, EmptySurfaceOrNoPictureDoesNothing) {
    Picture white = makePicture(1, 1, 24, {}, {255, 255, 255, 0}, 0);
    CBitMap empty;
    blitImage(&empty, 0, 0, white.header(), nullptr, 1.0f, 0);
    blitImage(nullptr, 0, 0, white.header(), nullptr, 1.0f, 0);
    CBitMap s;
    ASSERT_TRUE(s.create(24, 1, 1));
    blitImage(&s, 0, 0, nullptr, nullptr, 1.0f, 0);
    EXPECT_EQ(pixelFromTop(s, 0, 0), 0u);
}

TEST(FillRect, HalfOpenAnyCornerOrderStorageRows) {
    CBitMap a;
    CBitMap b;
    ASSERT_TRUE(a.create(24, 10, 10));
    ASSERT_TRUE(b.create(24, 10, 10));
    fillRect(&a, 5, 5, 2, 2, 0x123456);
    fillRect(&b, 2, 2, 5, 5, 0x123456);
    EXPECT_EQ(std::memcmp(a.backBuffer(), b.backBuffer(), a.imageSize()), 0);
    auto set = setPixels(a);
    ASSERT_EQ(set.size(), 9u);
    EXPECT_EQ(set.front(), std::make_pair(2, 2));
    EXPECT_EQ(set.back(), std::make_pair(4, 4));
    EXPECT_EQ(pixelStored(a, 2, 2), 0x123456u);

    CBitMap c;
    ASSERT_TRUE(c.create(24, 10, 10));
    fillRect(&c, 0, 0, 1, 1, 0xFFFFFF);
    EXPECT_EQ(pixelFromTop(c, 0, 9), 0xFFFFFFu); // row 0 is the bottom row on screen
}

TEST(FillRect, ClipsAndKeepsAlphaByte) {
    CBitMap s;
    ASSERT_TRUE(s.create(32, 4, 3));
    std::memset(s.backBuffer(), 0xEE, s.imageSize());
    fillRect(&s, -5, -5, 100, 100, 0x00010203);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x)
            ASSERT_EQ(pixelStored(s, x, y), 0xEE010203u);
    }
    CBitMap t;
    ASSERT_TRUE(t.create(24, 4, 3));
    fillRect(&t, 4, 0, 9, 3, 0xFFFFFF);
    fillRect(&t, 1, 1, 1, 3, 0xFFFFFF);
    EXPECT_TRUE(setPixels(t).empty());
}

TEST(DrawLine, ErrorWalkSkipsTheEndPoint) {
    CBitMap s;
    ASSERT_TRUE(s.create(24, 8, 8));
    drawLine(&s, 0, 0, 4, 2, 0xFFFFFF);
    std::vector<std::pair<int, int>> expected = {{0, 0}, {1, 0}, {2, 0}, {3, 1}};
    EXPECT_EQ(setPixels(s), expected);

    CBitMap steep;
    ASSERT_TRUE(steep.create(24, 8, 8));
    drawLine(&steep, 2, 4, 1, 0, 0xFFFFFF); // major axis y, walking down and left
    std::vector<std::pair<int, int>> steepExpected = {{2, 1}, {2, 2}, {2, 3}, {2, 4}};
    EXPECT_EQ(setPixels(steep), steepExpected);

    CBitMap dot;
    ASSERT_TRUE(dot.create(24, 8, 8));
    drawLine(&dot, 3, 3, 3, 3, 0xFFFFFF);
    EXPECT_TRUE(setPixels(dot).empty());
}

TEST(DrawLine, ClipsBothEnds) {
    CBitMap s;
    ASSERT_TRUE(s.create(24, 8, 8));
    drawLine(&s, -10, 5, 10, 5, 0x0000FF);
    auto set = setPixels(s);
    ASSERT_EQ(set.size(), 7u);
    EXPECT_EQ(set.front(), std::make_pair(0, 5));
    EXPECT_EQ(set.back(), std::make_pair(6, 5));

    CBitMap diagonal;
    ASSERT_TRUE(diagonal.create(24, 8, 8));
    drawLine(&diagonal, -2, -2, 10, 10, 0xFFFFFF);
    // Clipped to (0,0)-(7,7); the error starts full, so the minor axis lags one step, and the
    // end (7,7) is not drawn.
    std::vector<std::pair<int, int>> diagonalExpected = {{0, 0}, {1, 0}, {2, 1}, {3, 2},
                                                         {4, 3}, {5, 4}, {6, 5}};
    EXPECT_EQ(setPixels(diagonal), diagonalExpected);

    CBitMap outside;
    ASSERT_TRUE(outside.create(24, 8, 8));
    drawLine(&outside, -5, -1, 20, -3, 0xFFFFFF); // both above: shared outcode
    drawLine(&outside, -4, 3, 3, -4, 0xFFFFFF);   // crosses the corner region only
    drawLine(&outside, -1, 9, 9, 20, 0xFFFFFF);
    EXPECT_TRUE(setPixels(outside).empty());
}

TEST(ClipLineEnd, TakesTheFirstEdgeThatLiesOnTheRectangle) {
    Rect clip = {0, 0, 7, 7};
    Point out = {};
    // Left and top both outside: x = left gives y -2 (off), so y = top is taken.
    ASSERT_TRUE(clipLineEnd(clip, CLIP_LEFT | CLIP_TOP, {-2, -6}, {6, 10}, &out));
    EXPECT_EQ(out.x, 1);
    EXPECT_EQ(out.y, 0);
    // Products come before the division, which truncates toward zero.
    ASSERT_TRUE(clipLineEnd(clip, CLIP_RIGHT, {10, 0}, {0, 7}, &out));
    EXPECT_EQ(out.x, 7);
    EXPECT_EQ(out.y, 2);
    EXPECT_FALSE(clipLineEnd(clip, CLIP_LEFT | CLIP_TOP, {-4, 3}, {3, -4}, &out));
}

} // namespace
