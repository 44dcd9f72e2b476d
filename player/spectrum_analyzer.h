// SpectrumAnalyzer: turns the samples of one playing voice into a power spectrum and a short
// waveform trace. The engine's tap thread feeds it block by block; the popup's paint copies the
// half of the double buffer that the previous feed completed.
#pragma once

#include <cstdint>

#include "sound/sound_engine.h"

// Window functions applied before analysis.
constexpr int32_t WINDOW_RECTANGULAR = 0;
constexpr int32_t WINDOW_HANN = 1;
constexpr int32_t WINDOW_HAMMING = 2;
constexpr int32_t WINDOW_GENERALIZED_HAMMING = 3;
constexpr int32_t WINDOW_BLACKMAN = 4;
constexpr int32_t WINDOW_KAISER = 5;
// The window parameters an analyzer starts with: the Hamming coefficient (also the starting alpha
// of the generalized Hamming window) and the Kaiser alpha. The popup keeps both.
constexpr float HAMMING_ALPHA = 0.54f;
constexpr float KAISER_ALPHA = 1.5f;

constexpr int ANALYZER_MAX_CHANNELS = 8;

struct SpectrumAnalyzer {
    uint32_t channels;
    uint32_t frameRate;
    uint32_t points; // P = N / 2, the length of every result array
    int32_t nyquist;
    uint32_t current; // half written by the latest (or running) feed
    double channelPeak[2][ANALYZER_MAX_CHANNELS];
    double totalLevel[2];
    double* spectrum[2];
    double* scope[2];
    double binWidth;
    double fftSizeSquared;
    double spectrumScale;
    double spectrumScale2;
    uint32_t stages;
    uint32_t fftSize; // N
    float* re;
    float* im;
    float* twiddles; // factor tables of the real-input transform (player/real_fft.h)
    // Set by the owner through analyzerSetWindow (before the first feed they may also be written
    // directly); they take effect at the next feed.
    int32_t windowType;
    float hammingAlpha;
    float kaiserAlpha;
};

// One completed analysis, copied out for drawing. The caller frees `spectrum` and `scope` with
// freeAnalyzerSnapshot.
struct AnalyzerSnapshot {
    int32_t channels;
    int32_t points;
    int32_t nyquist;
    int32_t frameRate;
    int32_t fftSize;
    double binWidth;
    double fftSizeSquared;
    double spectrumScale;
    double spectrumScale2;
    double channelPeak[ANALYZER_MAX_CHANNELS];
    double totalLevel;
    double* spectrum; // P values, or null when the copy could not be allocated
    double* scope;    // P values, or null likewise
};

// An analyzer for `frameRate` frames per second and `channels` channels whose FFT covers at
// most `maxWindow` frames (rounded up to a power of two). Null when memory runs out.
SpectrumAnalyzer* createSpectrumAnalyzer(uint32_t frameRate, uint32_t channels, uint32_t maxWindow);
// Frees the analyzer and its arrays as one block. Null is ignored.
void freeSpectrumAnalyzer(SpectrumAnalyzer* analyzer);
// Sets the window applied from the next feed on. Safe while the tap thread feeds.
void analyzerSetWindow(SpectrumAnalyzer* analyzer, int32_t type, float hammingAlpha,
                       float kaiserAlpha);
// The voice tap: analyses one block into the other half of the double buffer. Returns 1; a block
// whose wrap index and start offset would read outside its frames is ignored. Tap thread only.
int32_t analyzerFeed(void* analyzer, const TapBlock* block);
// Copies the half completed by the previous feed. Always true. Safe while the tap thread feeds:
// a short lock keeps the feed from switching halves during the copy.
bool analyzerSnapshot(const SpectrumAnalyzer* analyzer, AnalyzerSnapshot* out);
// Frees the two arrays of a snapshot.
void freeAnalyzerSnapshot(AnalyzerSnapshot* snapshot);
// Applies window `type` in place to x[0 .. length - 1].
void applyWindow(float* x, uint32_t length, int32_t type, float hammingAlpha, float kaiserAlpha);
