// Spectrum analysis of one tap block: the popup's analyzer (channel sum, Hamming window,
// 16384-point single-precision FFT, power spectrum and trace) against the same analysis built on
// FFTW and KissFFT, plus the bare transforms of both peers. The block is two periods of 44.1 kHz
// stereo (2756 frames), zero-padded to 16384 points as the popup analyses it.
#include <benchmark/benchmark.h>

#include <fftw3.h>
#include <kiss_fft.h>
#include <kiss_fftr.h>

#include <cmath>
#include <complex>
#include <vector>

#include "player/spectrum_analyzer.h"

namespace {

constexpr uint32_t RATE = 44100;
constexpr uint32_t FFT_SIZE = 16384;
constexpr uint32_t POINTS = FFT_SIZE / 2;
constexpr int32_t BLOCK_FRAMES = 2 * 1378;

// A stereo chord at moderate level, different in each channel.
struct StereoBlock {
    std::vector<float> left, right;
    float* planes[8] = {};
    TapBlock block = {};

    StereoBlock() : left(BLOCK_FRAMES), right(BLOCK_FRAMES) {
        for (int32_t j = 0; j < BLOCK_FRAMES; ++j) {
            float t = float(j) / float(RATE);
            left[size_t(j)] = 0.3f * std::sin(6.2831853f * 440.0f * t) +
                              0.1f * std::sin(6.2831853f * 3520.0f * t);
            right[size_t(j)] = 0.3f * std::sin(6.2831853f * 660.0f * t);
        }
        planes[0] = left.data();
        planes[1] = right.data();
        block = {5, 2, int32_t(RATE), BLOCK_FRAMES, 0, 0, planes};
    }

