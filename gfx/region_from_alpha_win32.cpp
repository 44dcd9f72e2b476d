// Turning batches of alpha runs into one GDI region.
#include "gfx/region_from_alpha_win32.h"

#include "gfx/alpha_runs.h"
#include "gfx/bitmap.h"

#include <cstdlib>

static_assert(sizeof(Rect) == sizeof(RECT), "runs are written straight into RGNDATA");
static_assert(sizeof(RGNDATAHEADER) == 32, "region data header");

namespace {

// The region built so far and the scratch block whose rectangles the collector fills.
struct RegionBuild {
    RGNDATA* data;
    HRGN result;
};

bool flushRuns(void* context, const Rect*, uint32_t count) {
    RegionBuild* build = static_cast<RegionBuild*>(context);
    build->data->rdh.nCount = count;
    DWORD bytes = sizeof(RGNDATAHEADER) + count * sizeof(RECT);
    HRGN batch = ExtCreateRegion(nullptr, bytes, build->data);
    if (!batch) return false;
    if (!build->result) {
        build->result = batch;
        return true;
    }
    bool combined = CombineRgn(build->result, build->result, batch, RGN_OR) != ERROR;
    DeleteObject(batch);
    return combined;
}

} // namespace

HRGN regionFromAlpha(const BitmapInfoHeader* picture, const void* pixels, int32_t* outWidth,
                     int32_t* outHeight, uint8_t low, uint8_t high) {
    if (!picture) return nullptr;
    size_t bytes = sizeof(RGNDATAHEADER) + ALPHA_RUN_BATCH * sizeof(RECT);
    RGNDATA* data = static_cast<RGNDATA*>(std::malloc(bytes));
    if (!data) return nullptr;
    int32_t width = int32_t(std::abs(int64_t(picture->width)));
    int32_t height = int32_t(std::abs(int64_t(picture->height)));
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = 0;
    data->rdh.nRgnSize = 0;
    SetRect(&data->rdh.rcBound, 0, 0, width, height);

    RegionBuild build = {data, nullptr};
    Rect* batch = reinterpret_cast<Rect*>(data->Buffer);
    bool complete = collectAlphaRuns(picture, pixels, low, high, batch, flushRuns, &build);
    std::free(data);
    if (!complete && build.result) {
        // A shape with rows missing would cut holes into the window; no shape is better.
        DeleteObject(build.result);
        build.result = nullptr;
    }
    if (outWidth) *outWidth = width;
    if (outHeight) *outHeight = height;
    return build.result;
}
