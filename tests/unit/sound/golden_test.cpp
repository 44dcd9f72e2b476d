// Whole-engine conversions: WAVE files made with sox (and a few built here) play on the test
// device, and every device byte is compared with values computed from the sample formulas, the
// channel tables, the rate rule and the output encodings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "sound_test_support.h"

namespace {

using Frame = std::array<float, 8>;

struct WaveData {
    uint16_t tag = 0;
    uint16_t channels = 0;
    uint16_t blockAlign = 0;
    uint32_t rate = 0;
    std::vector<uint8_t> data;
};

uint32_t le32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

WaveData readWave(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    WaveData w;
    for (size_t at = 12; at + 8 <= b.size();) {
        uint32_t size = le32(&b[at + 4]);
        if (!std::memcmp(&b[at], "fmt ", 4)) {
            w.tag = static_cast<uint16_t>(b[at + 8] | b[at + 9] << 8);
            w.channels = static_cast<uint16_t>(b[at + 10] | b[at + 11] << 8);
            w.rate = le32(&b[at + 12]);
            w.blockAlign = static_cast<uint16_t>(b[at + 20] | b[at + 21] << 8);
        } else if (!std::memcmp(&b[at], "data", 4)) {
            w.data.assign(b.begin() + at + 8, b.begin() + at + 8 + size);
        }
        at += 8 + size + (size & 1);
    }
    return w;
}

// The source sample formulas.
float sampleAt(const WaveData& w, const uint8_t* p) {
    unsigned bytes = w.blockAlign / w.channels;
    if (w.tag == 3) {
        float v;
        std::memcpy(&v, p, 4);
        return v;
    }
    if (bytes == 1) return p[0] / 128.0f - 1.0f;
    if (bytes == 2) return static_cast<int16_t>(p[0] | p[1] << 8) / 32768.0f;
    uint32_t u = p[0] | p[1] << 8 | uint32_t(p[2]) << 16;
    return 1.0f - static_cast<float>(u ^ 0x7FFFFF) / 8388608.0f;
}

std::vector<Frame> decodedFrames(const WaveData& w) {
    std::vector<Frame> out;
    for (size_t at = 0; at + w.blockAlign <= w.data.size(); at += w.blockAlign) {
        Frame f{};
        for (unsigned c = 0; c < w.channels; ++c)
            f[c] = sampleAt(w, &w.data[at + c * (w.blockAlign / w.channels)]);
        out.push_back(f);
    }
    return out;
}

// The channel table entries the golden files use, written out from the table.
Frame mixDown(const Frame& x, unsigned from, unsigned to) {
    Frame y{};
    if (from == to) {
        for (unsigned k = 0; k < to; ++k)
            y[k] = x[k];
    } else if (to == 2 && from == 1) {
        y[0] = y[1] = 1.0f * x[0];
    } else if (to == 2 && from == 6) {
        y[0] = 0.7f * x[0] + 0.1f * x[2] + 0.2f * x[4];
        y[1] = 0.7f * x[1] + 0.1f * x[2] + 0.2f * x[5];
    } else if (to == 2 && from == 8) {
        y[0] = 0.3f * x[0] + 0.1f * x[2] + 0.1f * x[4] + 0.5f * x[6];
        y[1] = 0.3f * x[1] + 0.1f * x[2] + 0.1f * x[5] + 0.5f * x[7];
    } else {
        ADD_FAILURE() << "no reference for " << from << " -> " << to;
    }
    return y;
}

// Decode stage: averaging (or one to one) into the ring rate, then the matrix.
std::vector<Frame> ringFrames(const std::vector<Frame>& x, unsigned channels, uint32_t s,
                              uint32_t d, unsigned ringChannels) {
    std::vector<Frame> out;
    size_t i = 0;
    int64_t acc = 0;
    while (i < x.size()) {
        Frame sum{};
        unsigned n = 0;
        for (; acc < s && i < x.size(); ++n, ++i, acc += d)
            for (unsigned c = 0; c < 8; ++c)
                sum[c] += x[i][c];
        if (n >= 2)
            for (float& v : sum)
                v /= static_cast<float>(n);
        acc -= s;
        out.push_back(mixDown(sum, channels, ringChannels));
    }
    return out;
}

void encode(std::vector<uint8_t>& out, float v, unsigned bits) {
    v = v > 1.0f ? 1.0f : v < -1.0f ? -1.0f : v;
    if (bits == 32) {
        uint8_t b[4];
        std::memcpy(b, &v, 4);
        out.insert(out.end(), b, b + 4);
        return;
    }
    int32_t s =
        bits == 16 ? static_cast<int32_t>(v * 32767.0f) : static_cast<int32_t>(v * 8388607.0f);
    for (unsigned k = 0; k < bits / 8; ++k)
        out.push_back(static_cast<uint8_t>(s >> (8 * k)));
}

// Mix and output stages, period by period: each period starts its own repetition count.
std::vector<uint8_t> devicePeriods(const std::vector<Frame>& ring, unsigned channels,
                                   uint32_t ringRate, uint32_t deviceRate, uint32_t period,
                                   unsigned bits, int* periods) {
    std::vector<uint8_t> out;
    size_t j = 0;
    *periods = 0;
    while (j < ring.size() || *periods == 0) {
        std::vector<Frame> mix(period, Frame{});
        size_t produced = 0;
        int64_t acc = 0;
        while (produced < period && j < ring.size()) {
            for (; acc < deviceRate && produced < period; acc += ringRate, ++produced)
                for (unsigned c = 0; c < channels; ++c)
                    mix[produced][c] += ring[j][c];
            acc -= deviceRate;
            ++j;
        }
        for (const Frame& f : mix)
            for (unsigned c = 0; c < channels; ++c)
                encode(out, f[c], bits);
        ++*periods;
    }
    return out;
}

struct GoldenCase {
    const char* file;
    uint32_t deviceBits;
    uint32_t deviceRate;
};

class GoldenTest : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenTest, DeviceBytesMatchTheFormulas) {
    const GoldenCase& k = GetParam();
    WaveData wave = readWave(dataSound(k.file));
    ASSERT_GT(wave.data.size(), 0u);
    EngineRun run(2, k.deviceBits, k.deviceRate);
    ASSERT_TRUE(run.ok());
    uint32_t ringRate = wave.rate < k.deviceRate ? wave.rate : k.deviceRate;
    unsigned ringChannels = wave.channels < 2 ? wave.channels : 2;
    std::vector<Frame> ring =
        ringFrames(decodedFrames(wave), wave.channels, wave.rate, ringRate, ringChannels);
    Frame silent{};
    std::vector<Frame> stereo;
    for (const Frame& f : ring)
        stereo.push_back(ringChannels == 2 ? f : mixDown(f, 1, 2));
    (void)silent;
    int periods = 0;
    std::vector<uint8_t> expected =
        devicePeriods(stereo, 2, ringRate, k.deviceRate, run.period(), k.deviceBits, &periods);

