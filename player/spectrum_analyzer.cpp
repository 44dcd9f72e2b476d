// Spectrum analysis of one voice: channel sum, window, single-precision real-input FFT into one
// half of a double buffer, plus a short waveform trace for the oscilloscope.
#include "player/spectrum_analyzer.h"

#include "platform/platform.h"
#include "player/real_fft.h"

#include <cmath>
#include <emmintrin.h>
#include <cstdlib>
#include <cstring>

namespace {

// The analyzer record followed by the lock that orders the switch of halves against snapshot
// copies. Callers only ever see the leading SpectrumAnalyzer.
struct AnalyzerBlock {
    SpectrumAnalyzer analyzer;
    PlatformLock lock;
    // The factors of the window last applied to the transform's input, kept by the tap thread
    // so that a feed with the same settings and length only multiplies.
    float* window;
    uint32_t windowLength;
    int32_t windowType;
    float hammingAlpha;
    float kaiserAlpha;
};

// Single-precision constants of the analysis, fixed so that every build gives the same factors.
constexpr float PI_F = 3.141593f;
constexpr float TWO_PI_F = 6.283186f;
// 1 - HAMMING_ALPHA, written out: the single-precision difference is not 0.46f.
constexpr float HAMMING_BETA = 0.46f;

// Largest transform we build: one block of this many points already takes 48 × N bytes.
constexpr uint32_t MAX_FFT_SIZE = 1u << 24;

// The window settings one feed works with, read together under the lock.
struct WindowSettings {
    int32_t type;
    float hammingAlpha;
    float kaiserAlpha;
};

AnalyzerBlock* blockOf(const SpectrumAnalyzer* analyzer) {
    return reinterpret_cast<AnalyzerBlock*>(const_cast<SpectrumAnalyzer*>(analyzer));
}

PlatformLock* lockOf(const SpectrumAnalyzer* analyzer) {
    return &blockOf(analyzer)->lock;
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

// out[j] += from[j] for j < count. Returns the largest |from[j]|, or `peak` if none is larger; a
// sample that is not a number never counts (the vector maximum keeps its second operand then).
float addRun(const float* from, float* out, int32_t count, float peak) {
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
    __m128 top = _mm_set1_ps(peak);
    int32_t j = 0;
    for (; j + 4 <= count; j += 4) {
        __m128 sample = _mm_loadu_ps(from + j);
        _mm_storeu_ps(out + j, _mm_add_ps(_mm_loadu_ps(out + j), sample));
        top = _mm_max_ps(_mm_and_ps(sample, magnitude), top);
    }
    float lanes[4];
    _mm_storeu_ps(lanes, top);
    for (float lane : lanes)
        peak = lane > peak ? lane : peak;
    for (; j < count; ++j) {
        out[j] += from[j];
        if (std::fabs(from[j]) > peak) peak = std::fabs(from[j]);
    }
    return peak;
}

// out[j] = sum of frame j over the block's channels, in channel order. With `peaks`, also the
// largest absolute sample per channel. The block may describe a ring: frame j sits at
// j + startOffset before `wrapIndex` and at j - wrapIndex from there on, two runs per channel.
void sumChannels(const TapBlock* block, int32_t count, float* out, double* peaks) {
    std::memset(out, 0, size_t(count) * sizeof(float));
    int32_t beforeWrap = block->wrapIndex < count ? block->wrapIndex : count;
    int32_t channels = blockChannels(block);
    for (int32_t c = 0; c < channels; ++c) {
        const float* plane = block->planes[c];
        if (!plane) continue;
        float peak = addRun(plane + block->startOffset, out, beforeWrap, 0.0f);
        peak = addRun(plane, out + beforeWrap, count - beforeWrap, peak);
        if (peaks && peak > peaks[c]) peaks[c] = peak;
    }
}

// Index into an array of `length` values for point i of `points`, spreading the points evenly.
// Float rounding of very long arrays could step past the end, so the index is held inside.
// `perPoint` is 1 / points, exact because points is a power of two, so i · perPoint equals
// i / points without a division.
uint32_t spreadIndex(uint32_t i, float perPoint, uint32_t length) {
    auto k = uint32_t(float(i) * perPoint * float(length - 1));
    return k < length ? k : length - 1;
}

// re[0 .. M - 1] times the window's factors, made again only when the settings or M changed.
void applyCachedWindow(AnalyzerBlock* block, uint32_t m, const WindowSettings& w) {
    bool same = block->windowLength == m && block->windowType == w.type &&
                block->hammingAlpha == w.hammingAlpha && block->kaiserAlpha == w.kaiserAlpha;
    float* factors = block->window;
    if (!same) {
        for (uint32_t j = 0; j < m; ++j)
            factors[j] = 1.0f;
        applyWindow(factors, m, w.type, w.hammingAlpha, w.kaiserAlpha);
        block->windowLength = m;
        block->windowType = w.type;
        block->hammingAlpha = w.hammingAlpha;
        block->kaiserAlpha = w.kaiserAlpha;
    }
    float* x = block->analyzer.re;
    for (uint32_t j = 0; j < m; ++j)
        x[j] *= factors[j];
}

// Channel sum of the first M frames into re, with the block's peaks and level, windowed over M.
void prepareInput(SpectrumAnalyzer* an, const TapBlock* block, uint32_t m,
                  const WindowSettings& w) {
    uint32_t cur = an->current;
    sumChannels(block, int32_t(m), an->re, an->channelPeak[cur]);
    // Four running sums instead of one: the additions no longer wait for each other.
    double level[4] = {};
    uint32_t j = 0;
    for (; j + 4 <= m; j += 4) {
        for (uint32_t lane = 0; lane < 4; ++lane)
            level[lane] += std::fabs(an->re[j + lane]);
    }
    for (; j < m; ++j)
        level[0] += std::fabs(an->re[j]);
    an->totalLevel[cur] = (level[0] + level[1]) + (level[2] + level[3]);
    applyCachedWindow(blockOf(an), m, w);
}

// The result halves alternate between feeds, so the half a feed writes has long left the cache:
// written through the cache, every line would first be fetched. Streamed stores skip that fetch
// and keep the transform's arrays in the cache. They need 16-byte alignment, which the arrays
// have whenever they hold a multiple of four points (createSpectrumAnalyzer aligns the first).
bool streamable(uint32_t points) {
    return points % 4 == 0;
}

// to[i] = from[i - 1] for 1 <= i < count, and to[0] = from[0]: point 0 and point 1 both show bin 0.
void widenShifted(double* to, const float* from, uint32_t count) {
    uint32_t i = 1;
    if (!streamable(count)) {
        to[0] = from[0];
    } else {
        _mm_stream_pd(to, _mm_set1_pd(from[0]));
        for (i = 2; i + 2 < count; i += 4) {
            __m128 v = _mm_loadu_ps(from + i - 1);
            _mm_stream_pd(to + i, _mm_cvtps_pd(v));
            _mm_stream_pd(to + i + 2, _mm_cvtps_pd(_mm_movehl_ps(v, v)));
        }
    }
    for (; i < count; ++i)
        to[i] = from[i - 1];
}

// Transforms the M windowed samples in re, zero-padded to N, and stores the power of the first
// P bins scaled by 1 / N, bin i - 1 at point i > 1.
void finishSpectrum(SpectrumAnalyzer* an, uint32_t m) {
    uint32_t n = an->fftSize;
    realFftPower(an->re, an->im, an->twiddles, n, m, 1.0f / float(n));
    widenShifted(an->spectrum[an->current], an->im, an->points);
}

// Four trace points from i on: their indices as spreadIndex makes them, in the same single
// precision steps, and the samples widened into two pairs.
void scopeQuad(double* scope, const float* t, uint32_t i, __m128 perPoint, __m128 span,
               __m128i length) {
    __m128 at =
        _mm_cvtepi32_ps(_mm_add_epi32(_mm_set1_epi32(int32_t(i)), _mm_set_epi32(3, 2, 1, 0)));
    __m128i k = _mm_cvttps_epi32(_mm_mul_ps(_mm_mul_ps(at, perPoint), span));
    __m128i inside = _mm_cmplt_epi32(k, length);
    __m128i last = _mm_sub_epi32(length, _mm_set1_epi32(1));
    k = _mm_or_si128(_mm_and_si128(inside, k), _mm_andnot_si128(inside, last));
    alignas(16) int32_t index[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(index), k);
    _mm_stream_pd(scope + i, _mm_set_pd(t[index[1]], t[index[0]]));
    _mm_stream_pd(scope + i + 2, _mm_set_pd(t[index[3]], t[index[2]]));
}

// The trace: P points spread over the Q windowed channel sums in t.
void fillScope(SpectrumAnalyzer* an, const float* t, uint32_t q) {
    double* scope = an->scope[an->current];
    float perPoint = 1.0f / float(an->points);
    uint32_t i = 0;
    // Past MAX_FFT_SIZE frames (only a block longer than the transform has them) the product
    // could round beyond the vector's signed range; the plain loop takes those.
    if (streamable(an->points) && q <= MAX_FFT_SIZE) {
        const __m128 vPerPoint = _mm_set1_ps(perPoint);
        const __m128 span = _mm_set1_ps(float(q - 1));
        const __m128i length = _mm_set1_epi32(int32_t(q));
        for (; i < an->points; i += 4)
            scopeQuad(scope, t, i, vPerPoint, span, length);
    }
    for (; i < an->points; ++i)
        scope[i] = t[spreadIndex(i, perPoint, q)];
}

// A block longer than the transform gets its own trace over all of its frames.
void traceWholeBlock(SpectrumAnalyzer* an, const TapBlock* block, uint32_t q,
                     const WindowSettings& w) {
    auto* t = static_cast<float*>(std::malloc(size_t(q) * sizeof(float)));
    if (!t) return;
    sumChannels(block, int32_t(q), t, nullptr);
    applyWindow(t, q, w.type, w.hammingAlpha, w.kaiserAlpha);
    fillScope(an, t, q);
    std::free(t);
}

double* allocateDoubles(uint32_t count) {
    if (count == 0) return nullptr;
    return static_cast<double*>(std::malloc(size_t(count) * sizeof(double)));
}

void copyDoubles(double* to, const double* from, uint32_t count) {
    if (to) std::memcpy(to, from, size_t(count) * sizeof(double));
}

} // namespace

SpectrumAnalyzer* createSpectrumAnalyzer(uint32_t frameRate, uint32_t channels,
                                         uint32_t maxWindow) {
    uint32_t m = frameRate < maxWindow ? frameRate : maxWindow;
    if (m > MAX_FFT_SIZE) return nullptr;
    uint32_t n = fftSizeFor(m);
    uint32_t p = n / 2;
    size_t tableFloats = n < 2 ? 0 : realFftTableFloats(n);
    size_t bufferFloats = n < 2 ? n : realFftBufferFloats(n);
    // 16 bytes more so that the result arrays can start on a 16-byte boundary.
    size_t bytes = sizeof(AnalyzerBlock) + 16 + 4 * size_t(p) * sizeof(double) +
                   (2 * bufferFloats + n + tableFloats) * sizeof(float);
    auto* block = static_cast<AnalyzerBlock*>(std::calloc(1, bytes));
    if (!block) return nullptr;
    lockInit(&block->lock);

    SpectrumAnalyzer* an = &block->analyzer;
    auto start = reinterpret_cast<uintptr_t>(block + 1);
    auto* doubles = reinterpret_cast<double*>((start + 15) & ~uintptr_t(15));
    an->spectrum[0] = doubles;
    an->spectrum[1] = doubles + p;
    an->scope[0] = doubles + 2 * size_t(p);
    an->scope[1] = doubles + 3 * size_t(p);
    auto* floats = reinterpret_cast<float*>(doubles + 4 * size_t(p));
    an->re = floats;
    an->im = floats + bufferFloats;
    an->twiddles = floats + 2 * bufferFloats;
    block->window = an->twiddles + tableFloats;

    double rate = frameRate;
    double size = n;
    an->channels = channels;
    an->frameRate = frameRate;
    an->points = p;
    an->nyquist = int32_t(frameRate / 2);
    an->current = 0;
    // Without a transform (or without a rate) there are no bins: the scales stay 0 rather
    // than becoming the infinities and NaNs of a division by zero.
    if (n > 0 && frameRate > 0) {
        an->binWidth = rate / size;
        an->fftSizeSquared = size * size;
        an->spectrumScale = size * size / (rate / size);
        an->spectrumScale2 = size * size * size / (rate / size);
    }
    an->stages = log2Of(n);
    an->fftSize = n;
    an->windowType = WINDOW_HAMMING;
    an->hammingAlpha = HAMMING_ALPHA;
    an->kaiserAlpha = KAISER_ALPHA;
    if (n >= 2) fillRealFftTables(an->twiddles, n);
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
    WindowSettings w = {an->windowType, an->hammingAlpha, an->kaiserAlpha};
    lockLeave(lock);

    uint32_t cur = an->current;
    std::memset(an->channelPeak[cur], 0, sizeof(an->channelPeak[cur]));
    an->totalLevel[cur] = 0.0;
    uint32_t n = an->fftSize;
    auto q = uint32_t(block->frames);
    uint32_t m = q < n ? q : n;
    if (n >= 2) prepareInput(an, block, m, w);
    // When the whole block fits the transform, its windowed sum in re is exactly the trace's
    // input: the trace is sampled from it before the transform overwrites it.
    if (q > 0 && an->points > 0) {
        if (q <= n) {
            fillScope(an, an->re, q);
        } else {
            traceWholeBlock(an, block, q, w);
        }
    }
    if (n >= 2) finishSpectrum(an, m);
    // The streamed results are complete before the next feed's switch can publish them.
    _mm_sfence();
    return 1;
}

bool analyzerSnapshot(const SpectrumAnalyzer* analyzer, AnalyzerSnapshot* out) {
    std::memset(out, 0, sizeof(*out));
    out->channels = int32_t(analyzer->channels);
    out->points = int32_t(analyzer->points);
    out->nyquist = analyzer->nyquist;
    out->frameRate = int32_t(analyzer->frameRate);
    out->fftSize = int32_t(analyzer->fftSize);
    out->binWidth = analyzer->binWidth;
    out->fftSizeSquared = analyzer->fftSizeSquared;
    out->spectrumScale = analyzer->spectrumScale;
    out->spectrumScale2 = analyzer->spectrumScale2;
    // Allocated before the lock is taken, so the feed waits at most for the copies.
    out->spectrum = allocateDoubles(analyzer->points);
    out->scope = allocateDoubles(analyzer->points);
    uint32_t tracked = analyzer->channels < uint32_t(ANALYZER_MAX_CHANNELS)
                           ? analyzer->channels
                           : uint32_t(ANALYZER_MAX_CHANNELS);

    PlatformLock* lock = lockOf(analyzer);
    lockEnter(lock);
    uint32_t r = 1 - analyzer->current;
    for (uint32_t c = 0; c < tracked; ++c)
        out->channelPeak[c] = analyzer->channelPeak[r][c];
    out->totalLevel = analyzer->totalLevel[r];
    copyDoubles(out->spectrum, analyzer->spectrum[r], analyzer->points);
    copyDoubles(out->scope, analyzer->scope[r], analyzer->points);
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
            x[i] *= HAMMING_ALPHA - HAMMING_BETA * std::cos(TWO_PI_F * float(i) / d);
        break;
    case WINDOW_GENERALIZED_HAMMING: {
        // Outside 0.5..1.0 the window would go negative or grow toward the edges; a value that
        // is not a number falls back to the Hann end.
        float a = hammingAlpha > 1.0f ? 1.0f : (hammingAlpha >= 0.5f ? hammingAlpha : 0.5f);
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
