#include "player/spectrum_analyzer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr double PI = 3.14159265358979323846;

// Planar float frames for one tap block; the TapBlock points into this object.
struct Frames {
    std::vector<std::vector<float>> planes;
    float* pointers[8] = {};
    TapBlock block = {};

    Frames(int32_t channels, int32_t frames) : planes(size_t(channels)) {
        for (int32_t c = 0; c < channels; ++c) {
            planes[size_t(c)].assign(size_t(frames), 0.0f);
            if (c < 8) pointers[c] = planes[size_t(c)].data();
        }
        block.sampleType = 5;
        block.channels = channels;
        block.frames = frames;
        block.planes = pointers;
    }
    void fill(int32_t channel, float value) {
        for (float& s : planes[size_t(channel)])
            s = value;
    }
};

struct AnalyzerDeleter {
    void operator()(SpectrumAnalyzer* a) const { freeSpectrumAnalyzer(a); }
};
using AnalyzerPtr = std::unique_ptr<SpectrumAnalyzer, AnalyzerDeleter>;

AnalyzerPtr makeAnalyzer(uint32_t rate, uint32_t channels, uint32_t maxWindow, int32_t window) {
    AnalyzerPtr a(createSpectrumAnalyzer(rate, channels, maxWindow));
    if (a) a->windowType = window;
    return a;
}

// The result of the latest feed: a second, empty feed would change it, so the test reads the
// half a snapshot will show once the next feed starts by switching halves by hand.
struct Result {
    AnalyzerSnapshot snap = {};
    ~Result() { freeAnalyzerSnapshot(&snap); }
};

void latest(SpectrumAnalyzer* a, Result* out) {
    freeAnalyzerSnapshot(&out->snap);
    a->current = 1 - a->current;
    analyzerSnapshot(a, &out->snap);
    a->current = 1 - a->current;
}

// Power of bin k of the zero-padded, windowed input divided by N, in double precision.
double referencePower(const std::vector<float>& x, uint32_t n, uint32_t k) {
    double re = 0.0, im = 0.0;
    for (size_t j = 0; j < x.size(); ++j) {
        double phase = 2.0 * PI * double(k) * double(j) / double(n);
        re += x[j] * std::cos(phase);
        im -= x[j] * std::sin(phase);
    }
    return (re * re + im * im) / (double(n) * n);
}

TEST(SpectrumAnalyzer, SizesFollowTheFrameRateAndWindow) {
    struct Case {
        uint32_t rate, window, fftSize, points, stages;
    };
    const Case cases[] = {{44100, 11025, 16384, 8192, 14},
                          {48000, 12000, 16384, 8192, 14},
                          {22050, 5512, 8192, 4096, 13},
                          {96000, 24000, 32768, 16384, 15},
                          {1, 0, 0, 0, 0},
                          {1, 1, 1, 0, 0},
                          {0, 5, 0, 0, 0},
                          {8, 1000, 8, 4, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate);
        AnalyzerPtr a(createSpectrumAnalyzer(c.rate, 2, c.window));
        ASSERT_TRUE(a);
        EXPECT_EQ(a->fftSize, c.fftSize);
        EXPECT_EQ(a->points, c.points);
        EXPECT_EQ(a->stages, c.stages);
        EXPECT_EQ(a->nyquist, int32_t(c.rate / 2));
        EXPECT_EQ(a->current, 0u);
        EXPECT_EQ(a->windowType, WINDOW_HAMMING);
        EXPECT_FLOAT_EQ(a->hammingAlpha, 0.54f);
        EXPECT_FLOAT_EQ(a->kaiserAlpha, 1.5f);
    }
}

TEST(SpectrumAnalyzer, ScalesAndTwiddlesFor44100) {
    AnalyzerPtr a(createSpectrumAnalyzer(44100, 2, 44100 / 4));
    ASSERT_TRUE(a);
    EXPECT_DOUBLE_EQ(a->binWidth, 44100.0 / 16384.0);
    EXPECT_DOUBLE_EQ(a->fftSizeSquared, 16384.0 * 16384.0);
    EXPECT_DOUBLE_EQ(a->spectrumScale, 16384.0 * 16384.0 / (44100.0 / 16384.0));
    EXPECT_DOUBLE_EQ(a->spectrumScale2, 16384.0 * 16384.0 * 16384.0 / (44100.0 / 16384.0));
    // The split step's factors lead the tables: cos then -sin of 2πk / N for k < N / 2.
    const float* t = a->twiddles;
    EXPECT_FLOAT_EQ(t[0], 1.0f);
    EXPECT_NEAR(t[4096], 0.0f, 1e-7);
    EXPECT_FLOAT_EQ(t[8192 + 4096], -1.0f);
}

