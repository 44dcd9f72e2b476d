#include "sound/decode_stage.h"

#include <cstdlib>
#include <cstring>
#include <iterator>

#include "sound/channel_matrix.h"
#include "sound/engine_internal.h"
#include "sound/rate_rule.h"

namespace {

enum SampleKind {
    KIND_NONE,
    KIND_U8,
    KIND_S16,
    KIND_S24,
    KIND_S32,
    KIND_F32,
    KIND_F64,
    KIND_ALAW,
    KIND_MULAW
};
constexpr unsigned MAX_CHANNELS = 8;
constexpr unsigned MAX_SAMPLE_BYTES = 8;

// Tag 0xFFFE reaching the engine is integer PCM (the WAVE codec passes on the subformat).
SampleKind sampleKindFor(uint32_t tag, uint32_t sampleBytes) {
    if (tag == FORMAT_TAG_PCM || tag == FORMAT_TAG_EXTENSIBLE) {
        const SampleKind kinds[] = {KIND_NONE, KIND_U8, KIND_S16, KIND_S24, KIND_S32};
        return sampleBytes < std::size(kinds) ? kinds[sampleBytes] : KIND_NONE;
    }
    if (tag == FORMAT_TAG_FLOAT) {
        if (sampleBytes == 4) return KIND_F32;
        if (sampleBytes == 8) return KIND_F64;
    }
    if (tag == FORMAT_TAG_ALAW && sampleBytes == 1) return KIND_ALAW;
    if (tag == FORMAT_TAG_MULAW && sampleBytes == 1) return KIND_MULAW;
    return KIND_NONE;
}

SampleKind sampleKindOf(const FormatInfo* format) {
    if (!decodeSupports(format->formatTag, format->channels, format->blockAlign)) return KIND_NONE;
    return sampleKindFor(format->formatTag, format->blockAlign / format->channels);
}

// Where the stage reads bytes from: the voice's StreamBuffer, or the output of one ACM
// conversion (frames left over there are dropped).
struct ByteSource {
    StreamBuffer* stream; // null for a linear buffer
    const uint8_t* linear;
    uint64_t available;
    uint64_t offset;
};

bool sourceRead(ByteSource* source, uint8_t* out, uint64_t count) {
    if (source->available - source->offset < count) return false;
    if (source->stream)
        streamBufferPeek(source->stream, source->offset, out, count);
    else
        std::memcpy(out, source->linear + source->offset, count);
    source->offset += count;
    return true;
}

uint32_t readU32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

struct DecodeSink {
    ByteSource* source;
    SampleKind kind;
    unsigned inputs;     // decoded channels
    unsigned used;       // inputs that reach the matrix (at most 8)
    unsigned frameBytes; // channels x container bytes
    unsigned sampleBytes;
    unsigned outputs;
    ChannelMatrix matrix;
    SampleRing* ring;
    uint64_t writeFrame; // ring write position, in frames
    uint64_t ringFrames;

    bool read(float* x) {
        uint8_t bytes[MAX_CHANNELS * MAX_SAMPLE_BYTES];
        uint64_t usedBytes = static_cast<uint64_t>(used) * sampleBytes;
        if (source->available - source->offset < frameBytes) return false;
        sourceRead(source, bytes, usedBytes);
        source->offset += frameBytes - usedBytes;
        for (unsigned c = 0; c < 8; ++c)
            x[c] = c < used ? decode(bytes + c * sampleBytes) : 0.0f;
        return true;
    }

    float decode(const uint8_t* p) const {
        switch (kind) {
        case KIND_U8:
            return decodeSample8(p[0]);
        case KIND_S16:
            return decodeSample16(static_cast<int16_t>(p[0] | (p[1] << 8)));
        case KIND_S24:
            return decodeSample24(p[0] | (p[1] << 8) | (static_cast<uint32_t>(p[2]) << 16));
        case KIND_S32:
            return decodeSample32(static_cast<int32_t>(readU32(p)));
        case KIND_F32: {
            float v;
            uint32_t bits = readU32(p);
            std::memcpy(&v, &bits, 4);
            return decodeSampleFloat(v);
        }
        case KIND_F64: {
            double v;
            uint64_t bits = readU32(p) | static_cast<uint64_t>(readU32(p + 4)) << 32;
            std::memcpy(&v, &bits, 8);
            return decodeSampleFloat(v);
        }
        case KIND_ALAW:
            return decodeSampleALaw(p[0]);
        case KIND_MULAW:
            return decodeSampleMuLaw(p[0]);
        default:
            return 0.0f;
        }
    }

