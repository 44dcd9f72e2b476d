// Spectrum analysis of one voice: channel sum, window, single-precision radix-2 FFT into one half
// of a double buffer, plus a short waveform trace for the oscilloscope.
#include "player/spectrum_analyzer.h"

#include "platform/platform.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// The analyzer record followed by the lock that orders the switch of halves against snapshot
// copies. Callers only ever see the leading SpectrumAnalyzer.
struct AnalyzerBlock {
    SpectrumAnalyzer analyzer;
    PlatformLock lock;
};

// Single-precision constants of the analysis, fixed so that every build gives the same factors.
constexpr float PI_F = 3.141593f;
constexpr float TWO_PI_F = 6.283186f;

// Largest transform we build: one block of this many points already takes 48 × N bytes.
constexpr uint32_t MAX_FFT_SIZE = 1u << 24;

PlatformLock* lockOf(const SpectrumAnalyzer* analyzer) {
    auto* block = reinterpret_cast<AnalyzerBlock*>(const_cast<SpectrumAnalyzer*>(analyzer));
    return &block->lock;
}

uint32_t fftSizeFor(uint32_t frames) {
    uint32_t n = 1;
    while (n < frames)
        n <<= 1;
    return frames == 0 ? 0 : n;
}

uint32_t log2Of(uint32_t n) {
    uint32_t stages = 0;
    while ((2u << stages) <= n)
        ++stages;
    return n < 2 ? 0 : stages;
}

void fillTwiddles(float* twiddles, uint32_t n, uint32_t stages) {
    float theta = PI_F / float(n);
    for (uint32_t s = 0; s < stages; ++s) {
        theta *= 2.0f;
        uint32_t count = n >> (s + 1);
        for (uint32_t l = 0; l < count; ++l) {
            float angle = float(l) * theta;
            *twiddles++ = std::cos(angle);
            *twiddles++ = std::sin(angle);
        }
    }
}

// I0 by its power series, first 20 terms, in single precision.
float besselI0(float z) {
    float half = z / 2.0f;
    float term = 1.0f;
    float sum = 1.0f;
    for (int k = 1; k < 20; ++k) {
        term *= half / float(k);
        sum += term * term;
    }
    return sum;
}

// Where frame j of a channel sits: the block may describe a ring that starts at `startOffset`
// and wraps after `wrapIndex` frames.
int32_t frameIndex(const TapBlock* block, int32_t j) {
    return j < block->wrapIndex ? j + block->startOffset : j - block->wrapIndex;
}

// A layout whose indices would leave the block's frames is refused as a whole.
bool blockReadable(const TapBlock* block) {
    if (block->frames < 0 || block->channels < 0) return false;
    if (block->wrapIndex < 0 || block->startOffset < 0) return false;
    return int64_t(block->wrapIndex) + block->startOffset <= block->frames;
}

int32_t blockChannels(const TapBlock* block) {
    if (!block->planes) return 0;
    return block->channels < ANALYZER_MAX_CHANNELS ? block->channels : ANALYZER_MAX_CHANNELS;
}

// out[j] = sum of frame j over the block's channels, in channel order. With `peaks`, also the
// largest absolute sample per channel.
void sumChannels(const TapBlock* block, int32_t count, float* out, double* peaks) {
    std::memset(out, 0, size_t(count) * sizeof(float));
    int32_t channels = blockChannels(block);
    for (int32_t c = 0; c < channels; ++c) {
        const float* plane = block->planes[c];
        if (!plane) continue;
        for (int32_t j = 0; j < count; ++j) {
            float sample = plane[frameIndex(block, j)];
            out[j] += sample;
            if (peaks && std::fabs(sample) > peaks[c]) peaks[c] = std::fabs(sample);
        }
    }
}

// Decimation in frequency, in place, natural order in, bit-reversed order out. Each butterfly
// multiplies the difference by (wr + i·wi) from the stage's slice of the twiddle table.
void transform(float* re, float* im, const float* twiddles, uint32_t n, uint32_t stages) {
    for (uint32_t s = 0; s < stages; ++s) {
        uint32_t span = n >> s;
        uint32_t half = span / 2;
        for (uint32_t base = 0; base < n; base += span) {
            for (uint32_t k = 0; k < half; ++k) {
                float wr = twiddles[2 * k];
                float wi = twiddles[2 * k + 1];
                uint32_t a = base + k;
                uint32_t b = a + half;
                float tr = re[a] - re[b];
                float ti = im[a] - im[b];
                re[a] = re[a] + re[b];
                im[a] = im[a] + im[b];
                re[b] = tr * wr - ti * wi;
                im[b] = ti * wr + tr * wi;
            }
        }
        twiddles += 2 * half;
    }
}