    VoiceHandle h = run.openReady(dataSound(k.file));
    ASSERT_EQ(VOICE_READY, VoiceGetState(h));
    ASSERT_TRUE(run.waitRing(h, ring.size()));
    ASSERT_EQ(SND_OK, VoicePlay(h));
    std::vector<uint8_t> played;
    // Periods of silence were queued in every buffer at open; then the voice, then one silent
    // period.
    const size_t ahead = DEVICE_BUFFERS;
    ASSERT_TRUE(run.device().playPeriods(static_cast<int>(ahead + periods + 1), &played));
    size_t periodBytes = run.period() * 2 * (k.deviceBits / 8);
    ASSERT_EQ((ahead + 1 + periods) * periodBytes, played.size());
    std::vector<uint8_t> voice(played.begin() + ahead * periodBytes,
                               played.begin() + (ahead + periods) * periodBytes);
    for (size_t b = 0; b < expected.size(); ++b)
        ASSERT_EQ(expected[b], voice[b]) << "byte " << b << " of " << expected.size();
    for (size_t b = (ahead + periods) * periodBytes; b < played.size(); ++b)
        ASSERT_EQ(0, played[b]);
    EXPECT_EQ(VOICE_STOPPED, VoiceGetState(h));
    EXPECT_EQ(SND_OK, VoiceClose(h));
}

INSTANTIATE_TEST_SUITE_P(SoxFiles, GoldenTest,
                         ::testing::Values(GoldenCase{"s16_stereo_48000.wav", 16, 48000},
                                           GoldenCase{"s16_stereo_48000.wav", 24, 48000},
                                           GoldenCase{"s16_stereo_48000.wav", 32, 48000},
                                           GoldenCase{"s16_mono_22050.wav", 16, 48000},
                                           GoldenCase{"s16_stereo_96000.wav", 16, 48000},
                                           GoldenCase{"s16_51_48000.wav", 32, 48000},
                                           GoldenCase{"u8_mono_44100.wav", 16, 44100},
                                           GoldenCase{"s24_stereo_48000.wav", 24, 48000},
                                           GoldenCase{"f32_stereo_48000.wav", 32, 48000},
                                           GoldenCase{"f32_71_48000.wav", 16, 48000}));

int16_t sample16(const std::vector<uint8_t>& bytes, size_t index) {
    return static_cast<int16_t>(bytes[2 * index] | bytes[2 * index + 1] << 8);
}

