// The exports of a decoding plug-in: the check opens the file with the plug-in's core and keeps
// the decoder in the voice's extra buffer; loads hand out float frames, seeks move the decoder.
// A stream that breaks off before its length ends where it broke: the host takes a short load as
// the end of the data, so a damaged file does not ring minutes of silence up to its stated length.
#include "plugins/common/decoder_plugin.h"

#define DECODER_EXPORT extern "C" __declspec(dllexport)

namespace {

constexpr uint32_t FORMAT_TAG_FLOAT = 3;

struct VoiceState {
    PcmDecoder* decoder; // owned; null once deleted
    uint64_t position;   // next frame a load hands out
    bool broken;         // the decoder stopped short: nothing more until a seek succeeds
};

VoiceState* stateOf(void* host, PluginGetExtraFn getExtra) {
    void* extra = nullptr;
    size_t size = 0;
    if (!getExtra || getExtra(host, &extra, &size) != 1 || !extra || size != sizeof(VoiceState))
        return nullptr;
    VoiceState* s = static_cast<VoiceState*>(extra);
    return s->decoder ? s : nullptr;
}

} // namespace

DECODER_EXPORT int32_t PLUGIN_CALL kxfuncFormatCheck(PluginCheckRecord* r) {
    if (!r || r->version != PLUGIN_INTERFACE_VERSION || !r->read || !r->seek || !r->tell ||
        !r->size)
        return 1;
    ByteSource source{r->stream, r->read, r->seek, r->tell, r->size(r->stream)};
    PcmDecoder* decoder = openPluginDecoder(source);
    if (!decoder) return 1;
    if (!r->wantFormat) {
        delete decoder;
        return 0;
    }
    VoiceState* s = nullptr;
    if (!r->allocateExtra ||
        r->allocateExtra(r->host, reinterpret_cast<void**>(&s), sizeof *s) != 1 || !s) {
        delete decoder;
        return 1;
    }
    s->decoder = decoder;
    s->position = 0;
    s->broken = false;
    uint32_t blockAlign = 4 * decoder->channels();
    r->formatTag = FORMAT_TAG_FLOAT;
    r->channels = decoder->channels();
    r->blockAlign = blockAlign;
    r->rate = decoder->rate();
    r->dataOffset = 0;
    r->dataSize = decoder->frames() * blockAlign;
    r->totalFrames = decoder->frames();
    return 0;
}

DECODER_EXPORT int32_t PLUGIN_CALL kxfuncFormatSeek(PluginSeekRecord* r) {
    VoiceState* s = r ? stateOf(r->host, r->getExtra) : nullptr;
    if (!s || r->target > s->decoder->frames()) return 1;
    if (!s->decoder->seek(r->target)) {
        // The voice stays where it was, but the decoder may not: ending here is safer than
        // sound from some other place.
        s->broken = true;
        return 1;
    }
    s->position = r->target;
    s->broken = false;
    r->frameReached = r->target;
    r->byteReached = r->target * 4 * s->decoder->channels();
    return 0;
}

DECODER_EXPORT void PLUGIN_CALL kxfuncFormatDelete(PluginDeleteRecord* r) {
    // The host frees the extra buffer itself; the decoder it points to is ours.
    VoiceState* s = r ? stateOf(r->host, r->getExtra) : nullptr;
    if (!s) return;
    delete s->decoder;
    s->decoder = nullptr;
}

DECODER_EXPORT int32_t PLUGIN_CALL kxfuncFormatPcmLoad(PluginLoadRecord* r) {
    VoiceState* s = r ? stateOf(r->host, r->getExtra) : nullptr;
    if (!s || !r->buffer) return 0;
    PcmDecoder* d = s->decoder;
    uint64_t left = d->frames() > s->position ? d->frames() - s->position : 0;
    uint64_t wanted = r->wanted / (4 * d->channels());
    size_t count = static_cast<size_t>(wanted < left ? wanted : left);
    float* out = static_cast<float*>(r->buffer);
    size_t got = s->broken ? 0 : d->read(out, count);
    if (got < count) s->broken = true;
    s->position += got;
    return static_cast<int32_t>(got * 4 * d->channels());
}