void bitReverse(float* re, float* im, uint32_t n) {
    uint32_t j = n / 2;
    for (uint32_t i = 1; i + 1 < n; ++i) {
        if (i < j) {
            float t = re[i];
            re[i] = re[j];
            re[j] = t;
            t = im[i];
            im[i] = im[j];
            im[j] = t;
        }
        uint32_t k = n / 2;
        while (k <= j) {
            j -= k;
            k /= 2;
        }
        j += k;
    }
}

// Index into an array of `length` values for point i of `points`, spreading the points evenly.
// Float rounding of very long arrays could step past the end, so the index is held inside.
uint32_t spreadIndex(uint32_t i, uint32_t points, uint32_t length) {
    auto k = uint32_t(float(i) / float(points) * float(length - 1));
    return k < length ? k : length - 1;
}

void analyseSpectrum(SpectrumAnalyzer* an, const TapBlock* block, int32_t window, float hamming,
                     float kaiser) {
    uint32_t n = an->fftSize;
    if (n < 2) return;
    uint32_t cur = an->current;
    uint32_t m = uint32_t(block->frames) < n ? uint32_t(block->frames) : n;
    sumChannels(block, int32_t(m), an->re, an->channelPeak[cur]);
    double level = 0.0;
    for (uint32_t j = 0; j < m; ++j)
        level += std::fabs(an->re[j]);
    an->totalLevel[cur] = level;
    applyWindow(an->re, m, window, hamming, kaiser);
    std::memset(an->re + m, 0, size_t(n - m) * sizeof(float));
    std::memset(an->im, 0, size_t(n) * sizeof(float));
    transform(an->re, an->im, an->twiddles, n, an->stages);
    bitReverse(an->re, an->im, n);
    uint32_t p = an->points;
    float scale = 1.0f / float(n);
    for (uint32_t i = 0; i < p; ++i) {
        an->re[i] *= scale;
        an->im[i] *= scale;
    }
    double* spectrum = an->spectrum[cur];
    for (uint32_t i = 0; i < p; ++i) {
        uint32_t k = spreadIndex(i, p, p);
        spectrum[i] = an->re[k] * an->re[k] + an->im[k] * an->im[k];
    }
}

void analyseTrace(SpectrumAnalyzer* an, const TapBlock* block, int32_t window, float hamming,
                  float kaiser) {
    auto q = uint32_t(block->frames);
    if (q == 0) return;
    auto* t = static_cast<float*>(std::malloc(size_t(q) * sizeof(float)));
    if (!t) return;
    sumChannels(block, int32_t(q), t, nullptr);
    applyWindow(t, q, window, hamming, kaiser);
    double* scope = an->scope[an->current];
    for (uint32_t i = 0; i < an->points; ++i)
        scope[i] = t[spreadIndex(i, an->points, q)];
    std::free(t);
}

double* copyDoubles(const double* from, uint32_t count) {
    if (count == 0) return nullptr;
    auto* to = static_cast<double*>(std::malloc(size_t(count) * sizeof(double)));
    if (to) std::memcpy(to, from, size_t(count) * sizeof(double));
    return to;
}

} // namespace

SpectrumAnalyzer* createSpectrumAnalyzer(uint32_t frameRate, uint32_t channels,
                                         uint32_t maxWindow) {
    uint32_t m = frameRate < maxWindow ? frameRate : maxWindow;
    if (m > MAX_FFT_SIZE) return nullptr;
    uint32_t n = fftSizeFor(m);
    uint32_t p = n / 2;
    uint32_t pairs = n == 0 ? 0 : n - 1;
    size_t bytes = sizeof(AnalyzerBlock) + 4 * size_t(p) * sizeof(double) +
                   2 * size_t(n) * sizeof(float) + 2 * size_t(pairs) * sizeof(float);
    auto* block = static_cast<AnalyzerBlock*>(std::calloc(1, bytes));
    if (!block) return nullptr;
    lockInit(&block->lock);

    SpectrumAnalyzer* an = &block->analyzer;
    auto* doubles = reinterpret_cast<double*>(block + 1);
    an->spectrum[0] = doubles;
    an->spectrum[1] = doubles + p;
    an->scope[0] = doubles + 2 * size_t(p);
    an->scope[1] = doubles + 3 * size_t(p);
    auto* floats = reinterpret_cast<float*>(doubles + 4 * size_t(p));
    an->re = floats;
    an->im = floats + n;
    an->twiddles = floats + 2 * size_t(n);

    double rate = frameRate;
    double size = n;
    an->channels = channels;
    an->frameRate = frameRate;
    an->points = p;
    an->nyquist = int32_t(frameRate / 2);
    an->current = 0;
    an->binWidth = rate / size;
    an->fftSizeSquared = size * size;
    an->spectrumScale = size * size / (rate / size);
    an->spectrumScale2 = size * size * size / (rate / size);
    an->stages = log2Of(n);
    an->fftSize = n;
    an->windowType = WINDOW_HAMMING;
    an->hammingAlpha = 0.54f;
    an->kaiserAlpha = 1.5f;
    fillTwiddles(an->twiddles, n, an->stages);
    return an;
}

