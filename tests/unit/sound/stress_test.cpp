// Random voice operations from several threads against a running engine whose device plays
// continuously. Run under TSan; VESK_SOUND_STRESS_OPS raises the operation count.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <random>
#include <thread>

#include "sound_test_support.h"

namespace {

constexpr uint64_t DEFAULT_OPERATIONS = 8000;
constexpr int WORKERS = 4;
constexpr int POOL = 12;

uint64_t operationTarget() {
    const char* text = std::getenv("VESK_SOUND_STRESS_OPS");
    uint64_t n = text ? std::strtoull(text, nullptr, 10) : 0;
    return n > 0 ? n : DEFAULT_OPERATIONS;
}

std::atomic<uint64_t> g_tapFrames{0};

int32_t countTap(void*, const TapBlock* block) {
    g_tapFrames += static_cast<uint64_t>(block->frames);
    return 0;
}

struct Stress {
    std::vector<Path16> files;
    std::atomic<VoiceHandle> pool[POOL];
    std::atomic<uint64_t> operations{0};
    std::atomic<uint64_t> opened{0};
    uint64_t target = 0;

    // One random operation on a random pool entry.
    void step(std::mt19937& rng) {
        std::atomic<VoiceHandle>& entry = pool[rng() % POOL];
        VoiceHandle h = entry.load();
        const Path16& file = files[rng() % files.size()];
        switch (rng() % 16) {
        case 0: {
            VoiceHandle fresh = 0;
            if (VoiceOpenFile(&fresh, rng() % 4, file.c_str()) == SND_OK) {
                ++opened;
                VoiceHandle old = entry.exchange(fresh);
                if (old) VoiceClose(old);
            }
            break;
        }
        case 1:
            if (entry.compare_exchange_strong(h, 0) && h) VoiceClose(h);
            break;
        case 2:
            VoiceSeek(h, rng() % 3000);
            break;
        case 3:
        case 4:
            VoicePlay(h);
            break;
        case 5:
            VoiceSetLoop(h, static_cast<int>(rng() % 2));
            break;
        case 6:
            VoiceSetVolume(h, static_cast<float>(rng() % 200) / 100.0f);
            break;
        case 7:
            VoiceSetTap(h, rng() % 2 ? countTap : nullptr, nullptr);
            break;
        case 8:
            if (rng() % 8 == 0) VoiceOpenFile(nullptr, 0, file.c_str());
            break;
        case 9:
            if (rng() % 8 == 0) EngineProbeFile(file.c_str());
            break;
        case 10:
            EngineSetMasterVolume(static_cast<float>(rng() % 100) / 100.0f);
            break;
        default: {
            uint64_t a = 0, b = 0;
            VoiceStreamFormat format;
            VoiceGetState(h);
            VoiceGetPosition(h, &a, &b);
            VoiceGetPositionMs(h, &a, &b);
            VoiceGetStreamFormat(h, &format);
            break;
        }
        }
    }

    void worker(unsigned seed) {
        std::mt19937 rng(seed);
        while (operations.fetch_add(1) < target)
            step(rng);
    }
};

TEST(EngineStressTest, RandomOperationsFromSeveralThreads) {
    TempFolder temp;
    WaveBuilder().fmt(1, 2, 48000, 4, 16).data(rampStereo16(2500)).save(temp.file("a.wav"));
    WaveBuilder()
        .fmt(1, 1, 22050, 2, 16)
        .data(rampStereo16(1200))
        .cue({100, 900})
        .save(temp.file("b.wav"));
    WaveBuilder()
        .fmt(3, 2, 96000, 8, 32)
        .data(std::vector<uint8_t>(8 * 3000, 0))
        .save(temp.file("c.wav"));
    WaveBuilder().fmt(1, 0, 48000, 0, 16).data(pcm16({1, 2})).save(temp.file("bad.wav"));
    Stress stress;
    for (const char* name : {"a.wav", "b.wav", "c.wav", "bad.wav", "missing.wav"})
        stress.files.push_back(toPath16(temp.file(name)));
    for (auto& entry : stress.pool)
        entry = 0;
    stress.target = operationTarget();

    EngineRun run(2, 16, 48000);
    ASSERT_TRUE(run.ok());
    std::atomic<bool> playing{true};
    std::atomic<uint64_t> periods{0};
    std::thread device([&] {
        while (playing.load() && run.device().playPeriod(nullptr)) {
            ++periods;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    std::vector<std::thread> workers;
    for (unsigned k = 0; k < WORKERS; ++k)
        workers.emplace_back([&stress, k] { stress.worker(k + 1); });
    for (std::thread& t : workers)
        t.join();

    for (auto& entry : stress.pool)
        if (VoiceHandle h = entry.exchange(0)) VoiceClose(h);
    // Voices without a handle end by themselves; every slot comes back.
    bool drained = waitUntilFor([&] { return run.allocatedVoices() == 0; }, 20000);
    playing = false;
    device.join();
    EXPECT_TRUE(drained);
    uint64_t ran =
        stress.operations.load() < stress.target ? stress.operations.load() : stress.target;
    EXPECT_EQ(stress.target, ran);
    EXPECT_GT(stress.opened.load(), 0u);
    EXPECT_GT(periods.load(), 0u);
    std::printf("stress: %llu operations, %llu voices opened, %llu periods, %llu tap frames\n",
                static_cast<unsigned long long>(ran),
                static_cast<unsigned long long>(stress.opened.load()),
                static_cast<unsigned long long>(periods.load()),
                static_cast<unsigned long long>(g_tapFrames.load()));
}

} // namespace
