#include "gfx/png_decode.h"

#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "tests/unit/png_test_writer.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct FreeImage {
    void operator()(BitmapInfoHeader* image) const { freeDecodedImage(image); }
};
using Decoded = std::unique_ptr<BitmapInfoHeader, FreeImage>;

Decoded decode(const std::vector<uint8_t>& bytes) {
    return Decoded(decodePng(bytes.data(), bytes.size()));
}

// A 2 × 2 RGBA picture whose four pixels all differ, to catch row order and channel order.
PngTestImage rgbaQuad() {
    PngTestImage image;
    image.width = 2;
    image.height = 2;
    image.rows = {255, 0, 0,   255, 0,  255, 0,  128, // top: red, half-transparent green
                  0,   0, 255, 1,   10, 20,  30, 0};  // bottom: blue alpha 1, clear
    return image;
}

TEST(PngDecode, RgbaKeepsRowsChannelsAndStraightAlpha) {
    Decoded image = decode(encodeTestPng(rgbaQuad()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->size, 40u);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->height, 2); // positive: stored bottom-up
    EXPECT_EQ(image->planes, 1);
    EXPECT_EQ(image->bitCount, 32);
    EXPECT_EQ(image->compression, 0u);
    EXPECT_EQ(image->sizeImage, 16u);
    EXPECT_EQ(readPixel(image.get(), nullptr, nullptr, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(readPixel(image.get(), nullptr, nullptr, 1, 0), 0x8000FF00u);
    EXPECT_EQ(readPixel(image.get(), nullptr, nullptr, 0, 1), 0x010000FFu);
    EXPECT_EQ(readPixel(image.get(), nullptr, nullptr, 1, 1), 0x000A141Eu);
    // The first stored row is the bottom one, in blue, green, red, alpha byte order.
    const uint8_t* pixels = reinterpret_cast<const uint8_t*>(image.get() + 1);
    EXPECT_EQ(pixels[0], 255);
    EXPECT_EQ(pixels[3], 1);
}

TEST(PngDecode, Grey16BecomesOpaqueGreyBgra) {
    PngTestImage image;
    image.width = 3;
    image.height = 1;
    image.bitDepth = 16;
    image.colourType = PNG_COLOR_TYPE_GRAY;
    image.rows = {0x00, 0x00, 0x80, 0x7F, 0xFF, 0xFF};
    Decoded decoded = decode(encodeTestPng(image));
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(readPixel(decoded.get(), nullptr, nullptr, 0, 0), 0xFF000000u);
    EXPECT_EQ(readPixel(decoded.get(), nullptr, nullptr, 1, 0), 0xFF808080u);
    EXPECT_EQ(readPixel(decoded.get(), nullptr, nullptr, 2, 0), 0xFFFFFFFFu);
}

TEST(PngDecode, PaletteWithTransparencyPutsItIntoAlpha) {
    PngTestImage image;
    image.width = 4;
    image.height = 1;
    image.bitDepth = 2;
    image.colourType = PNG_COLOR_TYPE_PALETTE;
    image.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 8, 7}};
    image.transparency = {0, 77, 255}; // entry 3 has no tRNS entry: opaque
    image.rows = {0x1B};               // indices 0, 1, 2, 3
    Decoded decoded = decode(encodeTestPng(image));
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(readPixel(decoded.get(), nullptr, nullptr, 0, 0), 0x00FF0000u);
    EXPECT_EQ(readPixel(decoded.get(), nullptr, nullptr, 1, 0), 0x4D00FF00u);
    EXPECT_EQ(readPixel(decoded.get(), nullptr, nullptr, 2, 0), 0xFF0000FFu);
    EXPECT_EQ(readPixel(decoded.get(), nullptr, nullptr, 3, 0), 0xFF090807u);
}

