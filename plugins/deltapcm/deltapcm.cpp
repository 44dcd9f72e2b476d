// DeltaPcm: a decoder plug-in for a small format of its own, used to try the plug-in interface
// end to end. A file is a 16-byte header ("VKDL", uint16 channels, uint16 zero, uint32 rate,
// uint32 frame count, little-endian) followed by 16-bit samples stored as differences from the
// previous sample of the same channel (starting from 0). The plug-in decodes them itself and
// keeps its per-voice state in the host's extra buffer.
#include <cstdint>
#include <cstring>

#include "sound/plugin_records.h"

#ifndef DELTAPCM_VERSION_TEXT
#define DELTAPCM_VERSION_TEXT "100"
#endif

#define DELTAPCM_EXPORT extern "C" __declspec(dllexport)

namespace {

constexpr uint32_t HEADER_BYTES = 16;
constexpr uint32_t MAX_CHANNELS = 8;
constexpr uint32_t MAX_RATE = 192000;
// Samples decoded per read from the file.
constexpr uint32_t CHUNK_SAMPLES = 2048;

struct DeltaState {
    void* stream;
    PluginReadFn read;
    PluginSeekFileFn seek;
    uint32_t channels;
    uint64_t frames;
    uint64_t nextFrame;
    int16_t last[MAX_CHANNELS];
};

uint32_t readU16(const uint8_t* p) {
    return static_cast<uint32_t>(p[0] | p[1] << 8);
}
uint32_t readU32(const uint8_t* p) {
    return readU16(p) | readU16(p + 2) << 16;
}

DeltaState* stateOf(void* host, PluginGetExtraFn getExtra) {
    void* extra = nullptr;
    size_t size = 0;
    if (getExtra(host, &extra, &size) != 1 || !extra || size != sizeof(DeltaState)) return nullptr;
    return static_cast<DeltaState*>(extra);
}

// Decodes up to `frames` frames into `out` (16-bit PCM); returns the frames decoded.
uint64_t decodeFrames(DeltaState* s, int16_t* out, uint64_t frames) {
    uint64_t left = s->frames - s->nextFrame;
    if (frames > left) frames = left;
    uint64_t samples = frames * s->channels;
    uint64_t done = 0;
    uint8_t bytes[CHUNK_SAMPLES * 2];
    while (done < samples) {
        uint64_t want = samples - done < CHUNK_SAMPLES ? samples - done : CHUNK_SAMPLES;
        size_t got = s->read(s->stream, bytes, static_cast<size_t>(want * 2)) / 2;
        for (size_t k = 0; k < got; ++k, ++done) {
            uint32_t channel = static_cast<uint32_t>(done % s->channels);
            uint16_t sum = static_cast<uint16_t>(static_cast<uint16_t>(s->last[channel]) +
                                                 readU16(bytes + 2 * k));
            s->last[channel] = static_cast<int16_t>(sum);
            if (out) out[done] = s->last[channel];
        }
        if (got < want) break;
    }
    uint64_t whole = done / s->channels;
    s->nextFrame += whole;
    return whole;
}

// Copies `text` into the host's buffer as 8-bit or UTF-16 text; false when it does not fit.
bool putText(void* buffer, uint32_t size, const void* text, uint32_t bytes) {
    if (bytes > size) return false;
    std::memcpy(buffer, text, bytes);
    return true;
}

} // namespace

DELTAPCM_EXPORT int32_t PLUGIN_CALL kxfuncPluginInfo(uint32_t index, void* buffer, uint32_t size) {
    static const char name[] = "DeltaPcm";
    static const char description[] = "\xe5\xb7\xae\xe5\x88\x86PCM"; // UTF-8
    static const wchar_t extensions[] = L"*.vdl";
    static const char version[] = DELTAPCM_VERSION_TEXT;
    static const wchar_t author[] = L"Vesk";
    switch (index) {
    case 0:
        return putText(buffer, size, name, sizeof name) ? 0 : -1;
    case 1:
        return putText(buffer, size, description, sizeof description) ? 1 : -1;
    case 2:
        return putText(buffer, size, extensions, sizeof extensions) ? 2 : -1;
    case 3:
        return putText(buffer, size, version, sizeof version) ? 0 : -1;
    case 5:
        return putText(buffer, size, author, sizeof author) ? 2 : -1;
    default:
        return -1;
    }
}

DELTAPCM_EXPORT int32_t PLUGIN_CALL kxfuncFormatCheck(PluginCheckRecord* r) {
    uint8_t header[HEADER_BYTES];
    if (r->read(r->stream, header, HEADER_BYTES) != HEADER_BYTES) return 1;
    uint32_t channels = readU16(header + 4);
    uint32_t rate = readU32(header + 8);
    uint64_t frames = readU32(header + 12);
    if (std::memcmp(header, "VKDL", 4) != 0 || channels == 0 || channels > MAX_CHANNELS ||
        rate == 0 || rate > MAX_RATE || frames == 0)
        return 1;
    // The frame count must be backed by the file's bytes.
    uint64_t size = r->size(r->stream);
    if (size < HEADER_BYTES || (size - HEADER_BYTES) / (2 * channels) < frames) return 1;
    if (!r->wantFormat) return 0;

    DeltaState* s = nullptr;
    if (r->allocateExtra(r->host, reinterpret_cast<void**>(&s), sizeof *s) != 1) return 1;
    std::memset(s, 0, sizeof *s);
    s->stream = r->stream;
    s->read = r->read;
    s->seek = r->seek;
    s->channels = channels;
    s->frames = frames;
    r->formatTag = 1;
    r->channels = channels;
    r->blockAlign = 2 * channels;
    r->rate = rate;
    r->dataOffset = HEADER_BYTES;
    r->dataSize = frames * 2 * channels;
    r->totalFrames = frames;
    return 0;
}

// Differences only add up from the start, so a seek decodes from there to the target.
DELTAPCM_EXPORT int32_t PLUGIN_CALL kxfuncFormatSeek(PluginSeekRecord* r) {
    DeltaState* s = stateOf(r->host, r->getExtra);
    if (!s || r->target > s->frames) return 1;
    if (s->seek(s->stream, HEADER_BYTES, 0) != 0) return 1;
    std::memset(s->last, 0, sizeof s->last);
    s->nextFrame = 0;
    if (decodeFrames(s, nullptr, r->target) != r->target) return 1;
    r->frameReached = r->target;
    r->byteReached = r->target * 2 * s->channels;
    return 0;
}

#ifndef DELTAPCM_WITHOUT_DELETE
DELTAPCM_EXPORT void PLUGIN_CALL kxfuncFormatDelete(PluginDeleteRecord* r) {
    // The host frees the extra buffer itself; the state only has to forget the stream.
    if (DeltaState* s = stateOf(r->host, r->getExtra)) s->stream = nullptr;
}
#endif

DELTAPCM_EXPORT int32_t PLUGIN_CALL kxfuncFormatPcmLoad(PluginLoadRecord* r) {
    DeltaState* s = stateOf(r->host, r->getExtra);
    if (!s || !s->stream) return 0;
    uint64_t frames = r->wanted / (2 * s->channels);
    return static_cast<int32_t>(decodeFrames(s, static_cast<int16_t*>(r->buffer), frames) * 2 *
                                s->channels);
}
