#include "player/visualizer.h"

#include "gfx/bitmap.h"
#include "player/spectrum_analyzer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

struct AnalyzerDeleter {
    void operator()(SpectrumAnalyzer* a) const { freeSpectrumAnalyzer(a); }
};
using AnalyzerPtr = std::unique_ptr<SpectrumAnalyzer, AnalyzerDeleter>;

// The popup's 280 × 51 panel with the visualizer on its right half.
constexpr int32_t WIDTH = 280;
constexpr int32_t HEIGHT = 51;
constexpr int32_t ORIGIN = 140;
constexpr int32_t COLUMNS = 136;

// Pixel (x, y) as 0xRRGGBB, y counted from the bottom as the visualizer draws.
uint32_t pixel(const CBitMap& s, int32_t x, int32_t y) {
    const uint8_t* p = s.backBuffer() + size_t(y) * s.stride + size_t(x) * s.bytesPerPixel;
    return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

// Rows of column x that are not black, bottom to top.
std::vector<int32_t> litRows(const CBitMap& s, int32_t x) {
    std::vector<int32_t> rows;
    for (int32_t y = 0; y < s.height(); ++y)
        if (pixel(s, x, y) != 0) rows.push_back(y);
    return rows;
}

std::vector<int32_t> rowRange(int32_t from, int32_t to) {
    std::vector<int32_t> rows;
    for (int32_t y = from; y < to; ++y)
        rows.push_back(y);
    return rows;
}

struct Panel {
    CBitMap surface;
    AnalyzerPtr analyzer;
    std::vector<PeakHold> peaks;

    // An analyzer of 8192 points whose completed half the test fills directly.
    Panel() : analyzer(createSpectrumAnalyzer(44100, 2, 11025)) {
        surface.create(24, WIDTH, HEIGHT);
        peaks.assign(analyzer->points, PeakHold{0, 0.0});
    }
    double* spectrum() { return analyzer->spectrum[1 - analyzer->current]; }
    double* scope() { return analyzer->scope[1 - analyzer->current]; }
    void fillSpectrum(double v) {
        for (uint32_t i = 0; i < analyzer->points; ++i)
            spectrum()[i] = v;
    }
    // The spectrum value that the decibel scale shows at level o.
    double decibelValue(double o) const {
        return std::pow(10.0, (o - 1.0) * 72.0 / 10.0) / 0.000001 / analyzer->spectrumScale;
    }
    // Two flips clear both buffers.
    void clear() {
        surface.flip();
        surface.flip();
    }
    void draw(int32_t mode, int32_t group, int32_t hover, bool withPeaks = true) {
        clear();
        drawVisualizer(&surface, ORIGIN, COLUMNS, analyzer.get(),
                       withPeaks ? peaks.data() : nullptr, mode, group, hover);
    }
};

TEST(Visualizer, WithoutAnalyzerNothingIsDrawnAndPeaksStay) {
    Panel p;
    p.peaks.assign(4, PeakHold{7, 0.5});
    EXPECT_EQ(drawVisualizer(&p.surface, ORIGIN, COLUMNS, nullptr, p.peaks.data(),
                             VISUALIZER_SPECTRUM_DB, 5, 0),
              0);
    for (int32_t x = 0; x < WIDTH; ++x)
        ASSERT_TRUE(litRows(p.surface, x).empty()) << x;
    EXPECT_EQ(p.peaks[0].hold, 7);
    EXPECT_EQ(p.peaks[0].level, 0.5);
}

TEST(Visualizer, GroupsOfFiveDrawFourColumnBarsWithGaps) {
    Panel p;
    p.fillSpectrum(1.0); // far above full scale: every bar is clamped to 47 rows
    p.draw(VISUALIZER_SPECTRUM_DB, 5, 0, false);
    for (int32_t x = 0; x < WIDTH; ++x) {
        int32_t i = x - ORIGIN + 1; // column number of the visualizer, 1-based
        bool inBar = i >= 1 && i <= 135 && i % 5 != 0;
        SCOPED_TRACE(x);
        ASSERT_EQ(litRows(p.surface, x), inBar ? rowRange(2, 49) : std::vector<int32_t>{});
    }
    EXPECT_EQ(pixel(p.surface, 140, 2), 0xFF0AC8u);
    p.draw(VISUALIZER_SPECTRUM_DB, 5, 1, false);
    EXPECT_EQ(pixel(p.surface, 140, 48), 0x0AFFC8u);
}

TEST(Visualizer, GroupOfOneGivesEveryColumnItsBar) {
    Panel p;
    p.fillSpectrum(1.0);
    p.draw(VISUALIZER_SPECTRUM_DB, 1, 0, false);
    for (int32_t x = 0; x < WIDTH; ++x) {
        bool inside = x >= 140 && x <= 275;
        ASSERT_EQ(litRows(p.surface, x), inside ? rowRange(2, 49) : std::vector<int32_t>{}) << x;
    }
    // Group sizes below one draw as single columns rather than nothing.
    p.draw(VISUALIZER_SPECTRUM_DB, 0, 0, false);
    EXPECT_EQ(litRows(p.surface, 275), rowRange(2, 49));
}

TEST(Visualizer, DecibelScaleSetsHeightAndColour) {
    Panel p;
    p.fillSpectrum(p.decibelValue(0.5));
    p.draw(VISUALIZER_SPECTRUM_DB, 1, 0, false);
    // Half scale: 23 rows, red 127.
    EXPECT_EQ(litRows(p.surface, 200), rowRange(2, 25));
    EXPECT_EQ(pixel(p.surface, 200, 2), 0x7F0AC8u);
    p.draw(VISUALIZER_SPECTRUM_DB, 1, 1, false);
    EXPECT_EQ(pixel(p.surface, 200, 2), 0x0A7FC8u);
}

TEST(Visualizer, GroupTakesTheLoudestSampledColumn) {
    Panel p;
    // Columns 1..5 sample points trunc(i² / 136² × 8191) = 0, 1, 3, 7, 11.
    p.spectrum()[7] = p.decibelValue(0.5);
    p.draw(VISUALIZER_SPECTRUM_DB, 5, 0, false);
    for (int32_t x = 140; x < 144; ++x)
        EXPECT_EQ(litRows(p.surface, x), rowRange(2, 25)) << x;
    EXPECT_TRUE(litRows(p.surface, 145).empty());
}

TEST(Visualizer, LinearScalesUseTheirOwnFactors) {
    Panel p;
    p.analyzer->totalLevel[1 - p.analyzer->current] = 1000.0;
    // Mode 1: spectrumScale × v / totalLevel × 0.01 = 0.5.
    p.fillSpectrum(0.5 / 0.01 * 1000.0 / p.analyzer->spectrumScale);
    p.draw(VISUALIZER_SPECTRUM_LINEAR, 1, 0, false);
    EXPECT_EQ(litRows(p.surface, 150), rowRange(2, 25));
    // Mode 2: spectrumScale2 × v × 1e-9 = 0.25 gives trunc(11.75) = 11 rows.
    p.fillSpectrum(0.25 / 0.000000001 / p.analyzer->spectrumScale2);
    p.draw(VISUALIZER_SPECTRUM_POWER, 1, 0, false);
    EXPECT_EQ(litRows(p.surface, 150), rowRange(2, 13));
}

TEST(Visualizer, SilenceDrawsNoBarsInAnyScale) {
    Panel p;
    for (int32_t mode :
         {VISUALIZER_SPECTRUM_DB, VISUALIZER_SPECTRUM_LINEAR, VISUALIZER_SPECTRUM_POWER}) {
        p.draw(mode, 1, 0, false);
        for (int32_t x = 0; x < WIDTH; ++x)
            ASSERT_TRUE(litRows(p.surface, x).empty()) << "mode " << mode << " x " << x;
    }
}

TEST(Visualizer, SilentPeaksAreHeldAtZeroButNeverDrawn) {
    Panel p;
    p.draw(VISUALIZER_SPECTRUM_DB, 5, 0);
    // Column 5 ends the first group and samples point 11. Zero-filled, nothing is held: it falls
    // away at once, and the next silent frame holds 0.
    EXPECT_EQ(p.peaks[11].level, -1.0);
    EXPECT_EQ(p.peaks[11].hold, 0);
    for (int frame = 0; frame < 40; ++frame) {
        p.draw(VISUALIZER_SPECTRUM_DB, 5, 0);
        for (int32_t x = 0; x < WIDTH; ++x)
            ASSERT_TRUE(litRows(p.surface, x).empty()) << frame << " " << x;
    }
    EXPECT_EQ(p.peaks[11].level, 0.0);
}

TEST(Visualizer, PeakHoldsThirtyFramesThenFalls) {
    Panel p;
    const int32_t x = ORIGIN + COLUMNS - 1; // the last column, one point of its own
    p.fillSpectrum(1.0);
    p.draw(VISUALIZER_SPECTRUM_DB, 1, 0); // frame t: full scale, peak at row 49
    EXPECT_EQ(litRows(p.surface, x), rowRange(2, 50));
    p.fillSpectrum(0.0);
    for (int frame = 1; frame <= 29; ++frame) {
        p.draw(VISUALIZER_SPECTRUM_DB, 1, 0);
        ASSERT_EQ(litRows(p.surface, x), std::vector<int32_t>{49}) << frame;
    }
    // The peak line takes the colour of the (silent) bar.
    EXPECT_EQ(pixel(p.surface, x, 49), 0x000AC8u);
    p.draw(VISUALIZER_SPECTRUM_DB, 1, 0); // t + 30: 0.98 → row 2 + 46
    EXPECT_EQ(litRows(p.surface, x), std::vector<int32_t>{48});
    p.draw(VISUALIZER_SPECTRUM_DB, 1, 0); // t + 31: 0.96 → row 2 + 45
    EXPECT_EQ(litRows(p.surface, x), std::vector<int32_t>{47});

    // A rise above the held level holds again for thirty frames at the new level.
    p.fillSpectrum(p.decibelValue(0.99));
    p.draw(VISUALIZER_SPECTRUM_DB, 1, 0);
    p.fillSpectrum(0.0);
    for (int frame = 1; frame <= 29; ++frame)
        p.draw(VISUALIZER_SPECTRUM_DB, 1, 0);
    EXPECT_EQ(litRows(p.surface, x), std::vector<int32_t>{48});
    PeakHold& peak = p.peaks[p.analyzer->points - 1];
    EXPECT_EQ(peak.hold, 1);

    // Falling all the way: below zero the level is released (then silence is held at 0).
    for (int frame = 0; frame < 49; ++frame)
        p.draw(VISUALIZER_SPECTRUM_DB, 1, 0);
    EXPECT_NEAR(peak.level, 0.01, 1e-6);
    p.draw(VISUALIZER_SPECTRUM_DB, 1, 0);
    EXPECT_EQ(peak.level, -1.0);
    EXPECT_TRUE(litRows(p.surface, x).empty());
}

TEST(Visualizer, OscilloscopeRowsAndColours) {
    Panel p;
    p.draw(VISUALIZER_OSCILLOSCOPE, 5, 0);
    // A silent trace is a line on row 25; each segment stops before its end point.
    for (int32_t x = 0; x < WIDTH; ++x) {
        bool drawn = x >= ORIGIN && x <= ORIGIN + COLUMNS - 2;
        ASSERT_EQ(litRows(p.surface, x), drawn ? std::vector<int32_t>{25} : std::vector<int32_t>{})
            << x;
    }
    EXPECT_EQ(pixel(p.surface, ORIGIN, 25), 0xFF32C8u);
    p.draw(VISUALIZER_OSCILLOSCOPE, 5, 1);
    EXPECT_EQ(pixel(p.surface, ORIGIN, 25), 0x1EAAA0u);

    for (uint32_t i = 0; i < p.analyzer->points; ++i)
        p.scope()[i] = 1.0;
    p.draw(VISUALIZER_OSCILLOSCOPE, 5, 0);
    EXPECT_EQ(litRows(p.surface, ORIGIN + 10), std::vector<int32_t>{2});
    for (uint32_t i = 0; i < p.analyzer->points; ++i)
        p.scope()[i] = -1.0;
    p.draw(VISUALIZER_OSCILLOSCOPE, 5, 0);
    EXPECT_EQ(litRows(p.surface, ORIGIN + 10), std::vector<int32_t>{49});
    // Two channels at full scale leave the panel and are clipped away; broken values draw on
    // the centre row instead of overflowing the row arithmetic.
    for (uint32_t i = 0; i < p.analyzer->points; ++i)
        p.scope()[i] = 2.0;
    p.draw(VISUALIZER_OSCILLOSCOPE, 5, 0);
    EXPECT_TRUE(litRows(p.surface, ORIGIN + 10).empty());
    for (uint32_t i = 0; i < p.analyzer->points; ++i)
        p.scope()[i] = std::nan("");
    p.scope()[0] = 1e300;
    p.draw(VISUALIZER_OSCILLOSCOPE, 5, 0);
    EXPECT_EQ(litRows(p.surface, ORIGIN + 10), std::vector<int32_t>{25});
}

TEST(Visualizer, AnalyzerWithoutPointsDrawsNothing) {
    Panel p;
    AnalyzerPtr tiny(createSpectrumAnalyzer(1, 1, 1));
    for (int32_t mode : {VISUALIZER_SPECTRUM_DB, VISUALIZER_OSCILLOSCOPE}) {
        drawVisualizer(&p.surface, ORIGIN, COLUMNS, tiny.get(), nullptr, mode, 5, 0);
        for (int32_t x = 0; x < WIDTH; ++x)
            ASSERT_TRUE(litRows(p.surface, x).empty()) << x;
    }
}

} // namespace