TEST(PngDecode, OtherFormatsExpandToBgra) {
    PngTestImage rgb;
    rgb.width = 1;
    rgb.height = 1;
    rgb.colourType = PNG_COLOR_TYPE_RGB;
    rgb.rows = {1, 2, 3};
    Decoded decodedRgb = decode(encodeTestPng(rgb));
    ASSERT_NE(decodedRgb, nullptr);
    EXPECT_EQ(readPixel(decodedRgb.get(), nullptr, nullptr, 0, 0), 0xFF010203u);

    PngTestImage greyAlpha;
    greyAlpha.width = 1;
    greyAlpha.height = 1;
    greyAlpha.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
    greyAlpha.rows = {200, 60};
    Decoded decodedGa = decode(encodeTestPng(greyAlpha));
    ASSERT_NE(decodedGa, nullptr);
    EXPECT_EQ(readPixel(decodedGa.get(), nullptr, nullptr, 0, 0), 0x3CC8C8C8u);

    PngTestImage greyKeyed;
    greyKeyed.width = 8;
    greyKeyed.height = 1;
    greyKeyed.bitDepth = 1;
    greyKeyed.colourType = PNG_COLOR_TYPE_GRAY;
    greyKeyed.greyTransparent = true;
    greyKeyed.greyKey = 0;
    greyKeyed.rows = {0x80}; // first pixel white, the rest black and so transparent
    Decoded decodedKeyed = decode(encodeTestPng(greyKeyed));
    ASSERT_NE(decodedKeyed, nullptr);
    EXPECT_EQ(readPixel(decodedKeyed.get(), nullptr, nullptr, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(readPixel(decodedKeyed.get(), nullptr, nullptr, 1, 0), 0x00000000u);
}

TEST(PngDecode, InterlacedFileDecodesWhole) {
    PngTestImage image;
    image.width = 9;
    image.height = 9;
    image.colourType = PNG_COLOR_TYPE_GRAY;
    image.interlaced = true;
    for (uint32_t i = 0; i < 81; ++i)
        image.rows.push_back(uint8_t(i * 3));
    Decoded decoded = decode(encodeTestPng(image));
    ASSERT_NE(decoded, nullptr);
    for (int32_t y = 0; y < 9; ++y) {
        for (int32_t x = 0; x < 9; ++x) {
            uint32_t v = uint32_t(y * 9 + x) * 3;
            ASSERT_EQ(readPixel(decoded.get(), nullptr, nullptr, x, y),
                      0xFF000000u | v << 16 | v << 8 | v);
        }
    }
}

TEST(PngDecode, FileGammaIsCorrectedForTheScreen) {
    PngTestImage image;
    image.width = 1;
    image.height = 1;
    image.colourType = PNG_COLOR_TYPE_GRAY;
    image.gamma = 1.0; // linear data, shown on a 2.2 screen: mid grey gets brighter
    image.rows = {128};
    Decoded decoded = decode(encodeTestPng(image));
    ASSERT_NE(decoded, nullptr);
    uint32_t blue = readPixel(decoded.get(), nullptr, nullptr, 0, 0) & 0xFF;
    EXPECT_GT(blue, 180u);
}

TEST(PngDecode, RefusesDamagedInput) {
    std::vector<uint8_t> good = encodeTestPng(rgbaQuad());
    ASSERT_FALSE(good.empty());
    EXPECT_EQ(decodePng(nullptr, 100), nullptr);
    EXPECT_EQ(decodePng(good.data(), 8), nullptr); // signature alone

    std::vector<uint8_t> badSignature = good;
    badSignature[1] = 'Q';
    EXPECT_EQ(decode(badSignature), nullptr);

    // Cut in the middle of the image data, and just before the end chunk.
    for (size_t keep : {good.size() / 2, good.size() - 12}) {
        std::vector<uint8_t> truncated(good.begin(), good.begin() + long(keep));
        EXPECT_EQ(decode(truncated), nullptr) << "kept " << keep;
    }

    std::vector<uint8_t> badCrc = good;
    badCrc[8 + 8 + 13] ^= 0xFF; // the header chunk's CRC
    EXPECT_EQ(decode(badCrc), nullptr);
}

TEST(PngDecode, RefusesPicturesBeyondTheSizeLimit) {
    PngTestImage wide;
    wide.width = PNG_MAX_DIMENSION + 1;
    wide.height = 1;
    wide.colourType = PNG_COLOR_TYPE_GRAY;
    wide.rows.assign(wide.width, 0);
    EXPECT_EQ(decode(encodeTestPng(wide)), nullptr);

    PngTestImage atLimit = wide;
    atLimit.width = PNG_MAX_DIMENSION;
    atLimit.rows.assign(atLimit.width, 0);
    EXPECT_NE(decode(encodeTestPng(atLimit)), nullptr);
}

} // namespace
