// Real-input power spectrum: N / 2-point complex FFT (radix-4 decimation in frequency on split
// real and imaginary arrays, four butterflies per SSE2 instruction) plus the split step.
#include "player/real_fft.h"

#include <cmath>
#include <cstring>
#include <emmintrin.h>

#ifndef __SSE2__
#error "The spectrum transform needs SSE2"
#endif

namespace {

constexpr double TWO_PI = 6.283185307179586;

// Below this many complex points the plain radix-2 loop runs: the vector stages need at least
// four groups side by side in their last two or three stages.
constexpr uint32_t MIN_VECTOR_POINTS = 16;

uint32_t log2Of(uint32_t n) {
    uint32_t bits = 0;
    while ((2u << bits) <= n)
        ++bits;
    return bits;
}

uint32_t reverseBits(uint32_t k, uint32_t bits) {
    k = ((k >> 1) & 0x55555555u) | ((k & 0x55555555u) << 1);
    k = ((k >> 2) & 0x33333333u) | ((k & 0x33333333u) << 2);
    k = ((k >> 4) & 0x0F0F0F0Fu) | ((k & 0x0F0F0F0Fu) << 4);
    k = ((k >> 8) & 0x00FF00FFu) | ((k & 0x00FF00FFu) << 8);
    k = (k >> 16) | (k << 16);
    return bits == 0 ? 0 : k >> (32 - bits);
}

// The radix-4 stages run down to groups of 16 (an even number of stages, ending in a final
// radix-4 over groups of 4) or of 32 (odd, ending in a final radix-8 over groups of 8).
uint32_t lastSpan(uint32_t bits) {
    return bits % 2 ? 8 : 4;
}

// Each radix-4 stage stores, per run of four butterflies, the real and imaginary parts of w^k,
// w^2k and w^3k for the four k: 24 floats.
size_t stageTableFloats(uint32_t h) {
    if (h < MIN_VECTOR_POINTS) return 0;
    size_t floats = 0;
    for (uint32_t span = h; span > lastSpan(log2Of(h)); span /= 4)
        floats += 6 * size_t(span / 4);
    return floats;
}

// The arrays' strides are powers of two, and so are the cache's set strides: the four quarters of
// the last stages (and the real and imaginary arrays) would all compete for one set. A gap of one
// cache line every 1,024 floats, and one between the real and imaginary arrays, spreads them.
constexpr uint32_t BLOCK_SHIFT = 10;
constexpr uint32_t GAP = 16;

uint32_t skewed(uint32_t at) {
    return at + (at >> BLOCK_SHIFT) * GAP;
}

// Four complex values, real and imaginary parts apart.
struct Cv {
    __m128 re, im;
};

Cv load(const float* re, const float* im, uint32_t at) {
    return {_mm_loadu_ps(re + at), _mm_loadu_ps(im + at)};
}

void store(float* re, float* im, uint32_t at, Cv v) {
    _mm_storeu_ps(re + at, v.re);
    _mm_storeu_ps(im + at, v.im);
}

Cv add(Cv a, Cv b) {
    return {_mm_add_ps(a.re, b.re), _mm_add_ps(a.im, b.im)};
}

Cv sub(Cv a, Cv b) {
    return {_mm_sub_ps(a.re, b.re), _mm_sub_ps(a.im, b.im)};
}

Cv mul(Cv a, __m128 wr, __m128 wi) {
    return {_mm_sub_ps(_mm_mul_ps(a.re, wr), _mm_mul_ps(a.im, wi)),
            _mm_add_ps(_mm_mul_ps(a.re, wi), _mm_mul_ps(a.im, wr))};
}

// Factor j (1, 2 or 3) of a run of four butterflies in a stage table.
Cv mulTable(Cv a, const float* run, int j) {
    return mul(a, _mm_loadu_ps(run + 8 * (j - 1)), _mm_loadu_ps(run + 8 * (j - 1) + 4));
}

// a · (−i)
Cv mulMinusI(Cv a) {
    return {a.im, _mm_sub_ps(_mm_setzero_ps(), a.re)};
}

// a · e^(−iπ/4) and a · e^(−3iπ/4)
Cv mulEighth(Cv a) {
    const __m128 c = _mm_set1_ps(0.70710678f);
    return {_mm_mul_ps(c, _mm_add_ps(a.re, a.im)), _mm_mul_ps(c, _mm_sub_ps(a.im, a.re))};
}

Cv mulThreeEighths(Cv a) {
    const __m128 c = _mm_set1_ps(0.70710678f);
    return {_mm_mul_ps(c, _mm_sub_ps(a.im, a.re)),
            _mm_mul_ps(c, _mm_sub_ps(_mm_setzero_ps(), _mm_add_ps(a.re, a.im)))};
}

void transpose(Cv& a, Cv& b, Cv& c, Cv& d) {
    _MM_TRANSPOSE4_PS(a.re, b.re, c.re, d.re);
    _MM_TRANSPOSE4_PS(a.im, b.im, c.im, d.im);
}

// One radix-4 butterfly without its factors: y[j] feeds the bins j modulo 4 of the group.
struct Quad {
    Cv y0, y1, y2, y3;
};

Quad radix4(Cv a0, Cv a1, Cv a2, Cv a3) {
    Cv t0 = add(a0, a2);
    Cv t1 = sub(a0, a2);
    Cv t2 = add(a1, a3);
    Cv t3 = mulMinusI(sub(a1, a3));
    return {add(t0, t2), add(t1, t3), sub(t0, t2), sub(t1, t3)};
}

// A radix-4 stage over groups of `span`. Bins 0, 2, 1, 3 modulo 4 go to the group's quarters in
// that (bit-reversed) order, so every stage leaves its outputs where the next expects them.
void radix4Stage(float* re, float* im, const float* table, uint32_t h, uint32_t span) {
    uint32_t q = span / 4;
    for (uint32_t g = 0; g < h; g += span) {
        float* r = re + g;
        float* i = im + g;
        const float* run = table;
        for (uint32_t k = 0; k < q; k += 4, run += 24) {
            Quad y = radix4(load(r, i, k), load(r, i, k + q), load(r, i, k + 2 * q),
                            load(r, i, k + 3 * q));
            store(r, i, k, y.y0);
            store(r, i, k + q, mulTable(y.y2, run, 2));
            store(r, i, k + 2 * q, mulTable(y.y1, run, 1));
            store(r, i, k + 3 * q, mulTable(y.y3, run, 3));
        }
    }
}

// The same stage when only the first `filled` values of each group's first quarter can be
// non-zero: the other three inputs of every butterfly are zero, so each output is that one
// value times its factor, and the rest of every quarter stays zero.
void spreadStage(float* re, float* im, const float* table, uint32_t h, uint32_t span,
                 uint32_t filled) {
    uint32_t q = span / 4;
    for (uint32_t g = 0; g < h; g += span) {
        float* r = re + g;
        float* i = im + g;
        const float* run = table;
        for (uint32_t k = 0; k < filled; k += 4, run += 24) {
            Cv a = load(r, i, k);
            store(r, i, k + q, mulTable(a, run, 2));
            store(r, i, k + 2 * q, mulTable(a, run, 1));
            store(r, i, k + 3 * q, mulTable(a, run, 3));
        }
        for (uint32_t quarter = 0; quarter < 4; ++quarter) {
            std::memset(r + quarter * q + filled, 0, (q - filled) * sizeof(float));
            std::memset(i + quarter * q + filled, 0, (q - filled) * sizeof(float));
        }
    }
}

// y[j] of the butterflies whose bins start at `bin` go to bin + j · step, in the skewed layout.
void storeBins(float* re, float* im, uint32_t bin, uint32_t step, const Quad& y) {
    store(re, im, skewed(bin), y.y0);
    store(re, im, skewed(bin + step), y.y1);
    store(re, im, skewed(bin + 2 * step), y.y2);
    store(re, im, skewed(bin + 3 * step), y.y3);
}

// The last stages run on four groups side by side, one from each quarter of the array, moved
// into lanes by a transpose. Taken in the order 0, 2, 1, 3 their outputs are four consecutive
// bins, so every result is stored straight into natural order.
void lastStagesOf4(const float* re, const float* im, float* outRe, float* outIm, uint32_t h,
                   uint32_t bits) {
    uint32_t quarter = h / 4;
    for (uint32_t at = 0; at < quarter; at += 4) {
        Cv a0 = load(re, im, at);
        Cv a1 = load(re, im, at + 2 * quarter);
        Cv a2 = load(re, im, at + quarter);
        Cv a3 = load(re, im, at + 3 * quarter);
        transpose(a0, a1, a2, a3);
        storeBins(outRe, outIm, reverseBits(at, bits), quarter, radix4(a0, a1, a2, a3));
    }
}

// Groups of 8: one radix-2 step with the eighth-turn factors, then a radix-4 on each half.
void lastStagesOf8(const float* re, const float* im, float* outRe, float* outIm, uint32_t h,
                   uint32_t bits) {
    uint32_t quarter = h / 4;
    for (uint32_t at = 0; at < quarter; at += 8) {
        Cv a0 = load(re, im, at);
        Cv a1 = load(re, im, at + 2 * quarter);
        Cv a2 = load(re, im, at + quarter);
        Cv a3 = load(re, im, at + 3 * quarter);
        Cv a4 = load(re, im, at + 4);
        Cv a5 = load(re, im, at + 2 * quarter + 4);
        Cv a6 = load(re, im, at + quarter + 4);
        Cv a7 = load(re, im, at + 3 * quarter + 4);
        transpose(a0, a1, a2, a3);
        transpose(a4, a5, a6, a7);
        Quad even = radix4(add(a0, a4), add(a1, a5), add(a2, a6), add(a3, a7));
        Quad odd = radix4(sub(a0, a4), mulEighth(sub(a1, a5)), mulMinusI(sub(a2, a6)),
                          mulThreeEighths(sub(a3, a7)));
        uint32_t bin = reverseBits(at, bits);
        storeBins(outRe, outIm, bin, quarter, even);
        storeBins(outRe, outIm, bin + h / 8, quarter, odd);
    }
}

void vectorTransform(float* re, float* im, float* outRe, float* outIm, const float* table,
                     uint32_t h, uint32_t bits, uint32_t filled) {
    uint32_t last = lastSpan(bits);
    if (filled > h / 4) {
        std::memset(re + filled, 0, (h - filled) * sizeof(float));
        std::memset(im + filled, 0, (h - filled) * sizeof(float));
    }
    for (uint32_t span = h; span > last; span /= 4) {
        uint32_t q = span / 4;
        if (filled <= q) {
            spreadStage(re, im, table, h, span, filled);
        } else {
            radix4Stage(re, im, table, h, span);
            filled = q;
        }
        table += 6 * q;
    }
    if (last == 4) {
        lastStagesOf4(re, im, outRe, outIm, h, bits);
    } else {
        lastStagesOf8(re, im, outRe, outIm, h, bits);
    }
}

// Transforms too short for the vector stages: radix-2 in place, then into natural order.
// (wc, ws) at k·N / span is the factor of butterfly k in a group of `span`.
void smallTransform(float* re, float* im, float* outRe, float* outIm, const float* wc,
                    const float* ws, uint32_t h, uint32_t bits) {
    for (uint32_t span = h; span >= 2; span /= 2) {
        uint32_t half = span / 2;
        uint32_t step = h / half;
        for (uint32_t g = 0; g < h; g += span) {
            for (uint32_t k = 0; k < half; ++k) {
                uint32_t a = g + k;
                uint32_t b = a + half;
                float tr = re[a] - re[b];
                float ti = im[a] - im[b];
                re[a] += re[b];
                im[a] += im[b];
                re[b] = tr * wc[k * step] - ti * ws[k * step];
                im[b] = tr * ws[k * step] + ti * wc[k * step];
            }
        }
    }
    for (uint32_t i = 0; i < h; ++i) {
        uint32_t bin = skewed(reverseBits(i, bits));
        outRe[bin] = re[i];
        outIm[bin] = im[i];
    }
}

// The split step for bins k and H − k from the packed transform Z: with A = Z[k] + conj Z[H−k]
// and B = (Z[k] − conj Z[H−k]) / i, X[k] = (A + W^k B) / 2 and |X[H−k]| = |A − W^k B| / 2.
void splitPair(const float* zr, const float* zi, const float* wc, const float* ws, uint32_t h,
               float half, uint32_t k, float* power) {
    uint32_t m = (h - k) & (h - 1);
    uint32_t sk = skewed(k);
    uint32_t sm = skewed(m);
    float ar = zr[sk] + zr[sm];
    float ai = zi[sk] - zi[sm];
    float br = zi[sk] + zi[sm];
    float bi = zr[sm] - zr[sk];
    float wbr = wc[k] * br - ws[k] * bi;
    float wbi = wc[k] * bi + ws[k] * br;
    float xr = (ar + wbr) * half;
    float xi = (ai + wbi) * half;
    power[k] = xr * xr + xi * xi;
    // Bin 0 pairs with itself through bin H, which is not kept.
    if (k == 0) return;
    float yr = (ar - wbr) * half;
    float yi = (ai - wbi) * half;
    power[m] = yr * yr + yi * yi;
}

__m128 reversed(__m128 v) {
    return _mm_shuffle_ps(v, v, _MM_SHUFFLE(0, 1, 2, 3));
}

__m128 norm(__m128 re, __m128 im) {
    return _mm_add_ps(_mm_mul_ps(re, re), _mm_mul_ps(im, im));
}

// Z[k .. k + 3] for k one past a multiple of four, from the two aligned runs around it: a run of
// four starting at a multiple of four never crosses a gap of the skewed layout.
__m128 afterFirst(const float* z, uint32_t k) {
    __m128 low = _mm_loadu_ps(z + skewed(k - 1));
    __m128 high = _mm_loadu_ps(z + skewed(k + 3));
    __m128 rotated = _mm_move_ss(low, high);
    return _mm_shuffle_ps(rotated, rotated, _MM_SHUFFLE(0, 3, 2, 1));
}

void splitPower(const float* zr, const float* zi, const float* wc, const float* ws, uint32_t h,
                float scale, float* power) {
    float half = scale * 0.5f;
    splitPair(zr, zi, wc, ws, h, half, 0, power);
    uint32_t k = 1;
    const __m128 vhalf = _mm_set1_ps(half);
    for (; k + 3 <= h / 2; k += 4) {
        Cv z = {afterFirst(zr, k), afterFirst(zi, k)};
        Cv zm = load(zr, zi, skewed(h - k - 3));
        zm = {reversed(zm.re), reversed(zm.im)};
        __m128 ar = _mm_add_ps(z.re, zm.re);
        __m128 ai = _mm_sub_ps(z.im, zm.im);
        Cv wb = mul({_mm_add_ps(z.im, zm.im), _mm_sub_ps(zm.re, z.re)}, _mm_loadu_ps(wc + k),
                    _mm_loadu_ps(ws + k));
        __m128 x = norm(_mm_mul_ps(_mm_add_ps(ar, wb.re), vhalf),
                        _mm_mul_ps(_mm_add_ps(ai, wb.im), vhalf));
        __m128 y = norm(_mm_mul_ps(_mm_sub_ps(ar, wb.re), vhalf),
                        _mm_mul_ps(_mm_sub_ps(ai, wb.im), vhalf));
        _mm_storeu_ps(power + k, x);
        _mm_storeu_ps(power + h - k - 3, reversed(y));
    }
    for (; k <= h / 2; ++k)
        splitPair(zr, zi, wc, ws, h, half, k, power);
}

} // namespace

