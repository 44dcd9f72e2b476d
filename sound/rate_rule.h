// The rate rule every stage uses to move frames from a source at S frames/s to a destination at
// D frames/s: one to one, averaging groups (S > D) or repeating frames (S < D). The accumulator
// starts at 0 in every call.
#pragma once

#include <cstdint>

// Walks the rule over up to `available` source frames and `destinationFrames` destination
// frames. `sink.read(x)` loads the next source frame into x (8 floats) and returns false when
// there is none; `sink.emit(d, copies, y)` receives a source frame (averaged when S > D) for
// `copies` consecutive destination frames starting at d. Returns the source frames read.
template <class Sink>
uint64_t walkRateRule(uint32_t sourceRate, uint32_t destinationRate, uint64_t destinationFrames,
                      Sink& sink) {
    const int64_t s = sourceRate;
    const int64_t d = destinationRate;
    float x[8];
    uint64_t taken = 0;
    uint64_t produced = 0;
    int64_t acc = 0;
    if (s < d) {
        while (produced < destinationFrames && sink.read(x)) {
            ++taken;
            unsigned copies = 0;
            while (acc < d && produced + copies < destinationFrames) {
                ++copies;
                acc += s;
            }
            acc -= d;
            sink.emit(produced, copies, x);
            produced += copies;
        }
        return taken;
    }
    while (produced < destinationFrames) {
        float sum[8] = {0, 0, 0, 0, 0, 0, 0, 0};
        unsigned count = 0;
        while (acc < s && sink.read(x)) {
            for (unsigned c = 0; c < 8; ++c)
                sum[c] += x[c];
            ++count;
            acc += d;
        }
        if (count == 0) break;
        if (count >= 2)
            for (unsigned c = 0; c < 8; ++c)
                sum[c] /= static_cast<float>(count);
        taken += count;
        acc -= s;
        sink.emit(produced, 1, sum);
        ++produced;
    }
    return taken;
}
