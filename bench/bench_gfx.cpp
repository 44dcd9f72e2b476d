// Pictures and drawing: decoding the 26 character pictures (ours against libspng and
// stb_image on the same bytes), one watch-face frame, and collecting the shape runs of the
// largest composed sprite.
#include <benchmark/benchmark.h>

#include <spng.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>

#include <cstdlib>
#include <vector>

#include "gfx/alpha_runs.h"
#include "gfx/bitmap.h"
#include "gfx/image_table.h"
#include "gfx/png_decode.h"
#include "tests/unit/res_files.h"
#include "watch/character_table.h"
#include "watch/watch_face.h"

namespace {

// The program's pictures, read once from res/ and kept in the ImageTable for the whole run.
MemoryResources& pictures() {
    static MemoryResources* resources = [] {
        auto* r = new MemoryResources(resFileResources());
        fillImageTable(r->source());
        return r;
    }();
    return *resources;
}

void BM_DecodeCharacters_Vesk(benchmark::State& state) {
    auto& pngs = pictures().pngs;
    for (auto _ : state) {
        for (auto& png : pngs) {
            BitmapInfoHeader* image = decodePng(png.second.data(), png.second.size());
            benchmark::DoNotOptimize(image);
            freeDecodedImage(image);
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(pngs.size()));
}
BENCHMARK(BM_DecodeCharacters_Vesk)->Unit(benchmark::kMillisecond);

void BM_DecodeCharacters_Spng(benchmark::State& state) {
    auto& pngs = pictures().pngs;
    std::vector<uint8_t> out;
    for (auto _ : state) {
        for (auto& png : pngs) {
            spng_ctx* ctx = spng_ctx_new(0);
            spng_set_png_buffer(ctx, png.second.data(), png.second.size());
            size_t size = 0;
            spng_decoded_image_size(ctx, SPNG_FMT_RGBA8, &size);
            out.resize(size);
            int error = spng_decode_image(ctx, out.data(), size, SPNG_FMT_RGBA8, 0);
            benchmark::DoNotOptimize(error);
            benchmark::DoNotOptimize(out.data());
            spng_ctx_free(ctx);
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(pngs.size()));
}
BENCHMARK(BM_DecodeCharacters_Spng)->Unit(benchmark::kMillisecond);

void BM_DecodeCharacters_Stb(benchmark::State& state) {
    auto& pngs = pictures().pngs;
    for (auto _ : state) {
        for (auto& png : pngs) {
            int w = 0, h = 0, channels = 0;
            stbi_uc* pixels = stbi_load_from_memory(png.second.data(), int(png.second.size()), &w,
                                                    &h, &channels, 4);
            benchmark::DoNotOptimize(pixels);
            stbi_image_free(pixels);
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(pngs.size()));
}
BENCHMARK(BM_DecodeCharacters_Stb)->Unit(benchmark::kMillisecond);

// One paint of the watch: sprite copy, date, time and alarm symbol, for the character with
// the largest sprite of a pair (row 10) and for the bare panel (row 0).
void BM_RenderWatchFace(benchmark::State& state) {
    pictures();
    CBitMap sprite;
    CBitMap window;
    int32_t panelX = 0;
    int32_t panelY = 0;
    composeCharacterSprite(&sprite, int32_t(state.range(0)), &panelX, &panelY);
    window.create(24, sprite.width(), sprite.height());
    WatchFace face = {&window, &sprite, 0, 1, 1, 3};
    SystemTime t = {2026, 12, 1, 7, 21, 47, 59, 0};
    for (auto _ : state) {
        renderWatchFace(face, t, panelX + 6, panelY + 6);
        benchmark::ClobberMemory();
    }
    state.counters["pixels"] = double(sprite.width()) * sprite.height();
}
BENCHMARK(BM_RenderWatchFace)->Arg(10)->Arg(0)->Unit(benchmark::kMicrosecond);

// Row of the character table whose composed sprite has the most pixels.
int32_t largestSpriteRow() {
    pictures();
    int32_t best = 0;
    int64_t bestArea = 0;
    for (int32_t row = 0; row < CHARACTER_COUNT; ++row) {
        CBitMap sprite;
        int32_t px = 0, py = 0;
        composeCharacterSprite(&sprite, row, &px, &py);
        int64_t area = int64_t(sprite.width()) * sprite.height();
        if (area > bestArea) {
            bestArea = area;
            best = row;
        }
    }
    return best;
}

bool countRuns(void* context, const Rect*, uint32_t count) {
    *static_cast<uint64_t*>(context) += count;
    return true;
}

// Run collection for the watch window's band and for one of the six band windows.
void BM_RegionRunsLargestSprite(benchmark::State& state) {
    static const int32_t row = largestSpriteRow();
    CBitMap sprite;
    int32_t px = 0, py = 0;
    composeCharacterSprite(&sprite, row, &px, &py);
    std::vector<Rect> batch(ALPHA_RUN_BATCH);
    uint8_t low = uint8_t(state.range(0));
    uint8_t high = uint8_t(state.range(1));
    uint64_t runs = 0;
    for (auto _ : state) {
        runs = 0;
        collectAlphaRuns(&sprite.info.header, sprite.backBuffer(), low, high, batch.data(),
                         countRuns, &runs);
        benchmark::DoNotOptimize(runs);
    }
    state.counters["row"] = row;
    state.counters["runs"] = double(runs);
    state.counters["pixels"] = double(sprite.width()) * sprite.height();
}
BENCHMARK(BM_RegionRunsLargestSprite)
    ->Args({249, 255})
    ->Args({16, 54})
    ->Unit(benchmark::kMicrosecond);

} // namespace

// The pictures are read and the table filled before any benchmark runs, so that an
// instruction count of one benchmark function holds its own work only.
int main(int argc, char** argv) {
    pictures();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
