#include "player/spectrum_analyzer.h"

#include "platform/platform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace {

// The tap thread's side: constant blocks whose value changes with every feed, so a snapshot
// that mixed two analyses would show two values in one picture.
struct Feeder {
    SpectrumAnalyzer* analyzer;
    int32_t feeds;
    std::atomic<bool> done{false};
};

void feedConstantBlocks(void* arg) {
    auto* feeder = static_cast<Feeder*>(arg);
    std::vector<float> samples(1024);
    float* planes[8] = {samples.data()};
    TapBlock block = {5, 1, 1024, 1024, 0, 0, planes};
    for (int32_t n = 1; n <= feeder->feeds; ++n) {
        for (float& s : samples)
            s = float(n % 64) / 64.0f;
        analyzerFeed(feeder->analyzer, &block);
        if (n % 16 == 0) analyzerSetWindow(feeder->analyzer, WINDOW_RECTANGULAR, 0.54f, 8.0f);
    }
    feeder->done = true;
}

TEST(SpectrumAnalyzerThreads, SnapshotsTakenDuringFeedsAreNeverTorn) {
    SpectrumAnalyzer* analyzer = createSpectrumAnalyzer(1024, 1, 1024);
    ASSERT_NE(analyzer, nullptr);
    analyzer->windowType = WINDOW_RECTANGULAR;
    Feeder feeder{analyzer, 3000};
    PlatformThread thread;
    ASSERT_TRUE(threadStart(&thread, feedConstantBlocks, &feeder, PRIORITY_BELOW_NORMAL));

    int32_t snapshots = 0;
    while (!feeder.done || snapshots < 10) {
        AnalyzerSnapshot s;
        ASSERT_TRUE(analyzerSnapshot(analyzer, &s));
        ASSERT_NE(s.scope, nullptr);
        // A constant block: the whole trace holds one value, all power sits in bin 0 (points 0
        // and 1), and the level is that value over 1024 frames.
        double v = s.scope[0];
        for (int32_t i = 1; i < s.points; ++i)
            ASSERT_EQ(s.scope[i], v) << i;
        EXPECT_FLOAT_EQ(float(s.spectrum[0]), float(v * v));
        EXPECT_FLOAT_EQ(float(s.spectrum[1]), float(v * v));
        EXPECT_EQ(s.spectrum[s.points - 1], 0.0);
        EXPECT_DOUBLE_EQ(s.totalLevel, v * 1024);
        freeAnalyzerSnapshot(&s);
        ++snapshots;
    }
    threadJoin(&thread);
    freeSpectrumAnalyzer(analyzer);
}

} // namespace
