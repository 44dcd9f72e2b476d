// PNG decoding through libpng, from memory, into a bottom-up 32-bit packed DIB.
#include "gfx/png_decode.h"

#include "gfx/bitmap.h"

#include <png.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t PNG_SIGNATURE_BYTES = 8;

// The bytes libpng reads from; `position` starts after the signature checked up front.
struct MemorySource {
    const uint8_t* bytes;
    size_t length;
    size_t position;
};

// What the reading step allocates; kept in the caller's frame so that it survives the jump
// back from a libpng error and can be freed there.
struct DecodeOutput {
    BitmapInfoHeader* image;
    png_bytep* rows;
};

// libpng read function over a MemorySource. Reading past the end is an error, so a truncated
// file never turns into a partly filled picture.
void memoryRead(png_structp png, png_bytep out, size_t count) {
    MemorySource* source = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (count > source->length - source->position) {
        png_error(png, "png_mem_read_func failed");
    }
    std::memcpy(out, source->bytes + source->position, count);
    source->position += count;
}

// Asks libpng for 8-bit blue, green, red, alpha rows whatever the stored format is.
void setTransformations(png_structp png, png_infop info, int bitDepth, int colourType) {
    if (colourType == PNG_COLOR_TYPE_PALETTE ||
        (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) ||
        png_get_valid(png, info, PNG_INFO_tRNS)) {
        png_set_expand(png);
    }
    if (bitDepth == 16) png_set_strip_16(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    png_set_bgr(png);
    if (colourType != PNG_COLOR_TYPE_RGB_ALPHA && colourType != PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    }
    double fileGamma = 0.0;
    if (png_get_gAMA(png, info, &fileGamma)) png_set_gamma(png, 2.2, fileGamma);
    // Interlaced files are read whole by png_read_image; asking for it here keeps libpng from
    // warning about it later.
    png_set_interlace_handling(png);
}

BitmapInfoHeader* allocateImage(uint32_t width, uint32_t height) {
    size_t pixelBytes = size_t(width) * 4 * height;
    void* block = std::calloc(1, sizeof(BitmapInfoHeader) + pixelBytes);
    if (!block) return nullptr;
    BitmapInfoHeader* header = static_cast<BitmapInfoHeader*>(block);
    header->size = sizeof(BitmapInfoHeader);
    header->width = int32_t(width);
    header->height = int32_t(height);
    header->planes = 1;
    header->bitCount = 32;
    header->compression = 0; // uncompressed RGB
    header->sizeImage = uint32_t(pixelBytes);
    return header;
}

// Reads the whole file into out->image. Returns false after any libpng error; whatever was
// allocated is left in `out` for the caller to free.
bool readImage(png_structp png, png_infop info, MemorySource* source, DecodeOutput* out) {
    if (setjmp(png_jmpbuf(png))) return false;

    png_set_read_fn(png, source, memoryRead);
    png_set_sig_bytes(png, int(PNG_SIGNATURE_BYTES));
    // Width and height come from the file. A damaged or hostile header could ask for a
    // picture of gigabytes; the character pictures are a few hundred pixels, so anything
    // beyond PNG_MAX_DIMENSION is refused before a byte is allocated for it.
    png_set_user_limits(png, PNG_MAX_DIMENSION, PNG_MAX_DIMENSION);
    png_read_info(png, info);

    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
    setTransformations(png, info, bitDepth, colourType);
    png_read_update_info(png, info);

    out->image = allocateImage(width, height);
    if (!out->image) return false;
    out->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (!out->rows) return false;
    uint8_t* pixels = reinterpret_cast<uint8_t*>(out->image + 1);
    size_t stride = size_t(width) * 4;
    for (png_uint_32 r = 0; r < height; ++r) {
        // The first PNG row is the top of the picture, the last row of a bottom-up DIB.
        out->rows[r] = pixels + stride * (height - 1 - r);
    }
    png_read_image(png, out->rows);
    png_read_end(png, nullptr);
    return true;
}

} // namespace

BitmapInfoHeader* decodePng(const uint8_t* bytes, size_t length) {
    if (!bytes || length <= PNG_SIGNATURE_BYTES) return nullptr;
    if (png_sig_cmp(bytes, 0, PNG_SIGNATURE_BYTES) != 0) return nullptr;

    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return nullptr;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }

    MemorySource source = {bytes, length, PNG_SIGNATURE_BYTES};
    DecodeOutput out = {nullptr, nullptr};
    bool ok = readImage(png, info, &source, &out);
    png_destroy_read_struct(&png, &info, nullptr);
    std::free(out.rows);
    if (!ok) {
        freeDecodedImage(out.image);
        return nullptr;
    }
    return out.image;
}

void freeDecodedImage(BitmapInfoHeader* image) {
    std::free(image);
}