TEST(SpectrumAnalyzer, RefusesTransformsTooLargeToAllocateSafely) {
    EXPECT_EQ(createSpectrumAnalyzer(0xFFFFFFFFu, 2, 0xFFFFFFFFu), nullptr);
    EXPECT_EQ(createSpectrumAnalyzer(0x80000001u, 2, 0x80000001u), nullptr);
}

TEST(SpectrumAnalyzer, SnapshotsShowZerosUntilTheSecondFeed) {
    AnalyzerPtr a = makeAnalyzer(64, 1, 64, WINDOW_RECTANGULAR);
    Frames f(1, 64);
    f.fill(0, 0.5f);
    analyzerFeed(a.get(), &f.block);
    AnalyzerSnapshot s;
    ASSERT_TRUE(analyzerSnapshot(a.get(), &s));
    ASSERT_NE(s.spectrum, nullptr);
    ASSERT_NE(s.scope, nullptr);
    EXPECT_EQ(s.spectrum[0], 0.0);
    EXPECT_EQ(s.scope[0], 0.0);
    EXPECT_EQ(s.totalLevel, 0.0);
    freeAnalyzerSnapshot(&s);

    Frames silent(1, 64);
    analyzerFeed(a.get(), &silent.block);
    ASSERT_TRUE(analyzerSnapshot(a.get(), &s));
    EXPECT_FLOAT_EQ(float(s.spectrum[0]), 0.25f);
    EXPECT_FLOAT_EQ(float(s.scope[31]), 0.5f);
    EXPECT_DOUBLE_EQ(s.totalLevel, 32.0);
    EXPECT_DOUBLE_EQ(s.channelPeak[0], 0.5);
    EXPECT_EQ(s.points, 32);
    EXPECT_EQ(s.fftSize, 64);
    EXPECT_EQ(s.frameRate, 64);
    EXPECT_EQ(s.nyquist, 32);
    EXPECT_EQ(s.channels, 1);
    freeAnalyzerSnapshot(&s);
    EXPECT_EQ(s.spectrum, nullptr);
    EXPECT_EQ(s.scope, nullptr);
}

TEST(SpectrumAnalyzer, SilenceGivesZeroEverywhere) {
    AnalyzerPtr a = makeAnalyzer(44100, 2, 11025, WINDOW_HAMMING);
    Frames f(2, 2756);
    analyzerFeed(a.get(), &f.block);
    Result r;
    latest(a.get(), &r);
    for (int32_t i = 0; i < r.snap.points; ++i) {
        ASSERT_EQ(r.snap.spectrum[i], 0.0) << i;
        ASSERT_EQ(r.snap.scope[i], 0.0) << i;
    }
    EXPECT_EQ(r.snap.totalLevel, 0.0);
    EXPECT_EQ(r.snap.channelPeak[0], 0.0);
    EXPECT_EQ(r.snap.channelPeak[1], 0.0);
}

TEST(SpectrumAnalyzer, ConstantBlockPutsAllPowerInBinZeroAtPointsZeroAndOne) {
    AnalyzerPtr a = makeAnalyzer(1024, 2, 1024, WINDOW_RECTANGULAR);
    Frames f(2, 1024);
    f.fill(0, 0.25f);
    f.fill(1, 0.5f);
    analyzerFeed(a.get(), &f.block);
    Result r;
    latest(a.get(), &r);
    EXPECT_FLOAT_EQ(float(r.snap.spectrum[0]), 0.5625f);
    EXPECT_FLOAT_EQ(float(r.snap.spectrum[1]), 0.5625f);
    for (int32_t i = 2; i < r.snap.points; ++i)
        ASSERT_EQ(r.snap.spectrum[i], 0.0) << i;
    EXPECT_DOUBLE_EQ(r.snap.totalLevel, 0.75 * 1024);
    EXPECT_DOUBLE_EQ(r.snap.channelPeak[0], 0.25);
    EXPECT_DOUBLE_EQ(r.snap.channelPeak[1], 0.5);
}

TEST(SpectrumAnalyzer, SineShowsAtItsBinOnePointLater) {
    const uint32_t n = 4096;
    const uint32_t bin = 100;
    AnalyzerPtr a = makeAnalyzer(n, 1, n, WINDOW_RECTANGULAR);
    Frames f(1, int32_t(n));
    for (uint32_t j = 0; j < n; ++j)
        f.planes[0][j] = float(std::sin(2.0 * PI * bin * j / n));
    analyzerFeed(a.get(), &f.block);
    Result r;
    latest(a.get(), &r);
    EXPECT_NEAR(r.snap.spectrum[bin + 1], 0.25, 1e-4);
    for (int32_t i = 0; i < r.snap.points; ++i) {
        if (i != int32_t(bin + 1)) {
            ASSERT_LT(r.snap.spectrum[i], 1e-8) << i;
        }
    }
}

