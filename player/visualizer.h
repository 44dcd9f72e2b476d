// The right half of the alarm popup: a spectrum of bars with an optional falling peak line, or
// an oscilloscope trace, drawn from one snapshot of the popup's analyzer per frame.
#pragma once

#include <cstdint>

class CBitMap;
struct SpectrumAnalyzer;

// Held level of one spectrum point; the popup keeps one per analyzer point, zero-filled.
struct PeakHold {
    int32_t hold; // frames left before the held level starts to fall
    double level; // 0..1, or -1.0 when nothing is held
};

// Visualizer modes: decibel spectrum, two linear spectrum scales, oscilloscope.
constexpr int32_t VISUALIZER_SPECTRUM_DB = 0;
constexpr int32_t VISUALIZER_SPECTRUM_LINEAR = 1;
constexpr int32_t VISUALIZER_SPECTRUM_POWER = 2;
constexpr int32_t VISUALIZER_OSCILLOSCOPE = 3;

// Draws `columns` columns from x = `originX` of `surface` (rows counted from the bottom). No
// analyzer draws nothing. `peaks` may be null (no afterimage); `groupSize` is 1 for one bar per
// column or 5 for bars of four columns; `hover` switches to the highlight colours. Returns 0.
int32_t drawVisualizer(CBitMap* surface, int32_t originX, int32_t columns,
                       const SpectrumAnalyzer* analyzer, PeakHold* peaks, int32_t mode,
                       int32_t groupSize, int32_t hover);
