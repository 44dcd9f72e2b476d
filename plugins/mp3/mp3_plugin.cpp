// Mp3: a decoder plug-in for MPEG layer III files. It finds the frames itself and hands the
// system's layer III codec a description of them, so the host reads the frame bytes and converts
// them to 16-bit PCM. Its per-voice state is the frame index that seeks use, kept in the host's
// extra buffer.
#include <cstdlib>
#include <cstring>

#include "plugins/mp3/mp3_stream.h"
#include "sound/plugin_records.h"

#define MP3_EXPORT extern "C" __declspec(dllexport)

namespace {

constexpr uint16_t WAVE_FORMAT_PCM = 1;
constexpr uint16_t WAVE_FORMAT_MPEGLAYER3 = 0x55;
constexpr uint32_t WAVE_FORMAT_BYTES = 18;
// The layer III record: the wave format, then id, flags, block size, frames per block and codec
// delay.
constexpr uint32_t LAYER3_FORMAT_BYTES = WAVE_FORMAT_BYTES + 12;
constexpr uint16_t LAYER3_ID_MPEG = 1;
constexpr uint32_t LAYER3_PADDING_ISO = 0;

// The extra buffer: this header, then frameCount frame offsets.
struct Mp3State {
    uint32_t frameCount;
    uint32_t samplesPerFrame;
    uint64_t leadFrames;
};

struct HostFile {
    void* stream;
    PluginReadFn read;
    PluginSeekFileFn seek;
};

size_t readAt(void* context, uint64_t offset, void* buffer, size_t size) {
    const HostFile* file = static_cast<const HostFile*>(context);
    if (file->seek(file->stream, static_cast<int64_t>(offset), 0) != 0) return 0;
    return file->read(file->stream, buffer, size);
}

void put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
    put16(p, v & 0xFFFF);
    put16(p + 2, v >> 16);
}
uint32_t get16(const uint8_t* p) {
    return static_cast<uint32_t>(p[0] | p[1] << 8);
}
uint32_t get32(const uint8_t* p) {
    return get16(p) | get16(p + 2) << 16;
}

void layer3Format(const Mp3Stream& s, uint8_t* f) {
    std::memset(f, 0, LAYER3_FORMAT_BYTES);
    put16(f, WAVE_FORMAT_MPEGLAYER3);
    put16(f + 2, s.channels);
    put32(f + 4, s.rate);
    put32(f + 8, s.averageBitrate / 8);
    put16(f + 12, 1);
    put16(f + 16, LAYER3_FORMAT_BYTES - WAVE_FORMAT_BYTES);
    put16(f + 18, LAYER3_ID_MPEG);
    put32(f + 20, LAYER3_PADDING_ISO);
    uint32_t block = s.averageFrameBytes < 0xFFFF ? s.averageFrameBytes : 0xFFFF;
    put16(f + 24, block);
    put16(f + 26, 1);
}

// The codec's PCM for the stream: 16-bit, same channels and rate. False when it offers none.
bool pcmFormat(PluginCheckRecord* r, const Mp3Stream& s, const uint8_t* source, uint8_t* pcm) {
    std::memset(pcm, 0, WAVE_FORMAT_BYTES);
    put16(pcm, WAVE_FORMAT_PCM);
    if (r->suggest(source, pcm, WAVE_FORMAT_BYTES) != 1) return false;
    return get16(pcm) == WAVE_FORMAT_PCM && get16(pcm + 2) == s.channels &&
           get32(pcm + 4) == s.rate && get16(pcm + 14) == 16 && get16(pcm + 12) == 2 * s.channels;
}

// Keeps the frame index for the seeks in the host's extra buffer.
bool keepIndex(PluginCheckRecord* r, const Mp3Stream& s) {
    size_t bytes = sizeof(Mp3State) + static_cast<size_t>(s.frameCount) * sizeof(uint32_t);
    void* extra = nullptr;
    if (r->allocateExtra(r->host, &extra, bytes) != 1) return false;
    Mp3State state = {s.frameCount, s.samplesPerFrame, s.leadFrames};
    std::memcpy(extra, &state, sizeof state);
    std::memcpy(static_cast<uint8_t*>(extra) + sizeof state, s.frameOffsets,
                static_cast<size_t>(s.frameCount) * sizeof(uint32_t));
    return true;
}

bool describe(PluginCheckRecord* r, const Mp3Stream& s) {
    uint8_t source[LAYER3_FORMAT_BYTES];
    uint8_t pcm[WAVE_FORMAT_BYTES];
    layer3Format(s, source);
    if (!pcmFormat(r, s, source, pcm) || !keepIndex(r, s)) return false;
    if (r->setFormats(r->host, source, sizeof source, pcm, sizeof pcm) != 1) return false;
    r->formatTag = WAVE_FORMAT_PCM;
    r->channels = s.channels;
    r->blockAlign = get16(pcm + 12);
    r->rate = s.rate;
    r->dataOffset = s.dataOffset;
    r->dataSize = s.dataSize;
    r->totalFrames = s.totalFrames;
    r->leadFrames = s.leadFrames;
    return true;
}

bool putText(void* buffer, uint32_t size, const void* text, uint32_t bytes) {
    if (bytes > size) return false;
    std::memcpy(buffer, text, bytes);
    return true;
}

} // namespace

MP3_EXPORT int32_t PLUGIN_CALL kxfuncPluginInfo(uint32_t index, void* buffer, uint32_t size) {
    static const char name[] = "Mp3";
    static const char description[] = "MPEG Layer-3";
    static const wchar_t extensions[] = L"*.mp3";
    static const char version[] = "100";
    static const wchar_t author[] = L"Vesk";
    switch (index) {
    case 0:
        return putText(buffer, size, name, sizeof name) ? 0 : -1;
    case 1:
        return putText(buffer, size, description, sizeof description) ? 0 : -1;
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

MP3_EXPORT int32_t PLUGIN_CALL kxfuncFormatCheck(PluginCheckRecord* r) {
    HostFile file = {r->stream, r->read, r->seek};
    Mp3Source source = {&file, readAt, r->size(r->stream)};
    Mp3Stream stream;
    if (mp3OpenStream(&source, r->wantFormat != 0, &stream) != MP3_OK) return 1;
    bool described = !r->wantFormat || describe(r, stream);
    mp3StreamFree(&stream);
    return described ? 0 : 1;
}

MP3_EXPORT int32_t PLUGIN_CALL kxfuncFormatSeek(PluginSeekRecord* r) {
    void* extra = nullptr;
    size_t size = 0;
    if (r->getExtra(r->host, &extra, &size) != 1 || !extra || size < sizeof(Mp3State)) return 1;
    Mp3State state;
    std::memcpy(&state, extra, sizeof state);
    if (state.frameCount == 0 || state.samplesPerFrame == 0 ||
        (size - sizeof state) / sizeof(uint32_t) < state.frameCount)
        return 1;
    const uint32_t* offsets =
        reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(extra) + sizeof state);
    mp3SeekPoint(offsets, state.frameCount, state.samplesPerFrame, state.leadFrames, r->target,
                 &r->frameReached, &r->byteReached);
    return 0;
}
