// MP3 decoding speed in multiples of real time. The Mp3 plug-in only finds the frames (tags, the
// information frame, every frame's offset for seeking) and the system's codec decodes them, so
// natively it is its parse against a whole decode by the mpg123 library. The files are made at
// the first run with sox and lame: 60 s of a chord that glides, as CBR 128 kbit/s and as VBR -V 2.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mpg123.h>
#include <string>
#include <vector>

#include "plugins/mp3/mp3_stream.h"

namespace {

constexpr double SECONDS = 60.0;

std::vector<uint8_t> testFile(const char* kind, const char* lameOptions) {
    std::string path = std::string("/tmp/vesk-bench-") + kind + ".mp3";
    std::ifstream probe(path, std::ios::binary);
    if (!probe) {
        std::string command = "sox -n -r 44100 -c 2 -b 16 -t wav - synth 60 sine 220-660 sine "
                              "330-990 sine 550 remix 1-3 1-3 gain -n -3 | lame --quiet " +
                              std::string(lameOptions) + " - " + path;
        if (std::system(command.c_str()) != 0) return {};
        probe.open(path, std::ios::binary);
    }
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(probe),
                                std::istreambuf_iterator<char>());
}

const std::vector<uint8_t>& cbrFile() {
    static const std::vector<uint8_t> bytes = testFile("cbr", "-b 128");
    return bytes;
}
const std::vector<uint8_t>& vbrFile() {
    static const std::vector<uint8_t> bytes = testFile("vbr", "-V 2");
    return bytes;
}

size_t readAt(void* context, uint64_t offset, void* buffer, size_t size) {
    const std::vector<uint8_t>* file = static_cast<const std::vector<uint8_t>*>(context);
    if (offset >= file->size()) return 0;
    size_t n = file->size() - offset < size ? file->size() - offset : size;
    std::memcpy(buffer, file->data() + offset, n);
    return n;
}

void reportRealTime(benchmark::State& state) {
    state.counters["x_realtime"] =
        benchmark::Counter(SECONDS, benchmark::Counter::kIsIterationInvariantRate);
}

// What the plug-in's check does with the file: tags, first frame, information frame and the
// walk over every frame that builds the seek index.
void parse(benchmark::State& state, const std::vector<uint8_t>& file) {
    std::vector<uint8_t> copy = file;
    Mp3Source source = {&copy, readAt, copy.size()};
    for (auto _ : state) {
        Mp3Stream stream;
        if (mp3OpenStream(&source, true, &stream) != MP3_OK) state.SkipWithError("not an MP3");
        benchmark::DoNotOptimize(stream.totalFrames);
        mp3StreamFree(&stream);
    }
    reportRealTime(state);
}

// A whole decode to 16-bit PCM by libmpg123, fed from memory.
void decodeMpg123(benchmark::State& state, const std::vector<uint8_t>& file) {
    mpg123_init();
    std::vector<unsigned char> pcm(1 << 16);
    for (auto _ : state) {
        mpg123_handle* h = mpg123_new(nullptr, nullptr);
        mpg123_open_feed(h);
        mpg123_feed(h, file.data(), file.size());
        size_t done = 0;
        size_t total = 0;
        int result;
        do {
            result = mpg123_read(h, pcm.data(), pcm.size(), &done);
            total += done;
        } while (result == MPG123_OK || result == MPG123_NEW_FORMAT);
        benchmark::DoNotOptimize(total);
        mpg123_delete(h);
    }
    reportRealTime(state);
}

void BM_Mp3Parse_Cbr(benchmark::State& state) {
    parse(state, cbrFile());
}
void BM_Mp3Parse_Vbr(benchmark::State& state) {
    parse(state, vbrFile());
}
void BM_Mpg123Decode_Cbr(benchmark::State& state) {
    decodeMpg123(state, cbrFile());
}
void BM_Mpg123Decode_Vbr(benchmark::State& state) {
    decodeMpg123(state, vbrFile());
}

BENCHMARK(BM_Mp3Parse_Cbr)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Mp3Parse_Vbr)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Mpg123Decode_Cbr)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mpg123Decode_Vbr)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
