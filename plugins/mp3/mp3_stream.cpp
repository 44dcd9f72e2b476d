#include "plugins/mp3/mp3_stream.h"

#include <cstdlib>
#include <cstring>

#include "plugins/mp3/mp3_frame.h"
#include "plugins/mp3/mp3_vbr_header.h"

namespace {

constexpr uint32_t WINDOW_BYTES = 64 * 1024;
// The largest frame: MPEG-1 at 320 kbit/s and 32 kHz, with padding.
constexpr uint32_t MAX_FRAME_BYTES = 1441;
// How far past the tags the first frame may lie, and how far a damaged spot may reach.
constexpr uint64_t FIRST_FRAME_SEARCH = 64 * 1024;
constexpr uint64_t RESYNC_SEARCH = 4096;
// A file damaged in more places than this is not worth following further: the walk ends there,
// which also bounds the time a hostile file can take.
constexpr uint32_t MAX_RESYNCS = 256;
constexpr uint32_t ID3V2_HEADER = 10;
constexpr uint32_t MAX_LEADING_TAGS = 8;
constexpr uint32_t ID3V1_BYTES = 128;
constexpr uint32_t APE_FOOTER = 32;
// The layer III synthesis filter bank puts this many samples before the encoder's own delay.
constexpr uint32_t DECODER_DELAY = 529;
// A restart point has at least this many frame bytes between the frame after it and the frame
// before the target (more than the 511 bytes a frame may borrow), within this many frames.
constexpr uint32_t RESERVOIR_BYTES = 1024;
constexpr uint64_t MAX_WARMUP_FRAMES = 64;

// A window onto the source: `view` returns the bytes at an offset, reading when it has to.
struct Window {
    const Mp3Source* source;
    uint64_t start;
    uint32_t filled;
    uint8_t bytes[WINDOW_BYTES];
};

const uint8_t* view(Window* w, uint64_t offset, uint32_t size) {
    if (offset >= w->start && offset - w->start + size <= w->filled)
        return w->bytes + (offset - w->start);
    if (offset > w->source->size || w->source->size - offset < size) return nullptr;
    w->start = offset;
    w->filled = static_cast<uint32_t>(
        w->source->readAt(w->source->context, offset, w->bytes, WINDOW_BYTES));
    return size <= w->filled ? w->bytes : nullptr;
}

uint32_t syncsafe(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 21 | static_cast<uint32_t>(p[1]) << 14 |
           static_cast<uint32_t>(p[2]) << 7 | p[3];
}

// Skips the ID3v2 tags at `offset`; unsynchronised tags carry their stored size all the same.
uint64_t skipLeadingTags(Window* w, uint64_t offset) {
    for (uint32_t k = 0; k < MAX_LEADING_TAGS; ++k) {
        const uint8_t* p = view(w, offset, ID3V2_HEADER);
        if (!p || std::memcmp(p, "ID3", 3) != 0 || p[3] == 0xFF || p[4] == 0xFF ||
            ((p[6] | p[7] | p[8] | p[9]) & 0x80))
            break;
        bool footer = (p[5] & 0x10) != 0;
        offset += ID3V2_HEADER + syncsafe(p + 6) + (footer ? ID3V2_HEADER : 0);
    }
    return offset;
}

// The end of the audio: the file without an ID3v1 tag and an APE tag at its end.
uint64_t audioEnd(Window* w, uint64_t begin) {
    uint64_t end = w->source->size;
    const uint8_t* p;
    if (end - begin >= ID3V1_BYTES && (p = view(w, end - ID3V1_BYTES, 3)) &&
        std::memcmp(p, "TAG", 3) == 0)
        end -= ID3V1_BYTES;
    if (end - begin >= APE_FOOTER && (p = view(w, end - APE_FOOTER, APE_FOOTER)) &&
        std::memcmp(p, "APETAGEX", 8) == 0) {
        uint32_t size = p[12] | p[13] << 8 | p[14] << 16 | static_cast<uint32_t>(p[15]) << 24;
        bool header = (p[23] & 0x80) != 0;
        uint64_t whole = static_cast<uint64_t>(size) + (header ? APE_FOOTER : 0);
        if (whole <= end - begin) end -= whole;
    }
    return end;
}

Mp3HeaderKind headerAt(Window* w, uint64_t offset, Mp3FrameHeader* h) {
    const uint8_t* p = view(w, offset, MP3_HEADER_BYTES);
    return p ? mp3ParseHeader(mp3HeaderWord(p), h) : MP3_HEADER_NONE;
}

// A frame of the stream at `offset` that ends inside the audio and is followed by another frame
// of the same stream or by the end.
bool confirmedFrame(Window* w, uint64_t offset, uint64_t end, const Mp3FrameHeader* like,
                    Mp3FrameHeader* h) {
    if (headerAt(w, offset, h) != MP3_HEADER_FRAME || (like && !mp3SameStream(*like, *h)))
        return false;
    uint64_t next = offset + h->frameBytes;
    if (next == end) return true;
    Mp3FrameHeader following;
    return next < end && headerAt(w, next, &following) == MP3_HEADER_FRAME &&
           mp3SameStream(*h, following);
}

// Looks for the first confirmed frame in [offset, offset + reach). When there is none, a
// free-format header on the way says why.
Mp3Result findFrame(Window* w, uint64_t offset, uint64_t reach, uint64_t end,
                    const Mp3FrameHeader* like, uint64_t* found, Mp3FrameHeader* h) {
    uint64_t stop = end - offset > reach ? offset + reach : end;
    bool freeFormat = false;
    for (uint64_t at = offset; at + MP3_HEADER_BYTES <= stop; ++at) {
        const uint8_t* p = view(w, at, MP3_HEADER_BYTES);
        if (!p) break;
        if (p[0] != 0xFF) continue;
        Mp3FrameHeader candidate;
        Mp3HeaderKind kind = mp3ParseHeader(mp3HeaderWord(p), &candidate);
        if (kind == MP3_HEADER_FREE_FORMAT) freeFormat = true;
        if (kind == MP3_HEADER_FRAME && confirmedFrame(w, at, end, like, h)) {
            *found = at;
            return MP3_OK;
        }
    }
    return freeFormat ? MP3_FREE_FORMAT : MP3_NOT_MP3;
}

bool appendOffset(Mp3Stream* s, uint32_t* capacity, uint32_t offset) {
    if (s->frameCount == *capacity) {
        uint32_t grown = *capacity ? *capacity * 2 : 1024;
        void* bigger = std::realloc(s->frameOffsets, grown * sizeof(uint32_t));
        if (!bigger) return false;
        s->frameOffsets = static_cast<uint32_t*>(bigger);
        *capacity = grown;
    }
    s->frameOffsets[s->frameCount++] = offset;
    return true;
}

// Follows the frames from dataOffset to the end of the audio, the frame count the information
// frame gives, or the first damage that no frame follows closely.
Mp3Result walkFrames(Window* w, uint64_t end, uint32_t limit, const Mp3FrameHeader& first,
                     Mp3Stream* s) {
    uint32_t capacity = 0;
    uint32_t resyncs = 0;
    uint64_t at = s->dataOffset;
    while (s->frameCount < limit && at + MP3_HEADER_BYTES <= end) {
        Mp3FrameHeader h;
        if (headerAt(w, at, &h) != MP3_HEADER_FRAME || !mp3SameStream(first, h)) {
            uint64_t found = 0;
            if (++resyncs > MAX_RESYNCS ||
                findFrame(w, at + 1, RESYNC_SEARCH, end, &first, &found, &h) != MP3_OK)
                break;
            at = found;
        }
        if (h.frameBytes > end - at || at - s->dataOffset > UINT32_MAX) break;
        if (!appendOffset(s, &capacity, static_cast<uint32_t>(at - s->dataOffset)))
            return MP3_NO_MEMORY;
        at += h.frameBytes;
        s->dataSize = at - s->dataOffset;
    }
    return s->frameCount ? MP3_OK : MP3_EMPTY;
}

// Length and lead from the encoder's delay and padding; a stream cut short keeps its end.
Mp3Result measure(Mp3Stream* s, const Mp3VbrHeader& info, bool hasInfo) {
    uint64_t decoded = static_cast<uint64_t>(s->frameCount) * s->samplesPerFrame;
    uint64_t trimEnd = 0;
    if (hasInfo && info.encoderGaps) {
        s->leadFrames = info.delay + DECODER_DELAY;
        bool whole = info.frames == 0 || info.frames == s->frameCount;
        if (whole && info.padding > DECODER_DELAY) trimEnd = info.padding - DECODER_DELAY;
    }
    if (decoded <= s->leadFrames + trimEnd) return MP3_EMPTY;
    s->totalFrames = decoded - s->leadFrames - trimEnd;
    s->averageFrameBytes = static_cast<uint32_t>(s->dataSize / s->frameCount);
    s->averageBitrate = static_cast<uint32_t>(s->dataSize * 8 * s->rate / decoded);
    return MP3_OK;
}

Mp3Result openIn(Window* w, bool walk, Mp3Stream* s) {
    uint64_t begin = skipLeadingTags(w, 0);
    if (begin >= w->source->size) return MP3_NOT_MP3;
    uint64_t end = audioEnd(w, begin);
    uint64_t first = 0;
    Mp3FrameHeader h;
    Mp3Result found = findFrame(w, begin, FIRST_FRAME_SEARCH, end, nullptr, &first, &h);
    if (found != MP3_OK) return found;
    s->version = h.version;
    s->rate = h.rate;
    s->channels = h.channels;
    s->samplesPerFrame = h.samples;
    s->dataOffset = first;

    Mp3VbrHeader info;
    uint32_t size = h.frameBytes < MAX_FRAME_BYTES ? h.frameBytes : MAX_FRAME_BYTES;
    const uint8_t* frame = view(w, first, size);
    bool hasInfo = frame && mp3ReadVbrHeader(frame, size, h, &info);
    if (hasInfo) s->dataOffset += h.frameBytes;
    if (!walk) return MP3_OK;
    uint32_t limit =
        hasInfo && info.frames && info.frames < MP3_MAX_FRAMES ? info.frames : MP3_MAX_FRAMES;
    Mp3Result walked = walkFrames(w, end, limit, h, s);
    return walked == MP3_OK ? measure(s, info, hasInfo) : walked;
}

} // namespace