TEST(SpectrumAnalyzer, EveryPointMatchesADirectTransformOfTheWindowedSum) {
    struct Case {
        uint32_t fftSize;
        int32_t frames;
        int32_t window;
    };
    // Short transforms, full blocks, and blocks that fill only the first quarter or sixteenth
    // (whose first stages only spread values), for even and odd numbers of stages, up to the
    // popup's own block.
    const Case cases[] = {
        {2, 2, WINDOW_RECTANGULAR},    {4, 3, WINDOW_HANN},          {16, 16, WINDOW_HAMMING},
        {32, 5, WINDOW_HANN},          {64, 40, WINDOW_BLACKMAN},    {64, 64, WINDOW_RECTANGULAR},
        {128, 13, WINDOW_HAMMING},     {1024, 1024, WINDOW_HAMMING}, {1024, 700, WINDOW_KAISER},
        {2048, 2048, WINDOW_BLACKMAN}, {4096, 255, WINDOW_HAMMING},  {4096, 1023, WINDOW_HANN},
        {8192, 1378, WINDOW_HAMMING},  {16384, 2756, WINDOW_HAMMING}};
    uint32_t seed = 12345;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "N " << c.fftSize << " frames " << c.frames);
        AnalyzerPtr a = makeAnalyzer(c.fftSize, 2, c.fftSize, c.window);
        Frames f(2, c.frames);
        std::vector<float> sum(size_t(c.frames));
        for (int32_t j = 0; j < c.frames; ++j) {
            for (int32_t ch = 0; ch < 2; ++ch) {
                seed = seed * 1103515245u + 12345u;
                f.planes[size_t(ch)][size_t(j)] = float(seed >> 8) / float(1u << 24) - 0.5f;
            }
            sum[size_t(j)] = f.planes[0][size_t(j)] + f.planes[1][size_t(j)];
        }
        analyzerFeed(a.get(), &f.block);
        Result r;
        latest(a.get(), &r);
        std::vector<float> windowed = sum;
        applyWindow(windowed.data(), uint32_t(c.frames), c.window, 0.54f, 1.5f);
        uint32_t p = c.fftSize / 2;
        for (uint32_t i = 0; i < p; ++i) {
            uint32_t bin = i == 0 ? 0 : i - 1;
            double expected = referencePower(windowed, c.fftSize, bin);
            ASSERT_NEAR(r.snap.spectrum[i], expected, 1e-5 * expected + 1e-12) << i;
            auto frame = size_t(float(i) / float(p) * float(c.frames - 1));
            ASSERT_EQ(r.snap.scope[i], windowed[frame]) << i;
        }
    }
}

TEST(SpectrumAnalyzer, ShortBlockIsWindowedOverItsOwnLengthAndZeroPadded) {
    const uint32_t n = 16384;
    AnalyzerPtr a = makeAnalyzer(44100, 1, 11025, WINDOW_HAMMING);
    // A full-length loud block first, so stale work data would show in the next result.
    Frames loud(1, int32_t(n));
    loud.fill(0, 0.9f);
    analyzerFeed(a.get(), &loud.block);

    Frames f(1, 2756);
    for (int32_t j = 0; j < 2756; ++j)
        f.planes[0][size_t(j)] = float(std::sin(0.05 * j));
    analyzerFeed(a.get(), &f.block);
    Result r;
    latest(a.get(), &r);

    std::vector<float> windowed = f.planes[0];
    applyWindow(windowed.data(), 2756, WINDOW_HAMMING, 0.54f, 1.5f);
    EXPECT_FLOAT_EQ(windowed[0], 0.08f * f.planes[0][0]);
    for (uint32_t point : {1u, 2u, 100u, 131u, 132u, 133u, 500u, 8191u}) {
        double expected = referencePower(windowed, n, point - 1);
        EXPECT_NEAR(r.snap.spectrum[point], expected, 1e-4 * expected + 1e-10) << point;
    }
}

