// The MP3 plug-in through the engine and the system's layer III codec: the encoder's delay and
// padding are cut to the tone's own length, and a seek lands where it was asked to. The file
// holds 0.5 s of a quiet tone, then 0.5 s of a loud one; where the loud part begins in what the
// device played shows where playback started.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "sound/acm_services_win32.h"
#include "sound/plugin_list.h"
#include "sound/plugin_loader_win32.h"
#include "sound_test_support.h"

namespace {

namespace fs = std::filesystem;

constexpr uint64_t RATE = 44100;
constexpr int64_t TOLERANCE = RATE / 20; // 50 ms

// Frames of the voice in `played` (float stereo) before its loud part begins, -1 when there is
// none. The voice starts with the first period that is not silent. The test device takes periods
// as fast as the engine gives them, far faster than a sound card, so the decoding can fall behind
// and the mixer fill in silence: runs of exact zeros are the voice waiting, not its sound, and do
// not count.
int64_t loudOnset(const std::vector<uint8_t>& played, uint32_t period) {
    constexpr size_t WAITING_RUN = 8; // a tone never holds this many exact zeros in a row
    size_t frames = played.size() / 8;
    auto left = [&](size_t i) {
        float v;
        std::memcpy(&v, &played[i * 8], 4);
        return std::fabs(v);
    };
    size_t start = 0;
    while (start < frames && left(start) < 0.01f)
        ++start;
    start -= start % period;
    int64_t sounding = 0;
    size_t zeros = 0;
    for (size_t i = start; i < frames; ++i) {
        if (left(i) > 0.5f) return sounding;
        zeros = left(i) == 0.0f ? zeros + 1 : 0;
        ++sounding;
        if (zeros == WAITING_RUN) sounding -= WAITING_RUN;
        if (zeros > WAITING_RUN) --sounding;
    }
    return -1;
}

struct Mp3PluginTest : ::testing::Test {
    TempFolder program;
    void SetUp() override {
        if (std::strlen(MP3_STEPS_FILE) == 0) GTEST_SKIP() << "no sox or lame to make the file";
        fs::create_directories(program.path / "plugin");
        fs::copy_file(MP3_PLUGIN, program.path / "plugin" / fs::path(MP3_PLUGIN).filename());
        loadPlugins(program.path.wstring().c_str());
        EngineSetAcmServices(acmServices());
    }
    void TearDown() override {
        EngineSetAcmServices(nullptr);
        unloadPlugins();
    }
};

TEST_F(Mp3PluginTest, PlaysItsExactLengthAndSeeksToTheAskedFrame) {
    EngineRun run(2, 32, RATE);
    ASSERT_TRUE(run.ok());
    ASSERT_EQ(1u, registerPlugins());
    VoiceHandle h = run.openReady(MP3_STEPS_FILE);
    ASSERT_EQ(VOICE_READY, VoiceGetState(h));
    uint64_t length = 0;
    VoiceGetPosition(h, nullptr, &length);
    EXPECT_EQ(RATE, length);

    ASSERT_TRUE(run.waitRing(h, 2048));
    ASSERT_EQ(SND_OK, VoicePlay(h));
    std::vector<uint8_t> played;
    ASSERT_TRUE(playUntilDone(
        run, [&] { return VoiceGetState(h) == VOICE_STOPPED; }, &played));
    int64_t onset = loudOnset(played, run.period());
    EXPECT_NEAR(static_cast<int64_t>(RATE / 2), onset, TOLERANCE);

    ASSERT_EQ(SND_OK, VoiceSeek(h, RATE / 4));
    ASSERT_TRUE(playUntilDone(run, [&] { return VoiceGetState(h) == VOICE_PAUSED; }));
    ASSERT_TRUE(run.waitRing(h, 2048));
    ASSERT_EQ(SND_OK, VoicePlay(h));
    played.clear();
    ASSERT_TRUE(playUntilDone(
        run, [&] { return VoiceGetState(h) == VOICE_STOPPED; }, &played));
    int64_t onsetAfterSeek = loudOnset(played, run.period());
    EXPECT_NEAR(static_cast<int64_t>(RATE / 4), onsetAfterSeek, TOLERANCE);
    std::printf("loud part after %lld frames from the start, %lld after a seek to %llu\n",
                static_cast<long long>(onset), static_cast<long long>(onsetAfterSeek),
                static_cast<unsigned long long>(RATE / 4));
    EXPECT_EQ(SND_OK, VoiceClose(h));
}

} // namespace