// Plays every handle together and returns the device bytes of the first mixed period.
std::vector<uint8_t> firstMixedPeriod(EngineRun& run, const std::vector<VoiceHandle>& voices,
                                      uint64_t frames) {
    for (VoiceHandle h : voices) {
        EXPECT_TRUE(run.waitRing(h, frames));
        EXPECT_EQ(SND_OK, VoicePlay(h));
    }
    std::vector<uint8_t> played;
    EXPECT_TRUE(run.device().playPeriods(DEVICE_BUFFERS + 1, &played));
    size_t periodBytes = played.size() / (DEVICE_BUFFERS + 1);
    return std::vector<uint8_t>(played.begin() + DEVICE_BUFFERS * periodBytes, played.end());
}

TEST(GoldenEdgeTest, MostNegative16BitSampleComesOutAsMinus32767) {
    TempFolder temp;
    WaveBuilder()
        .fmt(1, 1, 48000, 2, 16)
        .data(pcm16({-32768, 32767, 0, -1}))
        .save(temp.file("e.wav"));
    EngineRun run(2, 16, 48000);
    ASSERT_TRUE(run.ok());
    VoiceHandle h = run.openReady(temp.file("e.wav"));
    std::vector<uint8_t> out = firstMixedPeriod(run, {h}, 4);
    EXPECT_EQ(-32767, sample16(out, 0));
    EXPECT_EQ(-32767, sample16(out, 1));
    EXPECT_EQ(static_cast<int32_t>(32767 / 32768.0f * 32767.0f), sample16(out, 2));
    EXPECT_EQ(0, sample16(out, 4));
    EXPECT_EQ(static_cast<int32_t>(-1 / 32768.0f * 32767.0f), sample16(out, 6));
}

TEST(GoldenEdgeTest, ClippingHappensOnlyInTheOutputStage) {
    TempFolder temp;
    std::vector<int16_t> high(64, 29491); // 0.9
    std::vector<int16_t> low(64, -29491);
    WaveBuilder().fmt(1, 1, 48000, 2, 16).data(pcm16(high)).save(temp.file("high.wav"));
    WaveBuilder().fmt(1, 1, 48000, 2, 16).data(pcm16(low)).save(temp.file("low.wav"));
    for (unsigned bits : {16u, 32u}) {
        EngineRun run(2, bits, 48000);
        ASSERT_TRUE(run.ok());
        VoiceHandle a = run.openReady(temp.file("high.wav"));
        VoiceHandle b = run.openReady(temp.file("high.wav"));
        std::vector<uint8_t> sum = firstMixedPeriod(run, {a, b}, 64);
        if (bits == 16) {
            EXPECT_EQ(32767, sample16(sum, 0));
        } else {
            float v;
            std::memcpy(&v, sum.data(), 4);
            EXPECT_EQ(1.0f, v);
        }
        // 0.9 + 0.9 - 0.9: the 1.8 in between is not clipped.
        VoiceHandle c = run.openReady(temp.file("high.wav"));
        VoiceHandle d = run.openReady(temp.file("high.wav"));
        VoiceHandle e = run.openReady(temp.file("low.wav"));
        std::vector<uint8_t> back = firstMixedPeriod(run, {c, d, e}, 64);
        float x = 29491 / 32768.0f;
        float expected = (0.0f + x) + x + (-x);
        if (bits == 16) {
            EXPECT_EQ(static_cast<int32_t>(expected * 32767.0f), sample16(back, 0));
        } else {
            float v;
            std::memcpy(&v, back.data(), 4);
            EXPECT_EQ(expected, v);
        }
    }
}

TEST(GoldenEdgeTest, MasterVolumeScalesTheOutput) {
    TempFolder temp;
    WaveBuilder()
        .fmt(1, 1, 48000, 2, 16)
        .data(pcm16(std::vector<int16_t>(64, 16384)))
        .save(temp.file("h.wav"));
    EngineRun run(2, 32, 48000);
    ASSERT_TRUE(run.ok());
    ASSERT_EQ(SND_OK, EngineSetMasterVolume(0.25f));
    VoiceHandle h = run.openReady(temp.file("h.wav"));
    std::vector<uint8_t> out = firstMixedPeriod(run, {h}, 64);
    float v;
    std::memcpy(&v, out.data(), 4);
    EXPECT_EQ(0.5f * 0.25f, v);
    EXPECT_EQ(SND_OK, EngineSetMasterVolume(-3.0f));
    ASSERT_TRUE(run.device().playPeriods(DEVICE_BUFFERS, &out));
    std::memcpy(&v, out.data() + out.size() - 4, 4);
    EXPECT_EQ(0.0f, v);
}

} // namespace
