// How well the output thread keeps a real-time device fed: the engine plays a looping tone into
// a device that takes one period every 31.25 ms on its own clock, while another thread seeks the
// voice through a codec whose seek takes 30 ms (as a plug-in seek or an ACM reopen can) and
// attaches and removes a visualizer tap. Reports the worst time any thread waited for the state
// lock (a probe thread takes it every millisecond, as the output thread does several times a
// period), the worst time from the device handing a buffer back to the engine queueing it again,
// and the periods the device found nothing queued (underruns) per minute; with both cores kept
// busy by two spinning threads, and without.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "sound/codec.h"
#include "sound/engine_internal.h"
#include "sound/sound_engine.h"
#include "sound/wave_codec.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint32_t RATE = 48000;
constexpr auto PERIOD = std::chrono::microseconds(31250);
constexpr int SECONDS = 20;

// A device that plays one queued period every PERIOD on its own thread, like a sound card.
struct PacedDevice {
    OutputDevice ops{};
    std::mutex mutex;
    PlatformEvent* done = nullptr;
    bool queued[DEVICE_BUFFERS] = {};
    Clock::time_point handedBack[DEVICE_BUFFERS];
    int next = 0;
    bool open = false;
    double worstMs = 0.0;
    int underruns = 0;
    std::atomic<bool> running{false};
    std::thread clock;

    PacedDevice() {
        ops.self = this;
        ops.stallMs = 0;
        ops.open = [](void* self, const DeviceFormat*, PlatformEvent* event, uint8_t* const*,
                      uint32_t) {
            PacedDevice* d = static_cast<PacedDevice*>(self);
            std::lock_guard<std::mutex> hold(d->mutex);
            d->done = event;
            d->open = true;
            return true;
        };
        ops.isDone = [](void* self, int k) {
            PacedDevice* d = static_cast<PacedDevice*>(self);
            std::lock_guard<std::mutex> hold(d->mutex);
            return !d->queued[k];
        };
        ops.write = [](void* self, int k) {
            PacedDevice* d = static_cast<PacedDevice*>(self);
            std::lock_guard<std::mutex> hold(d->mutex);
            d->queued[k] = true;
            if (d->handedBack[k] != Clock::time_point()) {
                std::chrono::duration<double, std::milli> waited = Clock::now() - d->handedBack[k];
                if (waited.count() > d->worstMs) d->worstMs = waited.count();
            }
            return true;
        };
        ops.start = [](void* self) {
            PacedDevice* d = static_cast<PacedDevice*>(self);
            d->running = true;
            d->clock = std::thread([d] { d->play(); });
        };
        ops.close = [](void* self) {
            PacedDevice* d = static_cast<PacedDevice*>(self);
            d->running = false;
            if (d->clock.joinable()) d->clock.join();
        };
    }

    void play() {
        Clock::time_point due = Clock::now() + PERIOD;
        while (running) {
            std::this_thread::sleep_until(due);
            due += PERIOD;
            std::lock_guard<std::mutex> hold(mutex);
            if (!queued[next]) {
                ++underruns;
                continue;
            }
            queued[next] = false;
            handedBack[next] = Clock::now();
            next = (next + 1) % DEVICE_BUFFERS;
            eventSignal(done);
        }
    }
};

// The WAVE codec with a seek that takes 30 ms, as a plug-in seeking in a compressed file can.
CodecSeekHook g_waveSeek = nullptr;
int32_t slowSeek(CodecContext* c, uint64_t* frame, uint64_t* byte) {
    platformSleep(30);
    return g_waveSeek(c, frame, byte);
}
int32_t slowSeekProbe(CodecContext* c, uint32_t reserved) {
    int32_t result = waveCodecProbe(c, reserved);
    if (result == SND_OK && c->format && c->format->seekHook) {
        g_waveSeek = c->format->seekHook;
        codecSetSeekHook(c, slowSeek);
    }
    return result;
}

int32_t slowTap(void*, const TapBlock*) {
    platformSleep(5);
    return 1;
}

