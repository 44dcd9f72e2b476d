// Mixing and output-stage throughput of the audio engine: voice-frames per second mixed into
// the mix ring (same rate, with the rate rule, 5.1 into stereo) and the output stage for each
// device width as a multiple of real time.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "platform/platform.h"
#include "sound/mix_stage.h"
#include "sound/sample_ring.h"

namespace {

constexpr uint32_t DEVICE_RATE = 48000;
constexpr uint32_t PERIOD = 1500; // frames per period at 48 kHz

// Rings as the engine lays them out: three periods per voice, one period of mix.
struct MixBench {
    PlatformLock lock;
    std::vector<float> mixData;
    SampleRing mix;
    std::vector<std::vector<float>> voiceData;
    std::vector<SampleRing> voices;

    MixBench(int voiceCount, unsigned voiceChannels, uint32_t voiceRate, unsigned mixChannels) {
        lockInit(&lock);
        mixData.assign(static_cast<size_t>(PERIOD) * mixChannels, 0.0f);
        ringInit(&mix, &lock, static_cast<uint8_t>(mixChannels), static_cast<uint8_t>(mixChannels),
                 DEVICE_RATE, DEVICE_RATE, PERIOD, mixData.data());
        voiceData.resize(static_cast<size_t>(voiceCount));
        voices.resize(static_cast<size_t>(voiceCount));
        for (int v = 0; v < voiceCount; ++v) {
            std::vector<float>& data = voiceData[static_cast<size_t>(v)];
            data.resize(static_cast<size_t>(3) * PERIOD * voiceChannels);
            for (size_t i = 0; i < data.size(); ++i)
                data[i] = 0.25f * std::sin(0.01f * static_cast<float>(i + 7 * v));
            SampleRing* ring = &voices[static_cast<size_t>(v)];
            ringInit(ring, &lock, static_cast<uint8_t>(voiceChannels),
                     static_cast<uint8_t>(voiceChannels), voiceRate, DEVICE_RATE, 3ull * PERIOD,
                     data.data());
            ring->volume = 0.8f;
        }
    }
    ~MixBench() { lockDestroy(&lock); }

    // One period: clear, mix every voice, hand the mix on. Returns voice frames consumed.
    uint64_t period() {
        uint64_t frames = mixBeginPeriod(&mix);
        uint64_t consumed = 0;
        for (SampleRing& voice : voices) {
            voice.fill = voice.planeCapacity; // keep the voice ring full
            consumed += mixVoiceRing(&mix, frames, &voice, ~0ull, nullptr);
        }
        ringCommitWrite(&mix, frames);
        ringConsume(&mix, frames);
        return consumed;
    }
};

void runMix(benchmark::State& state, unsigned voiceChannels, uint32_t voiceRate) {
    MixBench bench(static_cast<int>(state.range(0)), voiceChannels, voiceRate, 2);
    uint64_t frames = 0;
    for (auto _ : state) {
        frames += bench.period();
        benchmark::DoNotOptimize(bench.mixData.data());
    }
    state.counters["voice_frames_per_s"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}

void BM_MixStereoSameRate(benchmark::State& state) {
    runMix(state, 2, DEVICE_RATE);
}
void BM_MixStereoRateRule(benchmark::State& state) {
    runMix(state, 2, 44100);
}
void BM_Mix51ToStereo(benchmark::State& state) {
    runMix(state, 6, DEVICE_RATE);
}

BENCHMARK(BM_MixStereoSameRate)->Arg(1)->Arg(2)->Arg(4)->Arg(8);
BENCHMARK(BM_MixStereoRateRule)->Arg(1)->Arg(2)->Arg(4)->Arg(8);
BENCHMARK(BM_Mix51ToStereo)->Arg(1)->Arg(2)->Arg(4)->Arg(8);

// The output stage of one period for a stereo device of the given width.
void BM_OutputStage(benchmark::State& state) {
    unsigned bits = static_cast<unsigned>(state.range(0));
    MixBench bench(0, 2, DEVICE_RATE, 2);
    for (size_t i = 0; i < bench.mixData.size(); ++i)
        bench.mixData[i] = 1.2f * std::sin(0.003f * static_cast<float>(i));
    std::vector<uint8_t> device(static_cast<size_t>(PERIOD) * 2 * (bits / 8));
    uint64_t frames = 0;
    for (auto _ : state) {
        ringCommitWrite(&bench.mix, PERIOD);
        outputStage(&bench.mix, device.data(), static_cast<uint32_t>(device.size()), 2, bits);
        frames += PERIOD;
        benchmark::DoNotOptimize(device.data());
    }
    state.counters["x_real_time"] =
        benchmark::Counter(static_cast<double>(frames) / DEVICE_RATE, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_OutputStage)->Arg(16)->Arg(24)->Arg(32);

} // namespace

BENCHMARK_MAIN();
