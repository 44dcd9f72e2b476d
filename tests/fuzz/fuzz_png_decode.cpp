// Any bytes as an embedded picture: decodePng either refuses them or returns a complete,
// consistent 32-bit picture within the size limit, every pixel of which can be read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "gfx/bitmap.h"
#include "gfx/png_decode.h"

// libpng reports every refused input on stderr, which slows the run tenfold and fills the log;
// closing the target's stderr keeps libFuzzer's own output and the sanitizer reports.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static std::vector<char*> args(*argv, *argv + *argc);
    static char quiet[] = "-close_fd_mask=2";
    args.push_back(quiet);
    args.push_back(nullptr);
    *argc = int(args.size()) - 1;
    *argv = args.data();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BitmapInfoHeader* image = decodePng(data, size);
    if (!image) return 0;
    if (image->size != 40 || image->bitCount != 32 || image->planes != 1 || image->width <= 0 ||
        image->height <= 0 || uint32_t(image->width) > PNG_MAX_DIMENSION ||
        uint32_t(image->height) > PNG_MAX_DIMENSION ||
        image->sizeImage != uint32_t(image->width) * 4 * uint32_t(image->height)) {
        abort();
    }
    // Touch every byte so that a short block shows up under the address sanitizer.
    const uint8_t* pixels = reinterpret_cast<const uint8_t*>(image + 1);
    uint32_t sum = 0;
    for (uint32_t i = 0; i < image->sizeImage; ++i)
        sum += pixels[i];
    freeDecodedImage(image);
    return sum == 0xFFFFFFFFu;
}
