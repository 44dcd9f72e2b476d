#include "gfx/region_from_alpha_win32.h"

#include "gfx/bitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A 32-bit surface whose pixels all have alpha 0 except those set by the test.
struct AlphaSurface {
    CBitMap surface;
    AlphaSurface(int width, int height) { surface.create(32, width, height); }
    void setAlpha(int x, int yFromTop, uint8_t alpha) {
        uint8_t* p = surface.backBuffer() +
                     size_t(surface.height() - 1 - yFromTop) * surface.stride + size_t(x) * 4;
        p[3] = alpha;
    }
    HRGN region(uint8_t low, uint8_t high, int32_t* w = nullptr, int32_t* h = nullptr) {
        return regionFromAlpha(&surface.info.header, surface.backBuffer(), w, h, low, high);
    }
};

// Checks that `region` holds exactly the pixels for which `inside(x, y)` is true.
template <typename Inside> void expectRegionIs(HRGN region, int width, int height, Inside inside) {
    ASSERT_NE(region, nullptr);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            ASSERT_EQ(PtInRegion(region, x, y) != 0, inside(x, y)) << x << ", " << y;
        }
    }
    RECT box = {};
    GetRgnBox(region, &box);
    EXPECT_GE(box.left, 0);
    EXPECT_GE(box.top, 0);
    EXPECT_LE(box.right, width);
    EXPECT_LE(box.bottom, height);
}

TEST(RegionFromAlpha, OpaqueImageIsAcceptedWhole) {
    AlphaSurface s(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            s.setAlpha(x, y, 255);
    int32_t w = 0;
    int32_t h = 0;
    HRGN region = s.region(249, 255, &w, &h);
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    expectRegionIs(region, 3, 2, [](int, int) { return true; });
    DeleteObject(region);
}

TEST(RegionFromAlpha, RowsAreCountedFromTheTop) {
    AlphaSurface s(4, 3);
    s.setAlpha(1, 0, 200);
    s.setAlpha(3, 2, 60);
    HRGN region = s.region(16, 255);
    expectRegionIs(region, 4, 3,
                   [](int x, int y) { return (x == 1 && y == 0) || (x == 3 && y == 2); });
    DeleteObject(region);
    HRGN swapped = s.region(255, 100);
    expectRegionIs(swapped, 4, 3, [](int x, int y) { return x == 1 && y == 0; });
    DeleteObject(swapped);
}

TEST(RegionFromAlpha, BatchesCombineIntoOneRegion) {
    AlphaSurface s(1100, 2);
    for (int x = 0; x < 1100; x += 2)
        s.setAlpha(x, 0, 255);
    for (int x = 0; x < 1100; x += 3)
        s.setAlpha(x, 1, 250);
    HRGN region = s.region(249, 255);
    expectRegionIs(region, 1100, 2, [](int x, int y) { return y == 0 ? x % 2 == 0 : x % 3 == 0; });
    DeleteObject(region);
}

TEST(RegionFromAlpha, NothingAcceptedGivesNoRegion) {
    AlphaSurface s(5, 5);
    s.setAlpha(2, 2, 5);
    int32_t w = 0;
    EXPECT_EQ(s.region(16, 54, &w), nullptr);
    EXPECT_EQ(w, 5);
    EXPECT_EQ(regionFromAlpha(nullptr, nullptr, nullptr, nullptr, 0, 255), nullptr);
}

TEST(RegionFromAlpha, PackedTwentyFourBitPictureByColour) {
    // Header followed by its rows: one dark pixel, one black, bottom-up.
    std::vector<uint8_t> bytes(40 + 8 * 2, 0);
    BitmapInfoHeader h = {};
    h.size = 40;
    h.width = 2;
    h.height = 2;
    h.planes = 1;
    h.bitCount = 24;
    std::memcpy(bytes.data(), &h, 40);
    bytes[40 + 8 + 2] = 1; // top row, x 0: red 1
    HRGN region = regionFromAlpha(reinterpret_cast<const BitmapInfoHeader*>(bytes.data()), nullptr,
                                  nullptr, nullptr, 8, 255);
    expectRegionIs(region, 2, 2, [](int x, int y) { return x == 0 && y == 0; });
    DeleteObject(region);
}

} // namespace