TEST(SpectrumAnalyzer, LevelsCoverTheTransformWhileTheTraceCoversTheWholeBlock) {
    // N = 8, P = 4: twelve frames, of which only the first eight enter the transform.
    AnalyzerPtr a = makeAnalyzer(8, 2, 8, WINDOW_RECTANGULAR);
    Frames f(2, 12);
    for (int32_t j = 0; j < 12; ++j) {
        f.planes[0][size_t(j)] = j < 8 ? 0.5f : 4.0f;
        f.planes[1][size_t(j)] = j < 8 ? -1.5f : -8.0f;
    }
    analyzerFeed(a.get(), &f.block);
    Result r;
    latest(a.get(), &r);
    EXPECT_DOUBLE_EQ(r.snap.totalLevel, 8.0);
    EXPECT_DOUBLE_EQ(r.snap.channelPeak[0], 0.5);
    EXPECT_DOUBLE_EQ(r.snap.channelPeak[1], 1.5);
    // Trace points 0..3 read frames trunc(i / 4 × 11) = 0, 2, 5, 8; sums are not averaged.
    EXPECT_FLOAT_EQ(float(r.snap.scope[0]), -1.0f);
    EXPECT_FLOAT_EQ(float(r.snap.scope[2]), -1.0f);
    EXPECT_FLOAT_EQ(float(r.snap.scope[3]), -4.0f);
}

TEST(SpectrumAnalyzer, SingleFrameBlockFillsTheTraceWithItsSum) {
    for (int32_t window : {WINDOW_RECTANGULAR, WINDOW_HANN, WINDOW_HAMMING, WINDOW_BLACKMAN,
                           WINDOW_KAISER, WINDOW_GENERALIZED_HAMMING}) {
        SCOPED_TRACE(window);
        AnalyzerPtr a = makeAnalyzer(64, 2, 64, window);
        Frames f(2, 1);
        f.planes[0][0] = 0.25f;
        f.planes[1][0] = 0.5f;
        analyzerFeed(a.get(), &f.block);
        Result r;
        latest(a.get(), &r);
        for (int32_t i = 0; i < r.snap.points; ++i) {
            ASSERT_FLOAT_EQ(float(r.snap.scope[i]), 0.75f) << i;
            ASSERT_FLOAT_EQ(float(r.snap.spectrum[i]), (0.75f / 64) * (0.75f / 64)) << i;
        }
    }
}

TEST(SpectrumAnalyzer, WrappedBlockIsReadFromItsStartOffset) {
    AnalyzerPtr a = makeAnalyzer(8, 1, 8, WINDOW_RECTANGULAR);
    Frames f(1, 5);
    f.planes[0] = {10, 11, 12, 13, 14};
    f.pointers[0] = f.planes[0].data();
    f.block.wrapIndex = 3;
    f.block.startOffset = 2;
    analyzerFeed(a.get(), &f.block);
    Result r;
    latest(a.get(), &r);
    // Frames in order: 12, 13, 14, 10, 11; points 0..3 read frames 0, 1, 2, 3.
    EXPECT_EQ(r.snap.scope[0], 12.0);
    EXPECT_EQ(r.snap.scope[1], 13.0);
    EXPECT_EQ(r.snap.scope[2], 14.0);
    EXPECT_EQ(r.snap.scope[3], 10.0);
}

TEST(SpectrumAnalyzer, IgnoresBlocksItCannotReadSafely) {
    AnalyzerPtr a = makeAnalyzer(8, 1, 8, WINDOW_RECTANGULAR);
    Frames f(1, 5);
    f.fill(0, 1.0f);
    analyzerFeed(a.get(), &f.block);
    uint32_t before = a->current;

    Frames bad(1, 5);
    bad.fill(0, 9.0f);
    bad.block.wrapIndex = 4; // 4 + 2 > 5 frames: would read past the end
    bad.block.startOffset = 2;
    EXPECT_EQ(analyzerFeed(a.get(), &bad.block), 1);
    bad.block.wrapIndex = 0;
    bad.block.startOffset = 0;
    bad.block.frames = -3;
    EXPECT_EQ(analyzerFeed(a.get(), &bad.block), 1);
    EXPECT_EQ(analyzerFeed(a.get(), nullptr), 1);
    EXPECT_EQ(analyzerFeed(nullptr, &f.block), 1);
    EXPECT_EQ(a->current, before);
    Result r;
    latest(a.get(), &r);
    EXPECT_EQ(r.snap.scope[0], 1.0);
}

TEST(SpectrumAnalyzer, AbsentAndSurplusChannelsAreSkippedOrCapped) {
    AnalyzerPtr a = makeAnalyzer(8, 10, 8, WINDOW_RECTANGULAR);
    Frames f(10, 8);
    for (int32_t c = 0; c < 10; ++c)
        f.fill(c, 1.0f);
    f.pointers[3] = nullptr;
    analyzerFeed(a.get(), &f.block);
    Result r;
    latest(a.get(), &r);
    // Eight pointers at most, one of them absent: seven channels summed.
    EXPECT_EQ(r.snap.scope[0], 7.0);
    EXPECT_EQ(r.snap.channelPeak[3], 0.0);
    EXPECT_EQ(r.snap.channelPeak[7], 1.0);

    f.block.planes = nullptr;
    analyzerFeed(a.get(), &f.block);
    latest(a.get(), &r);
    EXPECT_EQ(r.snap.scope[0], 0.0);
}