    void emit(uint64_t d, unsigned copies, const float* x) {
        float y[8];
        applyChannelMatrix(&matrix, outputs, used, x, y);
        uint64_t at = writeFrame + d; // both below the ring size
        if (at >= ringFrames) at -= ringFrames;
        for (unsigned k = 0; k < copies; ++k) {
            for (unsigned o = 0; o < outputs; ++o)
                ringPlane(ring, o)[at] = y[o];
            if (++at == ringFrames) at = 0;
        }
    }
};

uint16_t formatBlockAlign(const void* waveFormat) {
    uint16_t align;
    std::memcpy(&align, static_cast<const uint8_t*>(waveFormat) + 12, 2);
    return align;
}

// Runs one ACM conversion of as many source bytes as `freeFrames` frames need, or of what the
// StreamBuffer holds when that is less: at the end of the data no more will come, and waiting
// for a whole ring's worth would hold the last blocks back for ever. Returns the converted
// bytes (caller frees) or null when there is no input or it failed.
uint8_t* convertThroughAcm(SoundVoice* voice, uint64_t freeFrames, uint64_t* convertedBytes) {
    const AcmServices* acm = engineAcmServices();
    FormatInfo* format = &voice->format;
    uint64_t destinationBytes = freeFrames * formatBlockAlign(format->destinationFormat);
    uint32_t sourceBytes = 0;
    if (destinationBytes == 0 || destinationBytes > 0xFFFFFFFFu) return nullptr;
    if (!acm->sourceSize(format->acmStream, static_cast<uint32_t>(destinationBytes), &sourceBytes))
        return nullptr;
    uint64_t held = streamBufferFill(voice->buffer);
    if (held < sourceBytes) sourceBytes = static_cast<uint32_t>(held);
    if (sourceBytes == 0) return nullptr;
    uint8_t* temp = static_cast<uint8_t*>(std::malloc(destinationBytes + sourceBytes));
    if (!temp) return nullptr;
    uint8_t* sourceData = temp + destinationBytes;
    streamBufferPeek(voice->buffer, 0, sourceData, sourceBytes);
    uint32_t sourceUsed = 0;
    uint32_t destinationUsed = 0;
    if (!acm->convert(format->acmStream, sourceData, sourceBytes, temp,
                      static_cast<uint32_t>(destinationBytes), &sourceUsed, &destinationUsed)) {
        std::free(temp);
        return nullptr;
    }
    streamBufferConsume(voice->buffer, sourceUsed);
    *convertedBytes = destinationUsed;
    return temp;
}

} // namespace

bool decodeSupports(uint32_t tag, uint32_t channels, uint32_t blockAlign) {
    if (channels == 0 || channels > MAX_CHANNELS || blockAlign % channels != 0) return false;
    return sampleKindFor(tag, blockAlign / channels) != KIND_NONE;
}

uint64_t decodeVoice(SoundVoice* voice) {
    SampleRing* ring = &voice->ring;
    uint64_t freeFrames = ringFreeFrames(ring);
    if (freeFrames == 0) return 0;
    SampleKind kind = sampleKindOf(&voice->format);
    if (kind == KIND_NONE) return 0;

    ByteSource source{};
    uint8_t* converted = nullptr;
    if (voice->format.acmStream && engineAcmServices()) {
        converted = convertThroughAcm(voice, freeFrames, &source.available);
        if (!converted) return 0;
        source.linear = converted;
    } else {
        source.stream = voice->buffer;
        source.available = streamBufferFill(voice->buffer);
    }

    DecodeSink sink;
    sink.source = &source;
    sink.kind = kind;
    sink.inputs = voice->format.channels;
    sink.used = sink.inputs < 8 ? sink.inputs : 8;
    sink.sampleBytes = voice->format.blockAlign / voice->format.channels;
    sink.frameBytes = sink.sampleBytes * sink.inputs;
    sink.outputs = ring->channels;
    buildChannelMatrixForMask(&sink.matrix, sink.outputs, sink.inputs, voice->format.channelMask,
                              1.0f);
    sink.ring = ring;
    {
        LockGuard hold(ring->lock);
        sink.writeFrame = ring->writePos / 4;
    }
    sink.ringFrames = ringCapacityFrames(ring);

    // Counts destination frames through the sink, so the frames written equal the emits.
    struct Counter {
        DecodeSink* inner;
        uint64_t written;
        bool read(float* x) { return inner->read(x); }
        void emit(uint64_t d, unsigned copies, const float* x) {
            inner->emit(d, copies, x);
            written += copies;
        }
    } counter{&sink, 0};
    walkRateRule(voice->format.rate, ring->rate, freeFrames, counter);

    if (converted)
        std::free(converted);
    else
        streamBufferConsume(voice->buffer, source.offset);
    return counter.written;
}
