// FLAC decoding speed: the plug-in's core (libFLAC through the stream services, float frames)
// against the library's own command-line decoder, `flac -d`, writing the same file as WAVE to
// /dev/null (its time includes starting the process and the shell that runs it).
#include <memory>

#include <sys/resource.h>

#include "bench/bench_decoders_support.h"
#include "plugins/flac/flac_decoder.h"
#include "tests/fuzz/memory_source.h"

namespace {

const std::string& soundPath() {
    static const BenchSound file{makeBenchSound("flac", "flac -s -f -o OUT IN")};
    return file.path;
}

void BM_Flac_Plugin(benchmark::State& state) {
    const std::vector<uint8_t> bytes = fileBytes(soundPath());
    std::vector<float> buffer(4096 * 2);
    for (auto _ : state) {
        MemoryFile file{bytes.data(), bytes.size(), 0};
        std::unique_ptr<PcmDecoder> d(openFlacDecoder(memorySource(&file)));
        if (!d) return state.SkipWithError("no FLAC sound (flac missing?)");
        while (d->read(buffer.data(), 4096) > 0) {
        }
        benchmark::DoNotOptimize(buffer.data());
    }
    reportRealTime(state);
}
BENCHMARK(BM_Flac_Plugin)->Unit(benchmark::kMillisecond);

// CPU seconds the finished child processes have used so far.
double childSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// Timed by the CPU time of the decoder process (the shell that starts it included), like the
// plug-in's CPU time, so that other work on the machine counts for neither.
void BM_Flac_CommandLine(benchmark::State& state) {
    std::string command = "flac -d -s -f -o /dev/null " + soundPath();
    for (auto _ : state) {
        double before = childSeconds();
        if (soundPath().empty() || std::system(command.c_str()) != 0)
            return state.SkipWithError("flac -d failed");
        state.SetIterationTime(childSeconds() - before);
    }
    reportRealTime(state);
}
BENCHMARK(BM_Flac_CommandLine)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace

BENCHMARK_MAIN();
