// Ogg Vorbis decoding speed: the plug-in's core (whole file read through the stream services,
// comment check, float frames clamped to full scale) against stb_vorbis alone decoding the same
// bytes in memory, the library the plug-in is built on.
#include <memory>

#define STB_VORBIS_HEADER_ONLY
#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PUSHDATA_API
#include <stb_vorbis.h>

#include "bench/bench_decoders_support.h"
#include "plugins/vorbis/vorbis_decoder.h"
#include "tests/fuzz/memory_source.h"

namespace {

const std::vector<uint8_t>& sound() {
    static const BenchSound file{makeBenchSound("ogg", "oggenc -Q -q 5 -o OUT IN")};
    static const std::vector<uint8_t> bytes = fileBytes(file.path);
    return bytes;
}

void BM_Vorbis_Plugin(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = sound();
    std::vector<float> buffer(4096 * 2);
    for (auto _ : state) {
        MemoryFile file{bytes.data(), bytes.size(), 0};
        std::unique_ptr<PcmDecoder> d(openVorbisDecoder(memorySource(&file)));
        if (!d) return state.SkipWithError("no Ogg Vorbis sound (oggenc missing?)");
        while (d->read(buffer.data(), 4096) > 0) {
        }
        benchmark::DoNotOptimize(buffer.data());
    }
    reportRealTime(state);
}
BENCHMARK(BM_Vorbis_Plugin)->Unit(benchmark::kMillisecond);

void BM_Vorbis_StbAlone(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = sound();
    std::vector<float> buffer(4096 * 2);
    for (auto _ : state) {
        int error = 0;
        stb_vorbis* v =
            stb_vorbis_open_memory(bytes.data(), static_cast<int>(bytes.size()), &error, nullptr);
        if (!v) return state.SkipWithError("no Ogg Vorbis sound (oggenc missing?)");
        while (stb_vorbis_get_samples_float_interleaved(v, 2, buffer.data(), 4096 * 2) > 0) {
        }
        stb_vorbis_close(v);
        benchmark::DoNotOptimize(buffer.data());
    }
    reportRealTime(state);
}
BENCHMARK(BM_Vorbis_StbAlone)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
