// The popup's visualizer: spectrum bars with a falling peak line, or an oscilloscope trace, drawn
// into the popup's surface from one analyzer snapshot.
#include "player/visualizer.h"

#include "gfx/draw.h"
#include "player/spectrum_analyzer.h"

#include <cmath>

namespace {

constexpr int32_t BAR_BASE_ROW = 2;
constexpr int32_t FULL_SCALE_ROWS = 47;
constexpr int32_t PEAK_HOLD_FRAMES = 30;
constexpr double PEAK_FALL = 0.02;
constexpr double DECIBEL_SPAN = 72.0;

constexpr uint32_t TRACE_COLOUR = 0xFF32C8;
constexpr uint32_t TRACE_HOVER_COLOUR = 0x1EAAA0;

// Rows far outside any surface are still clipped by drawLine; holding them to this range keeps
// wild sample values from overflowing the conversion to a row number.
constexpr double ROW_LIMIT = 1.0e6;

// Row of trace value v: 0 on row 25, +1 on row 2, -1 on row 49. A value that is not a number
// (a broken decoder) is drawn on the centre row.
int32_t traceRow(double v) {
    double r = std::isnan(v) ? -23.5 : v * FULL_SCALE_ROWS * 0.5 - 23.5;
    if (r < -ROW_LIMIT) r = -ROW_LIMIT;
    if (r > ROW_LIMIT) r = ROW_LIMIT;
    return BAR_BASE_ROW - int32_t(std::trunc(r));
}

// Spectrum point sampled by column i of `columns` (square law: low frequencies get more columns).
uint32_t columnPoint(int32_t i, int32_t columns, int32_t points) {
    float square = float(int64_t(i) * i);
    float full = float(int64_t(columns) * columns);
    auto k = uint32_t(square / full * float(points - 1));
    return k < uint32_t(points) ? k : uint32_t(points - 1);
}

// Scales a group's level to 0..1 by the display mode (decibels for mode 0 and any mode not
// known here); silence and undefined values give 0.
double scaleLevel(double o, const AnalyzerSnapshot& snap, int32_t mode) {
    if (mode == VISUALIZER_SPECTRUM_LINEAR) {
        o = snap.spectrumScale * o / snap.totalLevel * 0.01;
    } else if (mode == VISUALIZER_SPECTRUM_POWER) {
        o = snap.spectrumScale2 * o * 0.000000001;
    } else {
        o = 10.0 * std::log10(snap.spectrumScale * o * 0.000001) / DECIBEL_SPAN + 1.0;
    }
    if (!(o > 0.0)) return 0.0;
    return o > 1.0 ? 1.0 : o;
}

uint32_t barColour(double o, int32_t hover) {
    auto level = uint32_t(o * 255.0);
    return hover ? (10u << 16) | (level << 8) | 200u : (level << 16) | (10u << 8) | 200u;
}

// Holds a new maximum for 30 frames, then lets it fall 0.02 per frame until it is gone.
void updatePeak(PeakHold* peak, double o) {
    if (o > peak->level) {
        peak->level = o;
        peak->hold = PEAK_HOLD_FRAMES;
        return;
    }
    if (peak->hold > 0) --peak->hold;
    if (peak->hold == 0) {
        peak->level -= PEAK_FALL;
        if (peak->level < 0.0) peak->level = -1.0;
    }
}

void drawTrace(CBitMap* surface, int32_t originX, int32_t columns, const AnalyzerSnapshot& snap,
               int32_t hover) {
    if (!snap.scope) return;
    uint32_t colour = hover ? TRACE_HOVER_COLOUR : TRACE_COLOUR;
    double prev = snap.scope[0];
    for (int32_t i = 1; i < columns; ++i) {
        auto k = uint32_t(float(i) / float(columns - 1) * float(snap.points - 1));
        if (k >= uint32_t(snap.points)) k = uint32_t(snap.points - 1);
        double v = snap.scope[k];
        drawLine(surface, originX + i - 1, traceRow(prev), originX + i, traceRow(v), colour);
        prev = v;
    }
}

void drawBars(CBitMap* surface, int32_t originX, int32_t columns, const AnalyzerSnapshot& snap,
              PeakHold* peaks, int32_t mode, int32_t group, int32_t hover) {
    if (!snap.spectrum) return;
    int32_t rightEdge = group <= 1 ? 0 : -1;
    double o = 0.0;
    int32_t count = 0;
    for (int32_t i = 1; i <= columns; ++i) {
        uint32_t k = columnPoint(i, columns, snap.points);
        if (snap.spectrum[k] > o) o = snap.spectrum[k];
        if (++count < group) continue;

        o = scaleLevel(o, snap, mode);
        uint32_t colour = barColour(o, hover);
        int32_t left = originX + i - group;
        int32_t right = originX + i + rightEdge;
        int32_t top = BAR_BASE_ROW + int32_t(FULL_SCALE_ROWS * o);
        fillRect(surface, left, BAR_BASE_ROW, right, top, colour);
        if (peaks) {
            PeakHold* peak = &peaks[k];
            updatePeak(peak, o);
            if (peak->level > 0.0) {
                int32_t row = BAR_BASE_ROW + int32_t(FULL_SCALE_ROWS * peak->level);
                fillRect(surface, left, row, right, row + 1, colour);
            }
        }
        o = 0.0;
        count = 0;
    }
}

} // namespace

int32_t drawVisualizer(CBitMap* surface, int32_t originX, int32_t columns,
                       const SpectrumAnalyzer* analyzer, PeakHold* peaks, int32_t mode,
                       int32_t groupSize, int32_t hover) {
    if (!analyzer || !surface) return 0;
    AnalyzerSnapshot snap;
    analyzerSnapshot(analyzer, &snap);
    // An analyzer too small for a transform has no points to show.
    if (snap.points > 0) {
        if (mode == VISUALIZER_OSCILLOSCOPE) {
            drawTrace(surface, originX, columns, snap, hover);
        } else {
            drawBars(surface, originX, columns, snap, peaks, mode, groupSize < 1 ? 1 : groupSize,
                     hover);
        }
    }
    freeAnalyzerSnapshot(&snap);
    return 0;
}
