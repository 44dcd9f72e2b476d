// Run collection for window shapes.
#include "gfx/alpha_runs.h"

#include "gfx/bitmap.h"
#include "gfx/draw.h"

#include <cstdlib>
#include <utility>

namespace {

// The batch being filled and where its rectangles go.
struct RunBatch {
    Rect* runs;
    uint32_t count;
    AlphaRunFlush flush;
    void* context;
};

bool addRun(RunBatch* batch, int32_t left, int32_t right, int32_t y) {
    batch->runs[batch->count++] = Rect{left, y, right, y + 1};
    if (batch->count < ALPHA_RUN_BATCH) return true;
    batch->count = 0;
    return batch->flush(batch->context, batch->runs, ALPHA_RUN_BATCH);
}

} // namespace

bool alphaBandAccepts(uint32_t bitCount, uint32_t pixel, uint8_t low, uint8_t high) {
    if (bitCount != 32) return (pixel & 0x00FFFFFFu) != 0;
    uint32_t alpha = pixel >> 24;
    return alpha != 0 && alpha >= low && alpha <= high;
}

bool collectAlphaRuns(const BitmapInfoHeader* picture, const void* pixels, uint8_t low,
                      uint8_t high, Rect* batch, AlphaRunFlush flush, void* context) {
    if (!picture) return false;
    if (low > high) std::swap(low, high);
    int32_t width = int32_t(std::abs(int64_t(picture->width)));
    int32_t height = int32_t(std::abs(int64_t(picture->height)));
    RunBatch runs = {batch, 0, flush, context};
    for (int32_t y = 0; y < height; ++y) {
        int32_t runStart = -1;
        for (int32_t x = 0; x < width; ++x) {
            uint32_t pixel = readPixel(picture, nullptr, pixels, x, y);
            bool accepted = alphaBandAccepts(picture->bitCount, pixel, low, high);
            if (accepted && runStart < 0) runStart = x;
            if (!accepted && runStart >= 0) {
                if (!addRun(&runs, runStart, x, y)) return false;
                runStart = -1;
            }
        }
        if (runStart >= 0 && !addRun(&runs, runStart, width, y)) return false;
    }
    if (runs.count != 0) return flush(context, batch, runs.count);
    return true;
}