void freeSpectrumAnalyzer(SpectrumAnalyzer* analyzer) {
    if (!analyzer) return;
    lockDestroy(lockOf(analyzer));
    std::free(reinterpret_cast<AnalyzerBlock*>(analyzer));
}

void analyzerSetWindow(SpectrumAnalyzer* analyzer, int32_t type, float hammingAlpha,
                       float kaiserAlpha) {
    PlatformLock* lock = lockOf(analyzer);
    lockEnter(lock);
    analyzer->windowType = type;
    analyzer->hammingAlpha = hammingAlpha;
    analyzer->kaiserAlpha = kaiserAlpha;
    lockLeave(lock);
}

int32_t analyzerFeed(void* analyzer, const TapBlock* block) {
    auto* an = static_cast<SpectrumAnalyzer*>(analyzer);
    if (!an || !block || !blockReadable(block)) return 1;
    // Only the switch and the window settings are taken under the lock: the half being written
    // from here on is the one no snapshot reads until the next switch.
    PlatformLock* lock = lockOf(an);
    lockEnter(lock);
    an->current = 1 - an->current;
    int32_t window = an->windowType;
    float hamming = an->hammingAlpha;
    float kaiser = an->kaiserAlpha;
    lockLeave(lock);

    uint32_t cur = an->current;
    std::memset(an->channelPeak[cur], 0, sizeof(an->channelPeak[cur]));
    an->totalLevel[cur] = 0.0;
    analyseSpectrum(an, block, window, hamming, kaiser);
    analyseTrace(an, block, window, hamming, kaiser);
    return 1;
}

bool analyzerSnapshot(const SpectrumAnalyzer* analyzer, AnalyzerSnapshot* out) {
    std::memset(out, 0, sizeof(*out));
    PlatformLock* lock = lockOf(analyzer);
    lockEnter(lock);
    uint32_t r = 1 - analyzer->current;
    out->channels = int32_t(analyzer->channels);
    out->points = int32_t(analyzer->points);
    out->nyquist = analyzer->nyquist;
    out->frameRate = int32_t(analyzer->frameRate);
    out->fftSize = int32_t(analyzer->fftSize);
    out->binWidth = analyzer->binWidth;
    out->fftSizeSquared = analyzer->fftSizeSquared;
    out->spectrumScale = analyzer->spectrumScale;
    out->spectrumScale2 = analyzer->spectrumScale2;
    uint32_t tracked = analyzer->channels < uint32_t(ANALYZER_MAX_CHANNELS)
                           ? analyzer->channels
                           : uint32_t(ANALYZER_MAX_CHANNELS);
    for (uint32_t c = 0; c < tracked; ++c)
        out->channelPeak[c] = analyzer->channelPeak[r][c];
    out->totalLevel = analyzer->totalLevel[r];
    out->spectrum = copyDoubles(analyzer->spectrum[r], analyzer->points);
    out->scope = copyDoubles(analyzer->scope[r], analyzer->points);
    lockLeave(lock);
    return true;
}

void freeAnalyzerSnapshot(AnalyzerSnapshot* snapshot) {
    std::free(snapshot->spectrum);
    std::free(snapshot->scope);
    snapshot->spectrum = nullptr;
    snapshot->scope = nullptr;
}

void applyWindow(float* x, uint32_t length, int32_t type, float hammingAlpha, float kaiserAlpha) {
    // A single sample has no span to shape; the formulas would divide by zero.
    if (length < 2) return;
    float d = float(length - 1);
    switch (type) {
    case WINDOW_HANN:
        for (uint32_t i = 0; i < length; ++i)
            x[i] *= 0.5f - 0.5f * std::cos(TWO_PI_F * float(i) / d);
        break;
    case WINDOW_HAMMING:
        for (uint32_t i = 0; i < length; ++i)
            x[i] *= 0.54f - 0.46f * std::cos(TWO_PI_F * float(i) / d);
        break;
    case WINDOW_GENERALIZED_HAMMING: {
        float a = hammingAlpha < 0.5f ? 0.5f : (hammingAlpha > 1.0f ? 1.0f : hammingAlpha);
        for (uint32_t i = 0; i < length; ++i)
            x[i] *= a - (1.0f - a) * std::cos(TWO_PI_F * float(i) / d);
        break;
    }
    case WINDOW_BLACKMAN:
        for (uint32_t i = 0; i < length; ++i) {
            float phase = TWO_PI_F * float(i) / d;
            x[i] *= 0.42f - 0.5f * std::cos(phase) + 0.08f * std::cos(2.0f * phase);
        }
        break;
    case WINDOW_KAISER: {
        float b = PI_F * kaiserAlpha;
        float norm = besselI0(b);
        for (uint32_t i = 0; i < length; ++i) {
            float r = 2.0f * float(i) / d - 1.0f;
            x[i] *= besselI0(b * std::sqrt(1.0f - r * r)) / norm;
        }
        break;
    }
    default:
        break;
    }
}