Mp3Result mp3OpenStream(const Mp3Source* source, bool walk, Mp3Stream* out) {
    std::memset(out, 0, sizeof *out);
    Window* w = static_cast<Window*>(std::malloc(sizeof(Window)));
    if (!w) return MP3_NO_MEMORY;
    w->source = source;
    w->start = 0;
    w->filled = 0;
    Mp3Result result = openIn(w, walk, out);
    std::free(w);
    if (result != MP3_OK) mp3StreamFree(out);
    return result;
}

void mp3StreamFree(Mp3Stream* stream) {
    std::free(stream->frameOffsets);
    stream->frameOffsets = nullptr;
    stream->frameCount = 0;
}

void mp3SeekPoint(const uint32_t* frameOffsets, uint32_t frameCount, uint32_t samplesPerFrame,
                  uint64_t leadFrames, uint64_t target, uint64_t* frame, uint64_t* byte) {
    uint64_t wanted = (target + leadFrames) / samplesPerFrame;
    if (wanted >= frameCount) wanted = frameCount - 1;
    uint64_t start = wanted;
    while (start > 0 && wanted - start < MAX_WARMUP_FRAMES) {
        if (wanted >= start + 3 &&
            frameOffsets[wanted - 1] - frameOffsets[start + 1] >= RESERVOIR_BYTES)
            break;
        --start;
    }
    *frame = start * samplesPerFrame;
    *byte = frameOffsets[start];
}
