// The power spectrum of a real, zero-padded block. The N real samples are packed as N / 2
// complex values (even samples real, odd samples imaginary), transformed by an N / 2-point
// complex FFT and separated into the N-point spectrum by one split step. Stages whose groups see
// only the padding's zeros are reduced to copies with twiddles.
//
// Needs SSE2: the baseline of x86-64, and the stated minimum of the 32-bit build (every Windows
// that build supports requires it).
#pragma once

#include <cstddef>
#include <cstdint>

// Number of floats of factor tables a transform of n points needs (n a power of two, n >= 2).
size_t realFftTableFloats(uint32_t n);
// Fills the tables for n points.
void fillRealFftTables(float* tables, uint32_t n);
// Number of floats each of the two buffers of realFftPower holds for n points: a little more than
// n, for the gaps that keep the transform's strided accesses apart in the cache.
size_t realFftBufferFloats(uint32_t n);
// Transforms x[0 .. m - 1] (m <= n) padded with zeros to n points and leaves
// |X[k] · scale|² for k = 0 .. n / 2 - 1 in work[0 .. n / 2 - 1]. x and work hold
// realFftBufferFloats(n) floats each and are both overwritten.
void realFftPower(float* x, float* work, const float* tables, uint32_t n, uint32_t m, float scale);
