// Mp3: a decoder plug-in for MPEG layer III files. It finds the frames itself and hands the
// system's layer III codec a description of them, so the host reads the frame bytes and converts
// them to 16-bit PCM. Its per-voice state is the frame index that seeks use, kept in the host's
// extra buffer.
#include <cstring>

#include "plugins/common/plugin_info.h"
#include "plugins/mp3/mp3_stream.h"
#include "plugins/mp3/mp3_wave_format.h"
#include "sound/plugin_records.h"

#define MP3_EXPORT extern "C" __declspec(dllexport)

namespace {

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

// The codec's PCM for the stream: 16-bit, same channels and rate. False when it offers none.
bool pcmFormat(PluginCheckRecord* r, const Mp3Stream& s, const uint8_t* source, uint8_t* pcm) {
    mp3PcmFormat(s, pcm);
    return r->suggest(source, pcm, MP3_WAVE_FORMAT_BYTES) == 1 && mp3IsPcmFor(s, pcm);
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
    uint8_t source[MP3_LAYER3_FORMAT_BYTES];
    uint8_t pcm[MP3_WAVE_FORMAT_BYTES];
    mp3Layer3Format(s, source);
    if (!pcmFormat(r, s, source, pcm) || !keepIndex(r, s)) return false;
    if (r->setFormats(r->host, source, sizeof source, pcm, sizeof pcm) != 1) return false;
    r->formatTag = 1; // PCM
    r->channels = s.channels;
    r->blockAlign = 2 * s.channels;
    r->rate = s.rate;
    r->dataOffset = s.dataOffset;
    r->dataSize = s.dataSize;
    r->totalFrames = s.totalFrames;
    r->leadFrames = s.leadFrames;
    return true;
}

} // namespace

const DecoderPluginTexts PLUGIN_TEXTS = {"Mp3", "MPEG Layer-3", L"*.mp3"};

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
