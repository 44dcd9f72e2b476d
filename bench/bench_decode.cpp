// Decode-stage throughput of the audio engine: file bytes of each sample encoding turned into
// float frames of a stereo voice ring, as a multiple of real time at 48 kHz, and a four-channel
// file folded into the stereo ring.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "sound/codec.h"
#include "sound/decode_stage.h"
#include "sound/engine_internal.h"

namespace {

constexpr uint32_t RATE = 48000;
constexpr uint64_t PERIOD = 1500; // frames per period at 48 kHz

// One voice as the conversion thread sees it: a StreamBuffer fed a period of file bytes per
// iteration and a stereo ring three periods long.
struct DecodeBench {
    PlatformLock lock;
    SoundVoice voice{};
    std::vector<float> planes;
    std::vector<uint8_t> period;

    DecodeBench(uint32_t tag, uint16_t channels, uint16_t sampleBytes) {
        lockInit(&lock);
        voice.format.formatTag = tag;
        voice.format.channels = channels;
        voice.format.blockAlign = static_cast<uint16_t>(channels * sampleBytes);
        voice.format.rate = RATE;
        voice.buffer = streamBufferCreate(u"bench", &lock);
        planes.assign(2 * 3 * PERIOD, 0.0f);
        ringInit(&voice.ring, &lock, 2, 2, RATE, RATE, 3 * PERIOD, planes.data());
        period.resize(PERIOD * voice.format.blockAlign);
        for (size_t i = 0; i < period.size(); ++i)
            period[i] = static_cast<uint8_t>(std::lround(100.0 * std::sin(0.05 * i)) + 128);
        if (tag == FORMAT_TAG_FLOAT) fillFloats(sampleBytes);
    }
    ~DecodeBench() {
        streamBufferDestroy(voice.buffer);
        lockDestroy(&lock);
    }
    void fillFloats(uint16_t sampleBytes) {
        for (size_t k = 0; k * sampleBytes < period.size(); ++k) {
            double v = 0.5 * std::sin(0.05 * static_cast<double>(k));
            float f = static_cast<float>(v);
            if (sampleBytes == 8)
                std::memcpy(&period[k * 8], &v, 8);
            else
                std::memcpy(&period[k * 4], &f, 4);
        }
    }
    // One period: the stream thread's append, the decode, and the mixer's consumption.
    uint64_t run() {
        streamBufferAppend(voice.buffer, period.data(), period.size());
        uint64_t frames = decodeVoice(&voice);
        ringCommitWrite(&voice.ring, frames);
        ringConsume(&voice.ring, frames);
        return frames;
    }
};

void runDecode(benchmark::State& state, uint32_t tag, uint16_t channels, uint16_t sampleBytes) {
    DecodeBench bench(tag, channels, sampleBytes);
    uint64_t frames = 0;
    for (auto _ : state) {
        frames += bench.run();
        benchmark::DoNotOptimize(bench.planes.data());
    }
    state.counters["x_real_time"] =
        benchmark::Counter(static_cast<double>(frames) / RATE, benchmark::Counter::kIsRate);
}

void BM_DecodePcm16(benchmark::State& state) {
    runDecode(state, FORMAT_TAG_PCM, 2, 2);
}
void BM_DecodePcm24(benchmark::State& state) {
    runDecode(state, FORMAT_TAG_PCM, 2, 3);
}
void BM_DecodePcm32(benchmark::State& state) {
    runDecode(state, FORMAT_TAG_PCM, 2, 4);
}
void BM_DecodeFloat32(benchmark::State& state) {
    runDecode(state, FORMAT_TAG_FLOAT, 2, 4);
}
void BM_DecodeFloat64(benchmark::State& state) {
    runDecode(state, FORMAT_TAG_FLOAT, 2, 8);
}
void BM_DecodeALaw(benchmark::State& state) {
    runDecode(state, FORMAT_TAG_ALAW, 2, 1);
}
void BM_DecodeMuLaw(benchmark::State& state) {
    runDecode(state, FORMAT_TAG_MULAW, 2, 1);
}
void BM_DecodeQuad16ToStereo(benchmark::State& state) {
    runDecode(state, FORMAT_TAG_PCM, 4, 2);
}

BENCHMARK(BM_DecodePcm16);
BENCHMARK(BM_DecodePcm24);
BENCHMARK(BM_DecodePcm32);
BENCHMARK(BM_DecodeFloat32);
BENCHMARK(BM_DecodeFloat64);
BENCHMARK(BM_DecodeALaw);
BENCHMARK(BM_DecodeMuLaw);
BENCHMARK(BM_DecodeQuad16ToStereo);

} // namespace

BENCHMARK_MAIN();
