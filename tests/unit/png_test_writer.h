// Test helper shared by the unit test programs: writes small PNG files in memory with libpng,
// in any colour type and bit depth, so decoder cases are built at test time.
#pragma once

#include <png.h>

#include <cstdint>
#include <vector>

struct PngTestImage {
    uint32_t width = 0;
    uint32_t height = 0;
    int bitDepth = 8;
    int colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    bool interlaced = false;
    double gamma = 0.0;                // written as a gAMA chunk when non-zero
    std::vector<uint8_t> rows;         // packed PNG rows, top row first
    std::vector<png_color> palette;    // PLTE entries for palette images
    std::vector<uint8_t> transparency; // tRNS alpha entries for palette images
    bool greyTransparent = false;      // tRNS for grey images: `greyKey` is transparent
    uint16_t greyKey = 0;
};

inline void pngTestAppend(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

inline void pngTestFlush(png_structp) {}

// Encodes `image`; an empty result means libpng refused it.
inline std::vector<uint8_t> encodeTestPng(const PngTestImage& image) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rowPointers;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, pngTestAppend, pngTestFlush);
    png_set_IHDR(png, info, image.width, image.height, image.bitDepth, image.colourType,
                 image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!image.palette.empty()) {
        png_set_PLTE(png, info, image.palette.data(), int(image.palette.size()));
    }
    if (!image.transparency.empty()) {
        png_set_tRNS(png, info, image.transparency.data(), int(image.transparency.size()), nullptr);
    }
    if (image.greyTransparent) {
        png_color_16 key = {};
        key.gray = image.greyKey;
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    if (image.gamma != 0.0) png_set_gAMA(png, info, image.gamma);
    png_write_info(png, info);
    size_t stride = png_get_rowbytes(png, info);
    for (uint32_t r = 0; r < image.height; ++r) {
        rowPointers.push_back(const_cast<png_bytep>(image.rows.data() + stride * r));
    }
    png_write_image(png, rowPointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}