size_t realFftBufferFloats(uint32_t n) {
    return skewed(n) + 2 * GAP;
}

size_t realFftTableFloats(uint32_t n) {
    uint32_t h = n / 2;
    return 2 * size_t(h) + stageTableFloats(h);
}

void fillRealFftTables(float* tables, uint32_t n) {
    uint32_t h = n / 2;
    // The split step's W^k = e^(−2πik / N), k < H; the short transforms use them too.
    for (uint32_t k = 0; k < h; ++k) {
        double angle = TWO_PI * double(k) / double(n);
        tables[k] = float(std::cos(angle));
        tables[h + k] = float(-std::sin(angle));
    }
    float* run = tables + 2 * size_t(h);
    if (h < MIN_VECTOR_POINTS) return;
    for (uint32_t span = h; span > lastSpan(log2Of(h)); span /= 4) {
        for (uint32_t k0 = 0; k0 < span / 4; k0 += 4, run += 24) {
            for (uint32_t j = 1; j <= 3; ++j) {
                for (uint32_t lane = 0; lane < 4; ++lane) {
                    double angle = TWO_PI * double(j * (k0 + lane)) / double(span);
                    run[8 * (j - 1) + lane] = float(std::cos(angle));
                    run[8 * (j - 1) + 4 + lane] = float(-std::sin(angle));
                }
            }
        }
    }
}

void realFftPower(float* x, float* work, const float* tables, uint32_t n, uint32_t m, float scale) {
    uint32_t h = n / 2;
    uint32_t bits = log2Of(h);
    const float* wc = tables;
    const float* ws = tables + h;
    // The input is taken in whole vectors of four complex values (eight samples); the samples
    // past m in them are padding.
    uint32_t used = (m + 7) / 8 * 8;
    if (used > n) used = n;
    std::memset(x + m, 0, (used - m) * sizeof(float));
    uint32_t filled = used / 2;
    float* re = work;
    float* im = work + h + GAP;
    for (uint32_t k = 0; k < filled; ++k) {
        re[k] = x[2 * k];
        im[k] = x[2 * k + 1];
    }
    float* outIm = x + skewed(h) + GAP;
    if (h < MIN_VECTOR_POINTS) {
        std::memset(re + filled, 0, (h - filled) * sizeof(float));
        std::memset(im + filled, 0, (h - filled) * sizeof(float));
        smallTransform(re, im, x, outIm, wc, ws, h, bits);
    } else {
        vectorTransform(re, im, x, outIm, tables + 2 * size_t(h), h, bits, filled);
    }
    splitPower(x, outIm, wc, ws, h, scale, work);
}
