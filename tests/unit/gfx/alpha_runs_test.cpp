#include "gfx/alpha_runs.h"

#include "gfx/bitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

// Found by argument lookup, so it lives beside Rect in the global namespace.
static bool operator==(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

namespace {

// A packed 32-bit or 24-bit DIB, bottom-up, built from rows given top first.
struct Picture {
    std::vector<uint8_t> bytes;
    const BitmapInfoHeader* header() const {
        return reinterpret_cast<const BitmapInfoHeader*>(bytes.data());
    }
};

Picture alphaPicture(int32_t width, const std::vector<std::vector<uint8_t>>& alphaRows) {
    int32_t height = int32_t(alphaRows.size());
    BitmapInfoHeader h = {};
    h.size = 40;
    h.width = width;
    h.height = height;
    h.planes = 1;
    h.bitCount = 32;
    Picture p;
    p.bytes.assign(40 + size_t(width) * height * 4, 0);
    std::memcpy(p.bytes.data(), &h, 40);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = p.bytes.data() + 40 + size_t(height - 1 - y) * width * 4;
        for (int32_t x = 0; x < width; ++x) {
            row[x * 4 + 1] = 0x80;
            row[x * 4 + 3] = alphaRows[size_t(y)][size_t(x)];
        }
    }
    return p;
}

// Every flush, with the rectangles it carried.
struct Collected {
    std::vector<std::vector<Rect>> batches;
    size_t stopAfter = SIZE_MAX;
};

bool record(void* context, const Rect* runs, uint32_t count) {
    Collected* c = static_cast<Collected*>(context);
    c->batches.emplace_back(runs, runs + count);
    return c->batches.size() < c->stopAfter;
}

std::vector<Rect> runsOf(const Picture& p, uint8_t low, uint8_t high, Collected* c = nullptr) {
    Collected local;
    if (!c) c = &local;
    std::vector<Rect> batch(ALPHA_RUN_BATCH);
    collectAlphaRuns(p.header(), nullptr, low, high, batch.data(), record, c);
    std::vector<Rect> all;
    for (auto& b : c->batches)
        all.insert(all.end(), b.begin(), b.end());
    return all;
}

TEST(AlphaRuns, OneRectanglePerRunAndRowFromTheTop) {
    Picture opaque = alphaPicture(3, {{255, 255, 255}, {255, 255, 255}});
    std::vector<Rect> expected = {{0, 0, 3, 1}, {0, 1, 3, 2}};
    EXPECT_EQ(runsOf(opaque, 249, 255), expected);

    Picture shape = alphaPicture(5, {{0, 255, 255, 0, 255}, {255, 0, 0, 0, 0}, {0, 0, 0, 0, 0}});
    std::vector<Rect> shapeRuns = {{1, 0, 3, 1}, {4, 0, 5, 1}, {0, 1, 1, 2}};
    EXPECT_EQ(runsOf(shape, 1, 255), shapeRuns);
    EXPECT_TRUE(runsOf(shape, 0, 0).empty()); // alpha 0 is never accepted
}

TEST(AlphaRuns, BandBoundariesAreInclusive) {
    struct Band {
        uint8_t low, high;
    };
    const Band bands[] = {{16, 54}, {54, 93}, {93, 132}, {132, 170}, {170, 209}, {209, 248}};
    const Band watch = {249, 255};
    auto accepted = [](Band b, uint8_t alpha) {
        return !runsOf(alphaPicture(1, {{alpha}}), b.low, b.high).empty();
    };
    EXPECT_TRUE(accepted(bands[0], 54));
    EXPECT_TRUE(accepted(bands[1], 54));
    EXPECT_FALSE(accepted(bands[2], 54));
    for (Band b : bands)
        EXPECT_FALSE(accepted(b, 5));
    EXPECT_FALSE(accepted(watch, 5));
    EXPECT_TRUE(accepted(bands[5], 248));
    EXPECT_FALSE(accepted(watch, 248));
    EXPECT_TRUE(accepted(watch, 249));
    EXPECT_FALSE(accepted(bands[5], 249));
}

TEST(AlphaRuns, SwappedBandGivesTheSameRuns) {
    Picture p = alphaPicture(4, {{248, 249, 255, 250}, {100, 251, 0, 252}});
    EXPECT_EQ(runsOf(p, 255, 249), runsOf(p, 249, 255));
    EXPECT_EQ(runsOf(p, 255, 249).size(), 3u);
}

TEST(AlphaRuns, FlushesEvery512AndOnceAtTheEnd) {
    std::vector<uint8_t> alternating(1100);
    for (size_t x = 0; x < alternating.size(); x += 2)
        alternating[x] = 255;
    Picture p = alphaPicture(1100, {alternating});
    Collected c;
    std::vector<Rect> all = runsOf(p, 249, 255, &c);
    ASSERT_EQ(c.batches.size(), 2u);
    EXPECT_EQ(c.batches[0].size(), 512u);
    EXPECT_EQ(c.batches[1].size(), 38u);
    ASSERT_EQ(all.size(), 550u);
    for (size_t i = 0; i < all.size(); ++i) {
        ASSERT_EQ(all[i], (Rect{int32_t(i * 2), 0, int32_t(i * 2 + 1), 1}));
    }

    // Exactly 512 runs: one flush when the batch fills, none left for the end.
    std::vector<uint8_t> exact(1024);
    for (size_t x = 0; x < exact.size(); x += 2)
        exact[x] = 255;
    Collected once;
    runsOf(alphaPicture(1024, {exact}), 1, 255, &once);
    ASSERT_EQ(once.batches.size(), 1u);
    EXPECT_EQ(once.batches[0].size(), 512u);
}

TEST(AlphaRuns, StopsWhenAFlushFails) {
    std::vector<uint8_t> alternating(2100);
    for (size_t x = 0; x < alternating.size(); x += 2)
        alternating[x] = 255;
    Picture p = alphaPicture(2100, {alternating});
    Collected c;
    c.stopAfter = 1;
    std::vector<Rect> batch(ALPHA_RUN_BATCH);
    EXPECT_FALSE(collectAlphaRuns(p.header(), nullptr, 1, 255, batch.data(), record, &c));
    EXPECT_EQ(c.batches.size(), 1u);
    EXPECT_FALSE(collectAlphaRuns(nullptr, nullptr, 1, 255, batch.data(), record, &c));
}

TEST(AlphaRuns, OtherDepthsAcceptAnyColourButBlack) {
    BitmapInfoHeader h = {};
    h.size = 40;
    h.width = 3;
    h.height = 1;
    h.planes = 1;
    h.bitCount = 24;
    std::vector<uint8_t> bytes(40 + 12, 0);
    std::memcpy(bytes.data(), &h, 40);
    bytes[40 + 2] = 1; // (0): red 1, a dark grey-ish pixel; (1) black; (2) blue 200
    bytes[40 + 6] = 200;
    Picture p{bytes};
    std::vector<Rect> expected = {{0, 0, 1, 1}, {2, 0, 3, 1}};
    EXPECT_EQ(runsOf(p, 249, 255), expected);
    EXPECT_EQ(runsOf(p, 0, 0), expected);
}

} // namespace
