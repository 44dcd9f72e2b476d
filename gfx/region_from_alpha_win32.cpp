// Turning batches of alpha runs into one GDI region.
#include "gfx/region_from_alpha_win32.h"

#include "gfx/alpha_runs.h"
#include "gfx/bitmap.h"
#include "util/owned_handle_win32.h"

#include <cstdlib>
#include <utility>

static_assert(sizeof(Rect) == sizeof(RECT), "runs are written straight into RGNDATA");
static_assert(sizeof(RGNDATAHEADER) == 32, "region data header");

namespace {

// The region built so far and the scratch block whose rectangles the collector fills.
struct RegionBuild {
    RGNDATA* data;
    OwnedRegion result;
};

bool flushRuns(void* context, const Rect*, uint32_t count) {
    RegionBuild* build = static_cast<RegionBuild*>(context);
    build->data->rdh.nCount = count;
    DWORD bytes = sizeof(RGNDATAHEADER) + count * sizeof(RECT);
    OwnedRegion batch(ExtCreateRegion(nullptr, bytes, build->data));
    if (!batch) return false;
    if (!build->result) {
        build->result = std::move(batch);
        return true;
    }
    HRGN result = build->result.get();
    return CombineRgn(result, result, batch.get(), RGN_OR) != ERROR;
}

} // namespace

HRGN regionFromAlpha(const BitmapInfoHeader* picture, const void* pixels, int32_t* outWidth,
                     int32_t* outHeight, uint8_t low, uint8_t high) {
    if (!picture) return nullptr;
    size_t bytes = sizeof(RGNDATAHEADER) + ALPHA_RUN_BATCH * sizeof(RECT);
    HeapBlock<RGNDATA> block(static_cast<RGNDATA*>(std::malloc(bytes)));
    if (!block) return nullptr;
    RGNDATA* data = block.get();
    int32_t width = int32_t(std::abs(int64_t(picture->width)));
    int32_t height = int32_t(std::abs(int64_t(picture->height)));
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = 0;
    data->rdh.nRgnSize = 0;
    SetRect(&data->rdh.rcBound, 0, 0, width, height);

    RegionBuild build = {data, OwnedRegion()};
    Rect* batch = reinterpret_cast<Rect*>(data->Buffer);
    bool complete = collectAlphaRuns(picture, pixels, low, high, batch, flushRuns, &build);
    if (outWidth) *outWidth = width;
    if (outHeight) *outHeight = height;
    // A shape with rows missing would cut holes into the window; no shape is better.
    return complete ? build.result.release() : nullptr;
}
