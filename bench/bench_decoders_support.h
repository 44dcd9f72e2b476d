// Sound files for the decoder benchmarks, made once per run by the system's encoders: 30 s of
// 44.1 kHz stereo music-like sound (a chord with a little noise), like an alarm song.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

constexpr double BENCH_SOUND_SECONDS = 30.0;

// An encoded sound file in /tmp, removed when the benchmark program ends.
struct BenchSound {
    std::string path; // empty when a tool is missing
    ~BenchSound() {
        if (!path.empty()) std::remove(path.c_str());
    }
};

// Encodes the sound with `encode`, a command with IN and OUT in place of the file names.
inline std::string makeBenchSound(const std::string& extension, const std::string& encode) {
    std::string base = "/tmp/vesk-bench-" + std::to_string(getpid());
    std::string wav = base + ".wav";
    std::string out = base + "." + extension;
    std::string make = "sox -n -r 44100 -c 2 -b 16 " + wav +
                       " synth 30 sine 220 sine 277 sine 330 whitenoise gain -12 2>/dev/null";
    std::string command = encode;
    command.replace(command.find("IN"), 2, wav);
    command.replace(command.find("OUT"), 3, out);
    if (std::system(make.c_str()) != 0 || std::system(command.c_str()) != 0) return "";
    std::remove(wav.c_str());
    return out;
}

inline std::vector<uint8_t> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

// Seconds of sound decoded per second of benchmark time: the multiple of real time.
inline void reportRealTime(benchmark::State& state) {
    state.counters["x_realtime"] =
        benchmark::Counter(BENCH_SOUND_SECONDS, benchmark::Counter::kIsIterationInvariantRate);
}
