// Engine configuration, the memory block and its layout, opening and closing on a device.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "sound_test_support.h"

namespace {

EngineConfig configOf(uint32_t channels, uint32_t bits, uint32_t rate) {
    EngineConfig c;
    EngineConfigInit(&c);
    EngineConfigSetChannels(&c, channels);
    EngineConfigSetBits(&c, bits);
    EngineConfigSetRate(&c, rate);
    return c;
}

TEST(EngineConfigTest, DefaultsAndSettersKeepFieldsOnRejection) {
    EngineConfig c;
    EngineConfigInit(&c);
    EXPECT_EQ(6u, c.channels);
    EXPECT_EQ(32u, c.bits);
    EXPECT_EQ(48000u, c.rate);
    EXPECT_EQ(8u, c.voices);
    EXPECT_EQ(1u, c.codecSlots);
    EXPECT_EQ(0u, c.outputPriority);
    EXPECT_EQ(1u, c.conversionPriority);
    EXPECT_EQ(6u, c.streamPriority);

    EXPECT_EQ(SND_OK, EngineConfigSetChannels(&c, 2));
    EXPECT_EQ(SND_E_RANGE, EngineConfigSetChannels(&c, 9));
    EXPECT_EQ(2u, c.channels);
    EXPECT_EQ(SND_OK, EngineConfigSetChannels(&c, 0));
    EXPECT_EQ(6u, c.channels);

    EXPECT_EQ(SND_OK, EngineConfigSetBits(&c, 16));
    EXPECT_EQ(SND_E_RANGE, EngineConfigSetBits(&c, 40));
    EXPECT_EQ(SND_E_RANGE, EngineConfigSetBits(&c, 8));
    EXPECT_EQ(16u, c.bits);
    EXPECT_EQ(SND_OK, EngineConfigSetBits(&c, 0));
    EXPECT_EQ(32u, c.bits);

    EXPECT_EQ(SND_OK, EngineConfigSetRate(&c, 44100));
    EXPECT_EQ(SND_E_RANGE, EngineConfigSetRate(&c, 22050));
    EXPECT_EQ(44100u, c.rate);
    EXPECT_EQ(SND_OK, EngineConfigSetRate(&c, 0));
    EXPECT_EQ(48000u, c.rate);

    EXPECT_EQ(SND_OK, EngineConfigSetCodecSlots(&c, 0));
    EXPECT_EQ(1u, c.codecSlots);
    EXPECT_EQ(SND_OK, EngineConfigSetCodecSlots(&c, 6));
    EXPECT_EQ(6u, c.codecSlots);
}

TEST(EngineLayoutTest, FloatStereo48kFormatAndBuffers) {
    EngineConfig c = configOf(2, 32, 48000);
    EngineLayout l;
    ASSERT_NE(0u, EngineRequiredSize(&c, &l));
    EXPECT_EQ(1500u, l.framesPerPeriod);
    EXPECT_EQ(DEVICE_BUFFERS * 12000u, l.deviceBufferBytes);
    EXPECT_EQ(1500u * 2 * 4, l.mixBufferBytes);
    EXPECT_EQ(8u * 3 * 1500 * 2 * 4, l.voiceBufferBytes);
    EXPECT_EQ(0xFFFE, l.deviceFormat.formatTag);
    EXPECT_EQ(2, l.deviceFormat.channels);
    EXPECT_EQ(8, l.deviceFormat.blockAlign);
    EXPECT_EQ(384000u, l.deviceFormat.avgBytesPerSec);
    EXPECT_EQ(22, l.deviceFormat.cbSize);
    EXPECT_EQ(32, l.deviceFormat.validBitsPerSample);
    EXPECT_EQ(0u, l.deviceFormat.channelMask);
    EXPECT_EQ(0, std::memcmp(l.deviceFormat.subFormat, DEVICE_SUBTYPE_IEEE_FLOAT, 16));
}

TEST(EngineLayoutTest, Pcm16At44100) {
    EngineConfig c = configOf(2, 16, 44100);
    EngineLayout l;
    ASSERT_NE(0u, EngineRequiredSize(&c, &l));
    EXPECT_EQ(1378u, l.framesPerPeriod);
    EXPECT_EQ(DEVICE_BUFFERS * 5512u, l.deviceBufferBytes);
    EXPECT_EQ(0, std::memcmp(l.deviceFormat.subFormat, DEVICE_SUBTYPE_PCM, 16));
}

TEST(EngineLayoutTest, PeriodsMasksAndUnsupportedRates) {
    struct Case {
        uint32_t rate;
        uint32_t period;
    } const periods[] = {{8000, 800}, {11025, 735}, {22050, 735}, {96000, 3000}, {192000, 6000}};
    for (const Case& k : periods) {
        EngineConfig c = configOf(2, 16, 48000);
        c.rate = k.rate;
        EngineLayout l;
        ASSERT_NE(0u, EngineRequiredSize(&c, &l)) << k.rate;
        EXPECT_EQ(k.period, l.framesPerPeriod) << k.rate;
    }
    EngineConfig c = configOf(2, 16, 48000);
    c.rate = 32000;
    EXPECT_EQ(0u, EngineRequiredSize(&c));

    const uint32_t masks[] = {0, 0, 0, 0x0B, 0x33, 0x37, 0x3F, 0x637, 0x63F};
    for (uint32_t ch = 1; ch <= 8; ++ch) {
        EngineConfig m = configOf(ch, 24, 48000);
        EngineLayout l;
        EngineRequiredSize(&m, &l);
        EXPECT_EQ(masks[ch], l.deviceFormat.channelMask) << ch;
        EXPECT_EQ(ch * 3, l.deviceFormat.blockAlign);
    }
}

TEST(EngineLayoutTest, RegionsAreRoundedTo128BytesInOrder) {
    EngineConfig c = configOf(2, 24, 44100);
    c.mixChannels = 9; // above 8 means "as the device"
    EngineLayout l;
    uint64_t size = EngineRequiredSize(&c, &l);
    EXPECT_EQ(2u, l.mixChannels);
    EXPECT_EQ(0u, size % 128);
    uint64_t round = 128;
    auto up = [round](uint64_t n) { return (n + round - 1) / round * round; };
    uint64_t fixed = up(sizeof(SoundEngine)) + up(c.codecSlots * sizeof(FormatCodec)) +
                     up(c.voices * sizeof(void*)) + up(c.voices * sizeof(SoundVoice));
    EXPECT_EQ(fixed + up(l.voiceBufferBytes) + up(l.mixBufferBytes) + up(l.deviceBufferBytes),
              size);
}

TEST(EngineOpenTest, RefusesBadBlocksAndSecondOpen) {
    TestOutputDevice device;
    EngineSetOutputDevice(device.device());
    EngineConfig c = configOf(2, 16, 48000);
    uint64_t size = EngineRequiredSize(&c);
    void* block = alignedBlock(size);
    EXPECT_EQ(SND_E_OPEN, EngineOpen(&c, nullptr, size));
    EXPECT_EQ(SND_E_OPEN, EngineOpen(&c, block, size - 1));
    EXPECT_EQ(nullptr, EngineClose());

    ASSERT_EQ(SND_OK, EngineOpen(&c, block, size));
    EXPECT_TRUE(device.started());
    void* other = alignedBlock(size);
    EXPECT_EQ(SND_E_OPEN, EngineOpen(&c, other, size));
    EXPECT_EQ(SND_OK, EngineSetMasterVolume(0.5f));
    EXPECT_EQ(block, EngineClose());
    EXPECT_FALSE(device.isOpen());
    EXPECT_EQ(nullptr, EngineClose());
    EXPECT_EQ(SND_E_STATE, EngineSetMasterVolume(1.0f));
    freeAlignedBlock(other);
    freeAlignedBlock(block);
    EngineSetOutputDevice(nullptr);
}

TEST(EngineOpenTest, WithoutADeviceItRunsSilentAndTakesTheDeviceWhenItAppears) {
    TestOutputDevice device;
    device.setGone(true);
    EngineSetOutputDevice(device.device());
    EngineConfig c = configOf(2, 16, 48000);
    uint64_t size = EngineRequiredSize(&c);
    void* block = alignedBlock(size);
    ASSERT_EQ(SND_OK, EngineOpen(&c, block, size));
    EXPECT_FALSE(device.isOpen());
    EXPECT_EQ(SND_OK, EngineSetMasterVolume(1.0f));
    device.setGone(false);
    EXPECT_TRUE(waitUntilFor([&] { return device.started(); }, 3000));
    EXPECT_EQ(DEVICE_BUFFERS, device.writes());
    EXPECT_EQ(block, EngineClose());
    EXPECT_FALSE(device.isOpen());
    // Without any device layer at all the engine does not open, and the program runs silent.
    EngineSetOutputDevice(nullptr);
    EXPECT_EQ(SND_E_OPEN, EngineOpen(&c, block, size));
    freeAlignedBlock(block);
}

// Headphones unplugged mid-alarm and plugged back: the engine closes the failed device, the voice
// goes on at the device's pace meanwhile, the device is opened again and the voice is heard on
// from where it has got to.
TEST(EngineRunTest, LostDeviceIsReopenedAndTheVoiceGoesOnWhereItIs) {
    TempFolder temp;
    WaveBuilder().fmt(1, 2, 48000, 4, 16).data(rampStereo16(96000)).save(temp.file("r.wav"));
    EngineRun run(2, 32, 48000);
    ASSERT_TRUE(run.ok());
    VoiceHandle h = run.openReady(temp.file("r.wav"));
    ASSERT_TRUE(run.waitRing(h, run.period()));
    ASSERT_EQ(SND_OK, VoicePlay(h));
    std::vector<uint8_t> before;
    ASSERT_TRUE(run.device().playPeriods(DEVICE_BUFFERS + 2, &before));
    ASSERT_FALSE(playedRampFrames(before).empty());

    run.device().setGone(true);
    run.device().playPeriod(nullptr);
    ASSERT_TRUE(waitUntil([&] { return !run.device().isOpen(); }));
    uint64_t lost = 0;
    VoiceGetPosition(h, &lost, nullptr);
    uint64_t now = 0;
    ASSERT_TRUE(waitUntil([&] {
        VoiceGetPosition(h, &now, nullptr);
        return now >= lost + 4 * run.period();
    }));

    run.device().setGone(false);
    ASSERT_TRUE(waitUntilFor([&] { return run.device().opens() == 2; }, 3000));
    std::vector<uint8_t> after;
    ASSERT_TRUE(run.device().playPeriods(DEVICE_BUFFERS + 2, &after));
    std::vector<int> frames = playedRampFrames(after);
    ASSERT_FALSE(frames.empty());
    EXPECT_GE(frames.front(), static_cast<int>(now));
    for (size_t k = 1; k < frames.size(); ++k)
        ASSERT_EQ(frames[k - 1] + 1, frames[k]);
    EXPECT_EQ(VOICE_PLAYING, VoiceGetState(h));
}

// A device that rests is left closed while nothing plays, opened when a voice is, and that
// voice is heard from its first frame once the fresh stream's settling silence has played.
TEST(EngineRunTest, ARestingDeviceOpensForAVoiceThatIsHeardWholeAfterTheSettling) {
    TempFolder temp;
    WaveBuilder().fmt(1, 2, 48000, 4, 16).data(rampStereo16(9000)).save(temp.file("r.wav"));
    EngineRun run(2, 32, 48000, 100, 250);
    ASSERT_TRUE(run.ok());
    EXPECT_FALSE(run.device().isOpen());
    for (int round = 1; round <= 2; ++round) {
        VoiceHandle h = run.openReady(temp.file("r.wav"));
        ASSERT_TRUE(waitUntil([&] { return run.device().opens() == round; }));
        ASSERT_TRUE(run.waitRing(h, run.period()));
        ASSERT_EQ(SND_OK, VoicePlay(h));
        std::vector<uint8_t> settling;
        ASSERT_TRUE(run.device().playPeriods(8, &settling)); // 250 ms at 48 kHz
        EXPECT_TRUE(playedRampFrames(settling).empty());
        std::vector<uint8_t> played;
        ASSERT_TRUE(playUntilDone(
            run, [&] { return VoiceGetState(h) == VOICE_STOPPED; }, &played));
        ASSERT_TRUE(run.device().playPeriods(DEVICE_BUFFERS, &played)); // mixed ahead
        std::vector<int> frames = playedRampFrames(played);
        ASSERT_EQ(9000u, frames.size());
        for (size_t k = 0; k < frames.size(); ++k)
            ASSERT_EQ(static_cast<int>(k), frames[k]);
        EXPECT_EQ(SND_OK, VoiceClose(h));
        ASSERT_TRUE(playUntilDone(run, [&] { return !run.device().isOpen(); }));
        EXPECT_FALSE(waitUntilFor([&] { return run.device().opens() > round; }, 300));
    }
}

// Voice calls racing EngineClose from other threads get SND_E_STATE once it has begun and never
// touch the freed block (the sanitizers watch this).
TEST(EngineRunTest, CloseWaitsForCallsFromOtherThreads) {
    TempFolder temp;
    WaveBuilder().fmt(1, 2, 48000, 4, 16).data(rampStereo16(4800)).save(temp.file("r.wav"));
    for (int round = 0; round < 5; ++round) {
        auto run = std::make_unique<EngineRun>(2, 16, 48000);
        ASSERT_TRUE(run->ok());
        VoiceHandle h = run->openReady(temp.file("r.wav"));
        std::atomic<bool> closed{false};
        std::vector<std::thread> callers;
        for (int k = 0; k < 2; ++k)
            callers.emplace_back([&] {
                while (!closed.load()) {
                    VoiceSetVolume(h, 0.5f);
                    VoiceGetState(h);
                }
                EXPECT_EQ(SND_E_STATE, VoiceGetState(h));
            });
        platformSleep(5);
        run.reset();
        closed.store(true);
        for (std::thread& t : callers)
            t.join();
    }
}

TEST(EngineRunTest, WritesSilenceWhileNothingPlays) {
    EngineRun run(2, 16, 48000);
    ASSERT_TRUE(run.ok());
    std::vector<uint8_t> played;
    ASSERT_TRUE(run.device().playPeriods(6, &played));
    ASSERT_EQ(6u * 1500 * 4, played.size());
    for (uint8_t b : played)
        ASSERT_EQ(0, b);
    EXPECT_EQ(DEVICE_BUFFERS + 6, run.device().writes());
}

TEST(EngineRunTest, CodecTableIsBounded) {
    EngineRun run;
    ASSERT_TRUE(run.ok());
    auto probe = [](CodecContext*, uint32_t) -> int32_t { return SND_E_FORMAT; };
    EXPECT_EQ(SND_E_RANGE, EngineRegisterCodec(nullptr, nullptr));
    for (int k = 1; k < 6; ++k)
        EXPECT_EQ(SND_OK, EngineRegisterCodec(probe, nullptr)) << k;
    EXPECT_EQ(SND_E_MEMORY, EngineRegisterCodec(probe, nullptr));
    EXPECT_EQ(4096u + 5, run.engine()->codecs[5].id);
}

} // namespace
