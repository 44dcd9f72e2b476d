#include "sound/mix_stage.h"

#include <cstring>

#include "sound/channel_matrix.h"
#include "sound/rate_rule.h"

namespace {

// Reads frames from a ring's filled part starting at its read position.
struct RingReader {
    const SampleRing* ring;
    uint64_t frames; // ring capacity in frames
    uint64_t index;  // next frame to read
    uint64_t left;   // frames still available
    SampleTap* tap;

    bool read(float* x) {
        if (left == 0) return false;
        for (unsigned c = 0; c < 8; ++c)
            x[c] = c < ring->channels ? ringPlane(ring, c)[index] : 0.0f;
        if (tap) tapAppend(tap, x, ring->channels);
        index = index + 1 == frames ? 0 : index + 1;
        --left;
        return true;
    }
};

struct MixSink {
    RingReader reader;
    SampleRing* mix;
    uint64_t mixFrames;
    uint64_t writeFrame;
    unsigned outputs;
    unsigned inputs;
    ChannelMatrix matrix;

    bool read(float* x) { return reader.read(x); }
    void emit(uint64_t d, unsigned copies, const float* x) {
        float y[8];
        applyChannelMatrix(&matrix, outputs, inputs, x, y);
        uint64_t at = writeFrame + d; // both below the ring size
        if (at >= mixFrames) at -= mixFrames;
        for (unsigned k = 0; k < copies; ++k) {
            for (unsigned o = 0; o < outputs; ++o)
                ringPlane(mix, o)[at] += y[o];
            if (++at == mixFrames) at = 0;
        }
    }
};

constexpr unsigned CHUNK = 256;

// Same-rate mixing over contiguous runs: y is built per output channel for a chunk of frames
// (same sums, same order as the per-frame rule) and then added, so the loops vectorise.
void mixSameRate(MixSink* sink, uint64_t count) {
    const SampleRing* voice = sink->reader.ring;
    uint64_t done = 0;
    while (done < count) {
        uint64_t src = (sink->reader.index + done) % sink->reader.frames;
        uint64_t dst = (sink->writeFrame + done) % sink->mixFrames;
        uint64_t run = count - done;
        if (run > sink->reader.frames - src) run = sink->reader.frames - src;
        if (run > sink->mixFrames - dst) run = sink->mixFrames - dst;
        if (run > CHUNK) run = CHUNK;
        for (unsigned o = 0; o < sink->outputs; ++o) {
            float y[CHUNK] = {};
            for (unsigned i = 0; i < sink->inputs; ++i) {
                float m = sink->matrix.m[o][i];
                if (m == 0.0f) continue;
                const float* x = ringPlane(voice, i) + src;
                for (uint64_t k = 0; k < run; ++k)
                    y[k] += m * x[k];
            }
            float* out = ringPlane(sink->mix, o) + dst;
            for (uint64_t k = 0; k < run; ++k)
                out[k] += y[k];
        }
        if (sink->reader.tap) {
            float x[8];
            for (uint64_t k = 0; k < run; ++k) {
                for (unsigned c = 0; c < voice->channels; ++c)
                    x[c] = ringPlane(voice, c)[src + k];
                tapAppend(sink->reader.tap, x, voice->channels);
            }
        }
        done += run;
    }
}

void clearPlanes(SampleRing* ring, uint64_t fromByte, uint64_t bytes) {
    for (unsigned c = 0; c < ring->channels; ++c)
        std::memset(ring->data + c * ring->planeCapacity + fromByte, 0, bytes);
}

void storeFrame(uint8_t* out, const float* y, unsigned channels, unsigned bits) {
    for (unsigned o = 0; o < channels; ++o) {
        float v = y[o];
        if (v > 1.0f) v = 1.0f;
        if (v < -1.0f) v = -1.0f;
        if (bits == 16) {
            int32_t s = outputSample16(v);
            out[0] = static_cast<uint8_t>(s);
            out[1] = static_cast<uint8_t>(s >> 8);
            out += 2;
        } else if (bits == 24) {
            int32_t s = outputSample24(v);
            out[0] = static_cast<uint8_t>(s);
            out[1] = static_cast<uint8_t>(s >> 8);
            out[2] = static_cast<uint8_t>(s >> 16);
            out += 3;
        } else {
            std::memcpy(out, &v, 4);
            out += 4;
        }
    }
}

struct OutputSink {
    RingReader reader;
    uint8_t* out;
    unsigned frameBytes;
    unsigned channels;
    unsigned inputs;
    unsigned bits;
    ChannelMatrix matrix;