TEST(SpectrumAnalyzer, AnalyzerWithoutPointsStillTakesBlocks) {
    // Rate 0, or no window: no transform at all; rate 1: a transform of one point, no bins.
    for (uint32_t rate : {0u, 1u, 4u}) {
        AnalyzerPtr a = makeAnalyzer(rate, 1, rate == 4 ? 0 : 4, WINDOW_HAMMING);
        ASSERT_TRUE(a);
        Frames f(1, 3);
        f.fill(0, 1.0f);
        analyzerFeed(a.get(), &f.block);
        AnalyzerSnapshot s;
        analyzerSnapshot(a.get(), &s);
        EXPECT_EQ(s.points, 0);
        EXPECT_TRUE(std::isfinite(s.binWidth));
        EXPECT_TRUE(std::isfinite(s.spectrumScale));
        EXPECT_TRUE(std::isfinite(s.spectrumScale2));
        EXPECT_EQ(s.spectrum, nullptr);
        EXPECT_EQ(s.scope, nullptr);
        freeAnalyzerSnapshot(&s);
    }
}

TEST(SpectrumAnalyzer, WindowSettingsApplyFromTheNextFeed) {
    AnalyzerPtr a = makeAnalyzer(8, 1, 8, WINDOW_RECTANGULAR);
    Frames f(1, 8);
    f.fill(0, 1.0f);
    analyzerSetWindow(a.get(), WINDOW_HANN, 0.54f, 8.0f);
    EXPECT_EQ(a->windowType, WINDOW_HANN);
    EXPECT_FLOAT_EQ(a->kaiserAlpha, 8.0f);
    analyzerFeed(a.get(), &f.block);
    Result r;
    latest(a.get(), &r);
    EXPECT_EQ(r.snap.scope[0], 0.0);
}

TEST(ApplyWindow, EdgeAndCentreFactors) {
    struct Case {
        int32_t type;
        float hammingAlpha, kaiserAlpha;
        float edge, centre;
    };
    const auto kaiserEdge = float(1.0 / std::cyl_bessel_i(0.0, 1.5 * PI));
    const Case cases[] = {
        {WINDOW_RECTANGULAR, 0.54f, 1.5f, 1.0f, 1.0f},
        {WINDOW_HANN, 0.54f, 1.5f, 0.0f, 1.0f},
        {WINDOW_HAMMING, 0.54f, 1.5f, 0.08f, 1.0f},
        {WINDOW_GENERALIZED_HAMMING, 0.6f, 1.5f, 0.2f, 1.0f},
        {WINDOW_GENERALIZED_HAMMING, 0.3f, 1.5f, 0.0f, 1.0f}, // clamped to 0.5: Hann
        {WINDOW_GENERALIZED_HAMMING, 1.2f, 1.5f, 1.0f, 1.0f}, // clamped to 1.0: rectangular
        {WINDOW_GENERALIZED_HAMMING, std::nanf(""), 1.5f, 0.0f, 1.0f}, // no number: Hann
        {WINDOW_BLACKMAN, 0.54f, 1.5f, 0.0f, 1.0f},
        {WINDOW_KAISER, 0.54f, 1.5f, kaiserEdge, 1.0f},
        {9, 0.54f, 1.5f, 1.0f, 1.0f},
        {-1, 0.54f, 1.5f, 1.0f, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " alpha " << c.hammingAlpha);
        std::vector<float> x(101, 2.0f);
        applyWindow(x.data(), 101, c.type, c.hammingAlpha, c.kaiserAlpha);
        EXPECT_NEAR(x[0], 2.0f * c.edge, 1e-4);
        EXPECT_NEAR(x[100], 2.0f * c.edge, 1e-4);
        EXPECT_NEAR(x[50], 2.0f * c.centre, 1e-5);
        EXPECT_LE(x[25], 2.0f);
    }
}

TEST(ApplyWindow, ShortLengthsLeaveSamplesAlone) {
    float one = 0.7f;
    for (int32_t type = 0; type <= 5; ++type) {
        applyWindow(&one, 1, type, 0.54f, 8.0f);
        EXPECT_EQ(one, 0.7f) << type;
        applyWindow(nullptr, 0, type, 0.54f, 8.0f);
    }
}

} // namespace