    // The channel sum, Hamming-windowed over the block and zero-padded to the transform size.
    void windowedSum(float* out) const {
        for (int32_t j = 0; j < BLOCK_FRAMES; ++j)
            out[j] = left[size_t(j)] + right[size_t(j)];
        applyWindow(out, BLOCK_FRAMES, WINDOW_HAMMING, HAMMING_ALPHA, KAISER_ALPHA);
        for (uint32_t j = BLOCK_FRAMES; j < FFT_SIZE; ++j)
            out[j] = 0.0f;
    }
};

// Power of the first P bins, scaled by 1 / N like the analyzer's.
template <typename Bin>
void powerOf(const Bin* bins, double* out, float re(const Bin&), float im(const Bin&)) {
    const float scale = 1.0f / float(FFT_SIZE);
    for (uint32_t k = 0; k < POINTS; ++k) {
        float r = re(bins[k]) * scale;
        float i = im(bins[k]) * scale;
        out[k] = r * r + i * i;
    }
}

float fftwRe(const fftwf_complex& c) {
    return c[0];
}
float fftwIm(const fftwf_complex& c) {
    return c[1];
}
float kissRe(const kiss_fft_cpx& c) {
    return c.r;
}
float kissIm(const kiss_fft_cpx& c) {
    return c.i;
}

void countBlocks(benchmark::State& state) {
    state.counters["blocks_per_s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Analysis_Vesk(benchmark::State& state) {
    StereoBlock input;
    SpectrumAnalyzer* analyzer = createSpectrumAnalyzer(RATE, 2, RATE / 4);
    for (auto _ : state) {
        analyzerFeed(analyzer, &input.block);
        benchmark::DoNotOptimize(analyzer->spectrum[analyzer->current]);
    }
    countBlocks(state);
    freeSpectrumAnalyzer(analyzer);
}

void BM_Analysis_FftwComplex(benchmark::State& state) {
    StereoBlock input;
    auto* data = fftwf_alloc_complex(FFT_SIZE);
    fftwf_plan plan = fftwf_plan_dft_1d(FFT_SIZE, data, data, FFTW_FORWARD, FFTW_MEASURE);
    std::vector<float> real(FFT_SIZE);
    std::vector<double> power(POINTS);
    for (auto _ : state) {
        input.windowedSum(real.data());
        for (uint32_t j = 0; j < FFT_SIZE; ++j) {
            data[j][0] = real[j];
            data[j][1] = 0.0f;
        }
        fftwf_execute(plan);
        powerOf(data, power.data(), fftwRe, fftwIm);
        benchmark::DoNotOptimize(power.data());
    }
    countBlocks(state);
    fftwf_destroy_plan(plan);
    fftwf_free(data);
}

void BM_Analysis_FftwReal(benchmark::State& state) {
    StereoBlock input;
    float* real = fftwf_alloc_real(FFT_SIZE);
    auto* bins = fftwf_alloc_complex(POINTS + 1);
    fftwf_plan plan = fftwf_plan_dft_r2c_1d(FFT_SIZE, real, bins, FFTW_MEASURE);
    std::vector<double> power(POINTS);
    for (auto _ : state) {
        input.windowedSum(real);
        fftwf_execute(plan);
        powerOf(bins, power.data(), fftwRe, fftwIm);
        benchmark::DoNotOptimize(power.data());
    }
    countBlocks(state);
    fftwf_destroy_plan(plan);
    fftwf_free(bins);
    fftwf_free(real);
}

void BM_Analysis_KissComplex(benchmark::State& state) {
    StereoBlock input;
    kiss_fft_cfg cfg = kiss_fft_alloc(FFT_SIZE, 0, nullptr, nullptr);
    std::vector<float> real(FFT_SIZE);
    std::vector<kiss_fft_cpx> in(FFT_SIZE), out(FFT_SIZE);
    std::vector<double> power(POINTS);
    for (auto _ : state) {
        input.windowedSum(real.data());
        for (uint32_t j = 0; j < FFT_SIZE; ++j)
            in[j] = {real[j], 0.0f};
        kiss_fft(cfg, in.data(), out.data());
        powerOf(out.data(), power.data(), kissRe, kissIm);
        benchmark::DoNotOptimize(power.data());
    }
    countBlocks(state);
    kiss_fft_free(cfg);
}

void BM_Analysis_KissReal(benchmark::State& state) {
    StereoBlock input;
    kiss_fftr_cfg cfg = kiss_fftr_alloc(FFT_SIZE, 0, nullptr, nullptr);
    std::vector<float> real(FFT_SIZE);
    std::vector<kiss_fft_cpx> out(POINTS + 1);
    std::vector<double> power(POINTS);
    for (auto _ : state) {
        input.windowedSum(real.data());
        kiss_fftr(cfg, real.data(), out.data());
        powerOf(out.data(), power.data(), kissRe, kissIm);
        benchmark::DoNotOptimize(power.data());
    }
    countBlocks(state);
    kiss_fft_free(cfg);
}

// The transforms alone, on input prepared once.
void BM_Transform_FftwComplex(benchmark::State& state) {
    StereoBlock input;
    auto* in = fftwf_alloc_complex(FFT_SIZE);
    auto* out = fftwf_alloc_complex(FFT_SIZE);
    fftwf_plan plan = fftwf_plan_dft_1d(FFT_SIZE, in, out, FFTW_FORWARD, FFTW_MEASURE);
    std::vector<float> real(FFT_SIZE);
    input.windowedSum(real.data());
    for (uint32_t j = 0; j < FFT_SIZE; ++j) {
        in[j][0] = real[j];
        in[j][1] = 0.0f;
    }
    for (auto _ : state) {
        fftwf_execute(plan);
        benchmark::DoNotOptimize(out);
    }
    fftwf_destroy_plan(plan);
    fftwf_free(out);
    fftwf_free(in);
}

void BM_Transform_KissComplex(benchmark::State& state) {
    StereoBlock input;
    kiss_fft_cfg cfg = kiss_fft_alloc(FFT_SIZE, 0, nullptr, nullptr);
    std::vector<float> real(FFT_SIZE);
    input.windowedSum(real.data());
    std::vector<kiss_fft_cpx> in(FFT_SIZE), out(FFT_SIZE);
    for (uint32_t j = 0; j < FFT_SIZE; ++j)
        in[j] = {real[j], 0.0f};
    for (auto _ : state) {
        kiss_fft(cfg, in.data(), out.data());
        benchmark::DoNotOptimize(out.data());
    }
    kiss_fft_free(cfg);
}

BENCHMARK(BM_Analysis_Vesk);
BENCHMARK(BM_Analysis_FftwComplex);
BENCHMARK(BM_Analysis_FftwReal);
BENCHMARK(BM_Analysis_KissComplex);
BENCHMARK(BM_Analysis_KissReal);
BENCHMARK(BM_Transform_FftwComplex);
BENCHMARK(BM_Transform_KissComplex);

} // namespace

BENCHMARK_MAIN();
