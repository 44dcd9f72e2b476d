// The rendered watch face with the real pictures of res/, compared pixel for pixel with stored
// images in tests/data/watch/. Run with VESK_WRITE_GOLDEN=1 to write the stored images anew
// (then look at every one of them before committing).
#include "watch/watch_face.h"

#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "gfx/png_decode.h"
#include "tests/unit/res_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

struct GoldenCase {
    const char* name;
    int32_t chara;
    uint32_t dateFormat;
    int32_t timeFormat;
    int hour, minute, second;
    int32_t alarmSymbol; // -1: no alarm due
};

// The moments from the face's documentation, on 7 December 2026, in every date and time
// format, and one composed character with its face.
const GoldenCase goldenCases[] = {
    {"date0_time0_090503", 0, 0, 0, 9, 5, 3, -1},
    {"date1_time0_090503", 0, 1, 0, 9, 5, 3, -1},
    {"date2_time0_090503", 0, 2, 0, 9, 5, 3, -1},
    {"date3_time0_090503", 0, 3, 0, 9, 5, 3, -1},
    {"date0_time0_000000", 0, 0, 0, 0, 0, 0, -1},
    {"date0_time1_003000", 0, 0, 1, 0, 30, 0, -1},
    {"date0_time1_123000", 0, 0, 1, 12, 30, 0, -1},
    {"date0_time1_130500", 0, 0, 1, 13, 5, 0, -1},
    {"date1_time2_003000", 0, 1, 2, 0, 30, 0, -1},
    {"date1_time2_123000", 0, 1, 2, 12, 30, 0, -1},
    {"date0_time0_symbol3", 0, 0, 0, 9, 5, 3, 3},
    {"chara10_date1_time1", 10, 1, 1, 21, 47, 59, 5},
};

std::string goldenPath(const char* name) {
    return std::string(VESK_SOURCE_DIR) + "/tests/data/watch/" + name + ".png";
}

// The 24-bit window surface as an RGB PNG, rows from the top.
std::vector<uint8_t> surfaceAsPng(const CBitMap& s) {
    PngTestImage image;
    image.width = uint32_t(s.width());
    image.height = uint32_t(s.height());
    image.colourType = PNG_COLOR_TYPE_RGB;
    for (int y = 0; y < s.height(); ++y) {
        for (int x = 0; x < s.width(); ++x) {
            uint32_t p = readPixel(&s.info.header, nullptr, s.backBuffer(), x, y);
            image.rows.insert(image.rows.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
        }
    }
    return encodeTestPng(image);
}

class GoldenFace : public ::testing::TestWithParam<GoldenCase> {
  protected:
    static void SetUpTestSuite() {
        resources = new MemoryResources(resFileResources());
        fillImageTable(resources->source());
    }
    static void TearDownTestSuite() {
        freeImageTable();
        delete resources;
    }
    static MemoryResources* resources;
};
MemoryResources* GoldenFace::resources = nullptr;

TEST_P(GoldenFace, MatchesTheStoredPicture) {
    const GoldenCase& c = GetParam();
    CBitMap sprite;
    CBitMap window;
    int32_t panelX = 0;
    int32_t panelY = 0;
    ASSERT_TRUE(composeCharacterSprite(&sprite, c.chara, &panelX, &panelY));
    ASSERT_TRUE(window.create(24, sprite.width(), sprite.height()));
    uint32_t flags = c.alarmSymbol >= 0 ? 1 : 0;
    WatchFace face = {&window, &sprite, c.dateFormat, c.timeFormat, flags, c.alarmSymbol};
    SystemTime t = {2026, 12, 1, 7, uint16_t(c.hour), uint16_t(c.minute), uint16_t(c.second), 0};
    renderWatchFace(face, t, panelX + 6, panelY + 6);

    std::string path = goldenPath(c.name);
    if (std::getenv("VESK_WRITE_GOLDEN")) {
        std::vector<uint8_t> png = surfaceAsPng(window);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> stored((std::istreambuf_iterator<char>(in)), {});
    BitmapInfoHeader* golden = decodePng(stored.data(), stored.size());
    ASSERT_NE(golden, nullptr) << path;
    EXPECT_EQ(golden->width, window.width());
    EXPECT_EQ(golden->height, window.height());
    int mismatches = 0;
    for (int y = 0; y < window.height() && mismatches < 5; ++y) {
        for (int x = 0; x < window.width() && mismatches < 5; ++x) {
            uint32_t want = readPixel(golden, nullptr, nullptr, x, y) & 0xFFFFFF;
            uint32_t got = readPixel(&window.info.header, nullptr, window.backBuffer(), x, y);
            if ((got & 0xFFFFFF) == want) continue;
            ++mismatches;
            ADD_FAILURE() << c.name << " differs at (" << x << ", " << y << "): " << std::hex
                          << (got & 0xFFFFFF) << " instead of " << want;
        }
    }
    freeDecodedImage(golden);
}

INSTANTIATE_TEST_SUITE_P(Moments, GoldenFace, ::testing::ValuesIn(goldenCases),
                         [](const ::testing::TestParamInfo<GoldenCase>& param) {
                             return std::string(param.param.name);
                         });

} // namespace