std::filesystem::path writeTone() {
    std::filesystem::path path = std::filesystem::temp_directory_path() / "vesk_bench_tone.wav";
    const uint32_t frames = 10 * RATE;
    std::vector<int16_t> samples(2 * frames);
    for (uint32_t i = 0; i < frames; ++i)
        samples[2 * i] = samples[2 * i + 1] =
            static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440.0 * i / RATE));
    auto u32 = [](std::ofstream& o, uint32_t v) { o.write(reinterpret_cast<char*>(&v), 4); };
    auto u16 = [](std::ofstream& o, uint16_t v) { o.write(reinterpret_cast<char*>(&v), 2); };
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    u32(out, 36 + 4 * frames);
    out.write("WAVEfmt ", 8);
    u32(out, 16);
    u16(out, 1);
    u16(out, 2);
    u32(out, RATE);
    u32(out, RATE * 4);
    u16(out, 4);
    u16(out, 16);
    out.write("data", 4);
    u32(out, 4 * frames);
    out.write(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(4 * frames));
    return path;
}

// Arguments: cores kept busy (0 or 2), seeks and tap changes going on (0 or 1).
void BM_OutputUnderSeeks(benchmark::State& state) {
    const int busyCores = static_cast<int>(state.range(0));
    const bool disturb = state.range(1) != 0;
    std::filesystem::path tone = writeTone();
    std::u16string path16;
    for (char c : tone.string())
        path16.push_back(static_cast<char16_t>(c));
    for (auto _ : state) {
        PacedDevice device;
        EngineConfig config;
        EngineConfigInit(&config);
        EngineConfigSetChannels(&config, 2);
        EngineConfigSetBits(&config, 16);
        EngineConfigSetCodecSlots(&config, 2);
        uint64_t size = EngineRequiredSize(&config);
        void* block = std::aligned_alloc(128, (size + 127) / 128 * 128);
        EngineSetOutputDevice(&device.ops);
        if (EngineOpen(&config, block, size) != SND_OK) {
            state.SkipWithError("engine did not open");
            break;
        }
        EngineRegisterCodec(slowSeekProbe, nullptr);
        VoiceHandle h = 0;
        VoiceOpenFile(&h, VOICE_OPEN_AUTOSTART, path16.c_str());
        while (VoiceGetState(h) == VOICE_OPENING)
            platformSleep(1);
        VoiceSetLoop(h, 1);
        VoicePlay(h);

        std::atomic<bool> stop{false};
        std::vector<std::thread> spinners;
        for (int k = 0; k < busyCores; ++k)
            spinners.emplace_back([&stop] {
                volatile uint64_t n = 0;
                while (!stop.load(std::memory_order_relaxed))
                    n = n + 1;
            });
        double lockWorstMs = 0.0;
        std::thread probe([&] {
            SoundEngine* engine = engineInstance();
            while (!stop) {
                Clock::time_point asked = Clock::now();
                lockEnter(&engine->stateLock);
                std::chrono::duration<double, std::milli> waited = Clock::now() - asked;
                lockLeave(&engine->stateLock);
                if (waited.count() > lockWorstMs) lockWorstMs = waited.count();
                platformSleep(1);
            }
        });
        std::thread disturber([&] {
            for (uint64_t k = 0; disturb && !stop; ++k) {
                VoiceSeek(h, (k * 7919) % (9 * RATE));
                VoiceSetTap(h, k % 2 ? slowTap : nullptr, nullptr);
                platformSleep(50);
            }
        });
        {
            std::lock_guard<std::mutex> hold(device.mutex);
            device.underruns = 0;
            device.worstMs = 0.0;
        }
        platformSleep(SECONDS * 1000);
        stop = true;
        disturber.join();
        probe.join();
        state.counters["state_lock_worst_ms"] = lockWorstMs;
        for (std::thread& t : spinners)
            t.join();
        {
            std::lock_guard<std::mutex> hold(device.mutex);
            state.counters["refill_worst_ms"] = device.worstMs;
            state.counters["underruns_per_min"] = device.underruns * 60.0 / SECONDS;
        }
        VoiceClose(h);
        std::free(EngineClose());
        EngineSetOutputDevice(nullptr);
    }
    std::filesystem::remove(tone);
}
BENCHMARK(BM_OutputUnderSeeks)
    ->ArgNames({"busy_cores", "seeks"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({2, 0})
    ->Args({2, 1})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