    bool read(float* x) { return reader.read(x); }
    void emit(uint64_t d, unsigned copies, const float* x) {
        float y[8];
        applyChannelMatrix(&matrix, channels, inputs, x, y);
        for (unsigned k = 0; k < copies; ++k)
            storeFrame(out + (d + k) * frameBytes, y, channels, bits);
    }
};

} // namespace

uint64_t mixBeginPeriod(SampleRing* mix) {
    uint64_t fill;
    uint64_t write;
    {
        LockGuard hold(mix->lock);
        fill = mix->fill;
        write = mix->writePos;
    }
    uint64_t freeBytes = mix->planeCapacity - fill;
    uint64_t first = mix->planeCapacity - write;
    if (first > freeBytes) first = freeBytes;
    clearPlanes(mix, write, first);
    clearPlanes(mix, 0, freeBytes - first);
    return freeBytes / 4;
}

uint64_t mixVoiceRing(SampleRing* mix, uint64_t frames, SampleRing* voice, uint64_t budget,
                      SampleTap* tap) {
    uint64_t available;
    uint64_t readFrame;
    uint64_t writeFrame;
    {
        LockGuard hold(voice->lock);
        available = voice->fill / 4;
        readFrame = voice->readPos / 4;
        writeFrame = mix->writePos / 4;
    }
    uint32_t sourceRate =
        static_cast<uint32_t>(static_cast<float>(voice->rate) * voice->rateFactor);
    if (available > budget) available = budget;
    if (sourceRate == 0) available = 0;

    MixSink sink;
    sink.reader = RingReader{voice, ringCapacityFrames(voice), readFrame, available, tap};
    sink.mix = mix;
    sink.mixFrames = ringCapacityFrames(mix);
    sink.writeFrame = writeFrame;
    sink.outputs = mix->channels;
    sink.inputs = voice->channels;
    buildChannelMatrix(&sink.matrix, sink.outputs, sink.inputs, voice->volume);

    if (tap) tapBegin(tap);
    uint64_t read;
    if (sourceRate == mix->rate) {
        read = available < frames ? available : frames;
        mixSameRate(&sink, read);
    } else {
        read = walkRateRule(sourceRate, mix->rate, frames, sink);
    }
    if (tap) tapEnd(tap);
    return ringConsume(voice, read);
}

void outputStage(SampleRing* mix, uint8_t* out, uint32_t bytes, unsigned channels, unsigned bits) {
    unsigned frameBytes = channels * (bits / 8);
    uint64_t frames = bytes / frameBytes;
    uint64_t available;
    uint64_t readFrame;
    {
        LockGuard hold(mix->lock);
        available = mix->fill / 4;
        readFrame = mix->readPos / 4;
    }

    OutputSink sink;
    sink.reader = RingReader{mix, ringCapacityFrames(mix), readFrame, available, nullptr};
    sink.out = out;
    sink.frameBytes = frameBytes;
    sink.channels = channels;
    sink.inputs = mix->channels;
    sink.bits = bits;
    buildChannelMatrix(&sink.matrix, channels, mix->channels, mix->volume);
    uint32_t sourceRate = static_cast<uint32_t>(static_cast<float>(mix->rate) * mix->rateFactor);
    uint64_t produced = 0;
    struct Counting {
        OutputSink* inner;
        uint64_t* produced;
        bool read(float* x) { return inner->read(x); }
        void emit(uint64_t d, unsigned copies, const float* x) {
            inner->emit(d, copies, x);
            *produced = d + copies;
        }
    } counting{&sink, &produced};
    uint64_t read = walkRateRule(sourceRate, mix->rate, frames, counting);
    std::memset(out + produced * frameBytes, 0, bytes - produced * frameBytes);
    ringConsume(mix, read);
}
