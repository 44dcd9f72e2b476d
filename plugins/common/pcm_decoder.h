// What a decoding plug-in's core offers its exports: a file opened through the host's stream
// services, decoded to interleaved 32-bit float frames, with an exact length and seeking to any
// frame. The cores build natively too, where the fuzzers and benchmarks drive them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sound/plugin_records.h"

// The host's view of the file being decoded. The services take `stream` as given.
struct ByteSource {
    void* stream;
    PluginReadFn read;
    PluginSeekFileFn seek;
    PluginTellFn tell;
    uint64_t size;
};

// Bounds every core applies to what a file declares.
constexpr uint32_t DECODER_MAX_CHANNELS = 8;
constexpr uint32_t DECODER_MAX_RATE = 768000;

class PcmDecoder {
  public:
    virtual ~PcmDecoder() = default;
    uint32_t channels() const { return channels_; }
    uint32_t rate() const { return rate_; }
    // Frames in the whole stream, exactly.
    uint64_t frames() const { return frames_; }

    // Decodes up to `count` frames into `out`, each sample within -1 to 1, never past the
    // length. Fewer than asked only at the end of the stream or where the file is broken.
    size_t read(float* out, size_t count) {
        uint64_t left = frames_ - position_;
        if (count > left) count = static_cast<size_t>(left);
        size_t got = count ? decode(out, count) : 0;
        position_ += got;
        return got;
    }
    // Places the next read at `frame` (the length itself included: reads then give nothing);
    // false when the file cannot get there.
    bool seek(uint64_t frame) {
        if (frame > frames_ || (frame < frames_ && !moveTo(frame))) return false;
        position_ = frame;
        return true;
    }

  protected:
    // The format's own decoding and seeking, within the length.
    virtual size_t decode(float* out, size_t count) = 0;
    virtual bool moveTo(uint64_t frame) = 0;

    uint32_t channels_ = 0;
    uint32_t rate_ = 0;
    uint64_t frames_ = 0;
    uint64_t position_ = 0;
};

// Keeps decoded samples inside full scale: a damaged stream must not play louder than a sound can.
inline float clampSample(float v) {
    if (!(v >= -1.0f)) return v < 0.0f ? -1.0f : 0.0f; // also catches NaN
    return v > 1.0f ? 1.0f : v;
}
