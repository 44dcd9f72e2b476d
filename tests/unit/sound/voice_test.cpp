// Voices on a running engine: life cycle, handles and slots, seeking, loops, positions and taps.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <fstream>
#include <mutex>
#include <thread>

#include "sound/codec.h"
#include "sound_test_support.h"

namespace {

// Left-channel frame numbers (ramp value - 1) of float stereo device bytes, skipping silence.
std::vector<int> rampFrames(const std::vector<uint8_t>& played) {
    std::vector<int> frames;
    for (size_t at = 0; at + 8 <= played.size(); at += 8) {
        float left;
        std::memcpy(&left, &played[at], 4);
        if (left != 0.0f) frames.push_back(static_cast<int>(std::lround(left * 32768.0f)) - 1);
    }
    return frames;
}

// Plays periods until `done` holds (at most `limit` periods), then the periods already mixed
// and queued behind it.
bool playUntil(EngineRun& run, const std::function<bool()>& done, int limit,
               std::vector<uint8_t>* played = nullptr) {
    for (int k = 0; k < limit; ++k) {
        if (done()) return run.device().playPeriods(DEVICE_BUFFERS, played);
        if (!run.device().playPeriod(played)) return false;
    }
    return false;
}

// Plays `count` periods, each once the voice's ring holds a whole period, as a real device's
// pace would allow.
bool playPaced(EngineRun& run, VoiceHandle h, int count, std::vector<uint8_t>* played) {
    for (int k = 0; k < count; ++k)
        if (!run.waitRing(h, run.period()) || !run.device().playPeriod(played)) return false;
    return true;
}

struct VoiceTest : ::testing::Test {
    TempFolder temp;
    std::filesystem::path ramp(uint32_t frames, const char* name = "ramp.wav") {
        WaveBuilder().fmt(1, 2, 48000, 4, 16).data(rampStereo16(frames)).save(temp.file(name));
        return temp.file(name);
    }
};

TEST_F(VoiceTest, ReadyThenSilentUntilPlayStoppedAtEndAndPlayRestarts) {
    EngineRun run(2, 32, 48000);
    ASSERT_TRUE(run.ok());
    VoiceHandle h = run.openReady(ramp(2000));
    ASSERT_EQ(VOICE_READY, VoiceGetState(h));
    ASSERT_TRUE(run.waitRing(h, 2000));
    std::vector<uint8_t> played;
    ASSERT_TRUE(run.device().playPeriods(4, &played));
    EXPECT_TRUE(rampFrames(played).empty());
    EXPECT_EQ(VOICE_READY, VoiceGetState(h));

    ASSERT_EQ(SND_OK, VoicePlay(h));
    EXPECT_EQ(VOICE_PLAYING, VoiceGetState(h));
    played.clear();
    ASSERT_TRUE(playUntil(
        run, [&] { return VoiceGetState(h) == VOICE_STOPPED; }, 20, &played));
    std::vector<int> frames = rampFrames(played);
    ASSERT_EQ(2000u, frames.size());
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(i, frames[i]);
    uint64_t position = 1, length = 0;
    EXPECT_EQ(SND_OK, VoiceGetPosition(h, &position, &length));
    EXPECT_EQ(2000u, position);
    EXPECT_EQ(2000u, length);

    // The stream has already wrapped to the file's start, so a replay starts at frame 0.
    ASSERT_TRUE(run.waitRing(h, 2000));
    ASSERT_EQ(SND_OK, VoicePlay(h));
    EXPECT_EQ(SND_OK, VoiceGetPosition(h, &position, nullptr));
    EXPECT_EQ(0u, position);
    played.clear();
    ASSERT_TRUE(playUntil(
        run, [&] { return VoiceGetState(h) == VOICE_STOPPED; }, 20, &played));
    frames = rampFrames(played);
    ASSERT_EQ(2000u, frames.size());
    EXPECT_EQ(0, frames.front());
    EXPECT_EQ(1999, frames.back());
    EXPECT_EQ(SND_OK, VoiceClose(h));
}

TEST_F(VoiceTest, VoiceWithoutHandlePlaysAtOnceAndFreesItsSlot) {
    EngineRun run(2, 32, 48000);
    ASSERT_TRUE(run.ok());
    ASSERT_EQ(SND_OK, VoiceOpenFile(nullptr, 0, toPath16(ramp(3000)).c_str()));
    EXPECT_EQ(1u, run.allocatedVoices());
    std::vector<uint8_t> played;
    ASSERT_TRUE(playUntilDone(
        run, [&] { return run.allocatedVoices() == 0; }, &played));
    // The end of the voice may still wait in the device's queue.
    ASSERT_TRUE(run.device().playPeriods(DEVICE_BUFFERS, &played));
    std::vector<int> frames = rampFrames(played);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(0, frames.front());
    EXPECT_EQ(2999, frames.back());
}

TEST_F(VoiceTest, AutostartVoicePlaysWhenDataArrive) {
    EngineRun run(2, 32, 48000);
    ASSERT_TRUE(run.ok());
    VoiceHandle h = 0;
    ASSERT_EQ(SND_OK, VoiceOpenFile(&h, VOICE_OPEN_AUTOSTART, toPath16(ramp(500)).c_str()));
    ASSERT_TRUE(waitUntil([&] { return VoiceGetState(h) == VOICE_PLAYING; }));
    ASSERT_TRUE(playUntil(
        run, [&] { return VoiceGetState(h) == VOICE_STOPPED; }, 200));
    EXPECT_EQ(SND_OK, VoiceClose(h));
}

TEST_F(VoiceTest, SlotsHandlesAndStaleHandles) {
    EngineRun run;
    ASSERT_TRUE(run.ok());
    std::filesystem::path file = ramp(100);
    std::vector<VoiceHandle> handles;
    for (int k = 0; k < 8; ++k) {
        VoiceHandle h = 0;
        ASSERT_EQ(SND_OK, VoiceOpenFile(&h, 0, toPath16(file).c_str()));
        EXPECT_NE(0u, h);
        handles.push_back(h);
    }
    VoiceHandle none = 123;
    EXPECT_EQ(SND_E_NOVOICE, VoiceOpenFile(&none, 0, toPath16(file).c_str()));
    EXPECT_EQ(0u, none);
    EXPECT_EQ(8u, run.allocatedVoices());

    VoiceHandle closed = handles[3];
    ASSERT_EQ(SND_OK, VoiceClose(closed));
    // Dead at once, although the slot is released only later by the stream thread.
    EXPECT_EQ(SND_E_HANDLE, VoicePlay(closed));
    EXPECT_EQ(SND_E_HANDLE, VoiceClose(closed));
    EXPECT_EQ(SND_E_HANDLE, VoiceGetState(closed));
    ASSERT_TRUE(playUntilDone(
        run, [&] { return run.allocatedVoices() == 7; }, nullptr));
    VoiceHandle reused = 0;
    ASSERT_EQ(SND_OK, VoiceOpenFile(&reused, 0, toPath16(file).c_str()));
    EXPECT_EQ(closed & 0xFFFF, reused & 0xFFFF);
    EXPECT_NE(closed, reused);
    EXPECT_EQ(SND_E_HANDLE, VoiceSetVolume(closed, 1.0f));
    EXPECT_EQ(SND_E_HANDLE, VoicePlay(0));
    EXPECT_EQ(SND_E_HANDLE, VoicePlay(9 | (2u << 16)));
    EXPECT_EQ(SND_E_STATE, VoiceOpenFile(&reused, 0, nullptr));
}

TEST_F(VoiceTest, SeekToLengthIsAcceptedAndBeyondIsRefused) {
    EngineRun run(2, 32, 48000);
    ASSERT_TRUE(run.ok());
    VoiceHandle h = run.openReady(ramp(4000));
    EXPECT_EQ(SND_E_RANGE, VoiceSeek(h, 4001));
    EXPECT_EQ(SND_OK, VoiceSeek(h, 4000));
    ASSERT_EQ(SND_OK, VoiceSeek(h, 2500));
    ASSERT_TRUE(playUntilDone(
        run, [&] { return VoiceGetState(h) == VOICE_PAUSED; }, nullptr));
    uint64_t position = 0;
    VoiceGetPosition(h, &position, nullptr);
    EXPECT_EQ(2500u, position);
    ASSERT_TRUE(run.waitRing(h, 1500));
    ASSERT_EQ(SND_OK, VoicePlay(h));
    std::vector<uint8_t> played;
    ASSERT_TRUE(playUntil(
        run, [&] { return VoiceGetState(h) == VOICE_STOPPED; }, 50, &played));
    std::vector<int> frames = rampFrames(played);
    ASSERT_EQ(1500u, frames.size());
    EXPECT_EQ(2500, frames.front());
    EXPECT_EQ(3999, frames.back());
}

TEST_F(VoiceTest, PositionInMilliseconds) {
    EngineRun run(2, 16, 44100);
    ASSERT_TRUE(run.ok());
    std::vector<int16_t> silence(2 * 44100 * 3 / 2, 0);
    WaveBuilder().fmt(1, 1, 44100, 2, 16).data(pcm16(silence)).save(temp.file("long.wav"));
    VoiceHandle h = run.openReady(temp.file("long.wav"));
    ASSERT_EQ(SND_OK, VoiceSeek(h, 44100));
    // The stream thread carries the seek out in its own time; on a loaded machine that can take
    // longer than any fixed number of periods.
    ASSERT_TRUE(playUntilDone(
        run, [&] { return VoiceGetState(h) == VOICE_PAUSED; }, nullptr));
    uint64_t ms = 0, lengthMs = 0;
    ASSERT_EQ(SND_OK, VoiceGetPositionMs(h, &ms, &lengthMs));
    EXPECT_EQ(1000u, ms);
    EXPECT_EQ(3000u, lengthMs);
    VoiceStreamFormat format;
    ASSERT_EQ(SND_OK, VoiceGetStreamFormat(h, &format));
    EXPECT_EQ(5, format.sampleType);
    EXPECT_EQ(1, format.channels);
    EXPECT_EQ(2, format.channelCapacity);
    EXPECT_EQ(4, format.bytesPerSample);
    EXPECT_EQ(44100, format.rate);
    EXPECT_EQ(44100, format.maxRate);
    EXPECT_EQ(44100 * 4, format.bytesPerSecond);
}

// Expected left-channel frames of a voice looping [start, end) after playing from 0.
std::vector<int> loopSequence(int start, int end, size_t count) {
    std::vector<int> out;
    for (int i = 0; out.size() < count; i = i + 1 == end ? start : i + 1)
        out.push_back(i);
    return out;
}

void expectLoop(EngineRun& run, VoiceHandle h, int start, int end) {
    ASSERT_TRUE(run.waitRing(h, 3000));
    ASSERT_EQ(SND_OK, VoicePlay(h));
    std::vector<uint8_t> played;
    ASSERT_TRUE(playPaced(run, h, 30, &played));
    std::vector<int> frames = rampFrames(played);
    ASSERT_GT(frames.size(), static_cast<size_t>(2 * end));
    std::vector<int> expected = loopSequence(start, end, frames.size());
    for (size_t i = 0; i < frames.size(); ++i)
        ASSERT_EQ(expected[i], frames[i]) << "frame " << i;
    uint64_t position = 0;
    VoiceGetPosition(h, &position, nullptr);
    EXPECT_LE(position, static_cast<uint64_t>(end));
    EXPECT_EQ(VOICE_PLAYING, VoiceGetState(h));
}

TEST_F(VoiceTest, LoopsBetweenCuePoints) {
    WaveBuilder()
        .fmt(1, 2, 48000, 4, 16)
        .data(rampStereo16(8000))
        .cue({5000, 1000, 3000})
        .save(temp.file("cue.wav"));
    EngineRun run(2, 32, 48000);
    ASSERT_TRUE(run.ok());
    VoiceHandle h = run.openReady(temp.file("cue.wav"), VOICE_OPEN_AUTOLOOP);
    expectLoop(run, h, 1000, 5000);
}

TEST_F(VoiceTest, LoopsOverTheSamplerLoopWhenTheLaterChunk) {
    WaveBuilder()
        .fmt(1, 2, 48000, 4, 16)
        .cue({1000, 5000})
        .smpl(1, 2000, 3000)
        .data(rampStereo16(8000))
        .save(temp.file("smpl.wav"));
    EngineRun run(2, 32, 48000);
    ASSERT_TRUE(run.ok());
    // Loop mode from the start: data read before it is switched on are not taken back.
    VoiceHandle h = run.openReady(temp.file("smpl.wav"), VOICE_OPEN_AUTOLOOP);
    expectLoop(run, h, 2000, 3000);
}

TEST_F(VoiceTest, LoopWithoutRegionRepeatsTheWholeFile) {
    EngineRun run(2, 32, 48000);
    ASSERT_TRUE(run.ok());
    VoiceHandle h = run.openReady(ramp(1200), VOICE_OPEN_AUTOLOOP);
    EXPECT_EQ(SND_OK, VoiceSetLoop(h, 1));
    expectLoop(run, h, 0, 1200);
}

struct TapLog {
    std::mutex mutex;
    std::vector<float> left;
    int blocks = 0;
    int32_t channels = 0;
    int32_t rate = 0;
    int32_t sampleType = 0;
    bool upperPlanesNull = true;
    std::thread::id thread;
};

int32_t recordTap(void* user, const TapBlock* block) {
    TapLog* log = static_cast<TapLog*>(user);
    std::lock_guard<std::mutex> hold(log->mutex);
    ++log->blocks;
    log->channels = block->channels;
    log->rate = block->rate;
    log->sampleType = block->sampleType;
    log->thread = std::this_thread::get_id();
    for (int c = block->channels; c < 8; ++c)
        if (block->planes[c]) log->upperPlanesNull = false;
    log->left.insert(log->left.end(), block->planes[0], block->planes[0] + block->frames);
    return 0;
}

TEST_F(VoiceTest, TapDeliversConsumedFramesOnItsOwnThread) {
    EngineRun run(2, 32, 48000);
    ASSERT_TRUE(run.ok());
    VoiceHandle early = 0;
    TapLog log;
    ASSERT_EQ(SND_OK, VoiceOpenFile(&early, 0, toPath16(ramp(3000)).c_str()));
    EXPECT_TRUE(VoiceSetTap(early, recordTap, &log) == SND_E_NOTREADY ||
                VoiceGetState(early) != VOICE_OPENING);
    VoiceHandle h = run.openReady(temp.file("ramp.wav"));
    ASSERT_EQ(SND_OK, VoiceSetTap(h, recordTap, &log));
    ASSERT_TRUE(run.waitRing(h, 3000));
    ASSERT_EQ(SND_OK, VoicePlay(h));
    // The tap hands over the latest period; a real device leaves it a period's time to do so.
    auto delivered = [&] {
        std::lock_guard<std::mutex> hold(log.mutex);
        return log.blocks;
    };
    for (int k = 0; k < 20 && VoiceGetState(h) != VOICE_STOPPED; ++k) {
        int before = delivered();
        ASSERT_TRUE(run.device().playPeriod(nullptr));
        waitUntilFor([&] { return delivered() > before; }, 200);
    }
    ASSERT_TRUE(waitUntil([&] {
        std::lock_guard<std::mutex> hold(log.mutex);
        return log.left.size() >= 3000;
    }));
    ASSERT_EQ(SND_OK, VoiceSetTap(h, nullptr, nullptr));
    std::lock_guard<std::mutex> hold(log.mutex);
    EXPECT_EQ(5, log.sampleType);
    EXPECT_EQ(2, log.channels);
    EXPECT_EQ(48000, log.rate);
    EXPECT_TRUE(log.upperPlanesNull);
    EXPECT_NE(std::this_thread::get_id(), log.thread);
    ASSERT_EQ(3000u, log.left.size());
    for (int i = 0; i < 3000; ++i)
        ASSERT_EQ((i + 1) / 32768.0f, log.left[i]) << i;
}

TEST_F(VoiceTest, UnreadableAndUnknownFilesReportTheirError) {
    EngineRun run;
    ASSERT_TRUE(run.ok());
    VoiceHandle missing = run.openReady(temp.file("missing.wav"));
    EXPECT_EQ(SND_E_FILE, VoiceGetState(missing));
    EXPECT_EQ(SND_E_FILE, EngineProbeFile(toPath16(temp.file("missing.wav")).c_str()));
    std::ofstream(temp.file("junk.wav"), std::ios::binary).write("not audio", 9);
    VoiceHandle unknown = run.openReady(temp.file("junk.wav"));
    EXPECT_EQ(SND_E_PREPARE, VoiceGetState(unknown));
    EXPECT_EQ(SND_E_FORMAT, EngineProbeFile(toPath16(temp.file("junk.wav")).c_str()));
    EXPECT_EQ(SND_OK, VoiceClose(missing));
    EXPECT_EQ(SND_OK, VoiceClose(unknown));
    // Failed voices without a handle give their slots back by themselves.
    ASSERT_EQ(SND_OK, VoiceOpenFile(nullptr, 0, toPath16(temp.file("junk.wav")).c_str()));
    ASSERT_TRUE(playUntil(
        run, [&] { return run.allocatedVoices() == 0; }, 200));
}

// A decoder that promises 100000 frames of a stereo ramp but has only 1000.
std::atomic<int> g_shortReads{0};
size_t shortRead(CodecContext*, void* buffer, size_t size) {
    if (g_shortReads++ > 0) return 0;
    std::vector<uint8_t> ramp = rampStereo16(1000);
    size_t count = size < ramp.size() ? size : ramp.size();
    std::memcpy(buffer, ramp.data(), count);
    return count;
}
int32_t shortCodec(CodecContext* c, uint32_t) {
    char magic[4] = {};
    if (codecReadBytes(c, magic, 4) != 4 || std::memcmp(magic, "DRY!", 4) != 0) return SND_E_FORMAT;
    codecSetFormatTag(c, 1);
    codecSetChannels(c, 2);
    codecSetBlockAlign(c, 4);
    codecSetRate(c, 48000);
    codecSetDataSize(c, 400000);
    codecSetReadHook(c, shortRead);
    return SND_OK;
}

TEST_F(VoiceTest, DataRunningDryEndsTheVoiceWhereTheyEnd) {
    EngineRun run(2, 32, 48000);
    ASSERT_TRUE(run.ok());
    ASSERT_EQ(SND_OK, EngineRegisterCodec(shortCodec, nullptr));
    g_shortReads = 0;
    std::ofstream(temp.file("short.dry"), std::ios::binary).write("DRY!", 4);
    VoiceHandle h = run.openReady(temp.file("short.dry"));
    ASSERT_EQ(VOICE_READY, VoiceGetState(h));
    ASSERT_EQ(SND_OK, VoicePlay(h));
    std::vector<uint8_t> played;
    ASSERT_TRUE(playUntil(
        run, [&] { return VoiceGetState(h) == VOICE_STOPPED; }, 200, &played));
    std::vector<int> frames = rampFrames(played);
    ASSERT_EQ(1000u, frames.size());
    EXPECT_EQ(999, frames.back());
    uint64_t position = 0, length = 0;
    VoiceGetPosition(h, &position, &length);
    EXPECT_EQ(1000u, length);
    EXPECT_EQ(1000u, position);

    // A file cut short after its first read, longer than the stream buffer: the read after the
    // cut finds nothing and the voice ends at the cut.
    constexpr uint32_t WRITTEN = 500000, KEPT = 400000;
    EXPECT_EQ(SND_OK, VoiceClose(h));
    std::filesystem::path cut = ramp(WRITTEN, "cut.wav");
    uintmax_t header = std::filesystem::file_size(cut) - WRITTEN * 4;
    h = run.openReady(cut);
    ASSERT_EQ(VOICE_READY, VoiceGetState(h));
    std::filesystem::resize_file(cut, header + KEPT * 4);
    ASSERT_EQ(SND_OK, VoicePlay(h));
    played.clear();
    ASSERT_TRUE(playUntil(
        run, [&] { return VoiceGetState(h) == VOICE_STOPPED; }, 3000, &played));
    EXPECT_EQ(KEPT, rampFrames(played).size());
    VoiceGetPosition(h, &position, &length);
    EXPECT_EQ(KEPT, length);
    EXPECT_EQ(KEPT, position);
}

} // namespace
