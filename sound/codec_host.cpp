// Host services offered to codecs, the codec table and the probe over it.
#include <cstdlib>
#include <cstring>

#include "sound/codec.h"
#include "sound/engine_internal.h"

namespace {

const AcmServices* g_acm = nullptr;

// Tag, channels, rate, bytes per second, block align and bits of a wave format record.
constexpr uint64_t WAVE_FORMAT_MIN_BYTES = 16;
// The same plus the size of the extra bytes that follow, which every format but plain PCM has.
constexpr uint64_t WAVE_FORMAT_EX_BYTES = 18;
constexpr uint16_t WAVE_TAG_PCM = 1;
// Real format records are a few dozen bytes; the bound keeps a plug-in's size from wrapping the
// sum of both copies or asking for absurd memory.
constexpr uint64_t WAVE_FORMAT_MAX_BYTES = 64 * 1024;

// Setters act only while probing with a FormatInfo.
FormatInfo* probeFormat(CodecContext* c) {
    return c && c->mode == CODEC_MODE_PROBE ? c->format : nullptr;
}
// Getters act only while running with a FormatInfo.
FormatInfo* runningFormat(CodecContext* c) {
    return c && c->mode == CODEC_MODE_RUNNING ? c->format : nullptr;
}

PlatformFile* fileOf(CodecContext* c) {
    return c && c->stream && c->stream->file.handle ? &c->stream->file : nullptr;
}

int32_t copyFormat(const void* from, uint64_t size, void* out, uint64_t capacity) {
    if (!out || !from) return 0;
    std::memcpy(out, from, size < capacity ? size : capacity);
    return 1;
}

uint16_t readLittle16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

// True when a format record of `size` bytes holds every byte its converter will read: the
// fixed fields, and for any tag but PCM also the extra bytes its own size field announces.
bool formatRecordWhole(const void* record, uint64_t size) {
    if (!record || size < WAVE_FORMAT_MIN_BYTES || size > WAVE_FORMAT_MAX_BYTES) return false;
    const uint8_t* bytes = static_cast<const uint8_t*>(record);
    if (readLittle16(bytes) == WAVE_TAG_PCM) return true;
    return size >= WAVE_FORMAT_EX_BYTES && WAVE_FORMAT_EX_BYTES + readLittle16(bytes + 16) <= size;
}

// The host's getters share one shape: the running format's field, or 0 without one.
template <typename Field, typename T>
int32_t readRunningField(CodecContext* c, Field FormatInfo::*field, T* out) {
    FormatInfo* f = runningFormat(c);
    if (!f || !out) return 0;
    *out = f->*field;
    return 1;
}

} // namespace

void EngineSetAcmServices(const AcmServices* services) {
    g_acm = services;
}
const AcmServices* engineAcmServices() {
    return g_acm;
}

void formatInfoReset(FormatInfo* format) {
    if (format->acmStream && g_acm) g_acm->close(format->acmStream);
    format->acmStream = nullptr;
    std::free(format->sourceFormat); // one allocation holds both copies
    format->sourceFormat = nullptr;
    format->destinationFormat = nullptr;
    format->sourceFormatSize = 0;
    format->destinationFormatSize = 0;
    std::free(format->extra);
    format->extra = nullptr;
    format->extraSize = 0;
    format->seekHook = nullptr;
    format->readHook = nullptr;
    format->releaseHook = nullptr;
    format->formatsRefused = 0;
}

int32_t EngineRegisterCodec(CodecProbe probe, void* context) {
    EngineCall call;
    SoundEngine* engine = call.engine();
    if (!engine) return SND_E_STATE;
    if (!probe) return SND_E_RANGE;
    LockGuard hold(&engine->codecLock);
    if (engine->codecCount >= engine->config.codecSlots) return SND_E_MEMORY;
    FormatCodec* entry = &engine->codecs[engine->codecCount];
    entry->id = CODEC_ID_BASE + engine->codecCount;
    entry->probe = probe;
    entry->context = context;
    ++engine->codecCount;
    return SND_OK;
}

int32_t codecProbeAll(CodecContext* context, CodecStream* stream, FormatInfo* format) {
    SoundEngine* engine = engineInstance();
    if (!engine) return SND_E_STATE;
    uint32_t count;
    {
        LockGuard hold(&engine->codecLock);
        count = engine->codecCount;
    }
    std::memset(context, 0, sizeof *context);
    context->mode = CODEC_MODE_PROBE;
    context->stream = stream;
    context->format = format;
    for (uint32_t k = 0; k < count; ++k) {
        const FormatCodec* entry = &engine->codecs[k];
        fileSeek(&stream->file, 0, SEEK_FROM_START);
        if (format) {
            formatInfoReset(format);
            std::memset(format, 0, sizeof *format);
        }
        context->codecContext = entry->context;
        if (entry->probe(context, 0) == SND_OK) {
            if (format) {
                format->codecId = entry->id;
                format->codecContext = entry->context;
            }
            return SND_OK;
        }
    }
    if (format) {
        formatInfoReset(format);
        std::memset(format, 0, sizeof *format);
    }
    return SND_E_FORMAT;
}

int32_t codecIsProbeWithFormat(CodecContext* c) {
    return probeFormat(c) ? 1 : 0;
}

int32_t codecSetFormatTag(CodecContext* c, uint32_t tag) {
    if (FormatInfo* f = probeFormat(c)) f->formatTag = tag;
    return 1;
}
int32_t codecSetChannels(CodecContext* c, uint32_t channels) {
    if (FormatInfo* f = probeFormat(c)) f->channels = static_cast<uint16_t>(channels);
    return 1;
}
int32_t codecSetChannelMask(CodecContext* c, uint32_t mask) {
    if (FormatInfo* f = probeFormat(c)) f->channelMask = mask;
    return 1;
}
int32_t codecSetBlockAlign(CodecContext* c, uint32_t blockAlign) {
    if (FormatInfo* f = probeFormat(c)) f->blockAlign = static_cast<uint16_t>(blockAlign);
    return 1;
}
int32_t codecSetRate(CodecContext* c, uint32_t rate) {
    if (FormatInfo* f = probeFormat(c)) f->rate = rate;
    return 1;
}
int32_t codecSetDataOffset(CodecContext* c, uint64_t offset) {
    if (FormatInfo* f = probeFormat(c)) f->dataOffset = offset;
    return 1;
}
int32_t codecSetDataSize(CodecContext* c, uint64_t size) {
    if (FormatInfo* f = probeFormat(c)) f->dataSize = size;
    return 1;
}
int32_t codecSetLoopRegion(CodecContext* c, uint64_t start, uint64_t end) {
    if (FormatInfo* f = probeFormat(c)) {
        f->loopStart = start;
        f->loopEnd = end;
    }
    return 1;
}
int32_t codecSetTotalFrames(CodecContext* c, uint64_t frames) {
    if (FormatInfo* f = probeFormat(c)) f->totalFrames = frames;
    return 1;
}
int32_t codecSetPluginValueA(CodecContext* c, uint32_t value) {
    if (FormatInfo* f = probeFormat(c)) f->pluginValueA = value;
    return 1;
}
int32_t codecSetPluginValueB(CodecContext* c, uint64_t value) {
    if (FormatInfo* f = probeFormat(c)) f->pluginValueB = value;
    return 1;
}
int32_t codecSetLeadFrames(CodecContext* c, uint64_t frames) {
    if (FormatInfo* f = probeFormat(c)) f->leadFrames = frames;
    return 1;
}
int32_t codecSetSeekHook(CodecContext* c, CodecSeekHook hook) {
    if (FormatInfo* f = probeFormat(c)) f->seekHook = hook;
    return 1;
}
int32_t codecSetReadHook(CodecContext* c, CodecReadHook hook) {
    if (FormatInfo* f = probeFormat(c)) f->readHook = hook;
    return 1;
}
int32_t codecSetReleaseHook(CodecContext* c, CodecReleaseHook hook) {
    if (FormatInfo* f = probeFormat(c)) f->releaseHook = hook;
    return 1;
}

int32_t codecSetAcmFormats(CodecContext* c, const void* source, uint64_t sourceSize,
                           const void* destination, uint64_t destinationSize) {
    FormatInfo* f = probeFormat(c);
    if (!f) return 1;
    // A record shorter than what its fields announce would be read past its end.
    if (!formatRecordWhole(source, sourceSize) ||
        !formatRecordWhole(destination, destinationSize)) {
        f->formatsRefused = 1;
        return 1;
    }
    uint8_t* copies = static_cast<uint8_t*>(std::malloc(sourceSize + destinationSize));
    if (!copies) return SND_E_MEMORY;
    std::memcpy(copies, source, sourceSize);
    std::memcpy(copies + sourceSize, destination, destinationSize);
    std::free(f->sourceFormat);
    f->sourceFormat = copies;
    f->destinationFormat = copies + sourceSize;
    f->sourceFormatSize = sourceSize;
    f->destinationFormatSize = destinationSize;
    f->formatsRefused = 0;
    return 1;
}

int32_t codecOpenAcmStream(CodecContext* c) {
    FormatInfo* f = probeFormat(c);
    if (!f) return 1;
    if (f->formatsRefused) return SND_E_FORMAT;
    if (!f->acmStream && f->sourceFormat && g_acm)
        f->acmStream = g_acm->open(f->sourceFormat, f->destinationFormat);
    f->bytesRead = 0;
    return 1;
}

int32_t codecGetBlockAlign(CodecContext* c, uint32_t* out) {
    return readRunningField(c, &FormatInfo::blockAlign, out);
}
int32_t codecGetDataOffset(CodecContext* c, uint64_t* out) {
    return readRunningField(c, &FormatInfo::dataOffset, out);
}
int32_t codecGetDataSize(CodecContext* c, uint64_t* out) {
    return readRunningField(c, &FormatInfo::dataSize, out);
}
int32_t codecGetTotalFrames(CodecContext* c, uint64_t* out) {
    return readRunningField(c, &FormatInfo::totalFrames, out);
}
int32_t codecGetPluginValueA(CodecContext* c, uint32_t* out) {
    return readRunningField(c, &FormatInfo::pluginValueA, out);
}
int32_t codecGetPluginValueB(CodecContext* c, uint64_t* out) {
    return readRunningField(c, &FormatInfo::pluginValueB, out);
}
int32_t codecGetFormatSizes(CodecContext* c, uint64_t* sourceSize, uint64_t* destinationSize) {
    FormatInfo* f = runningFormat(c);
    if (!f) return 0;
    if (sourceSize) *sourceSize = f->sourceFormatSize;
    if (destinationSize) *destinationSize = f->destinationFormatSize;
    return 1;
}
int32_t codecGetSourceFormat(CodecContext* c, void* out, uint64_t capacity) {
    FormatInfo* f = runningFormat(c);
    return f ? copyFormat(f->sourceFormat, f->sourceFormatSize, out, capacity) : 0;
}
int32_t codecGetDestinationFormat(CodecContext* c, void* out, uint64_t capacity) {
    FormatInfo* f = runningFormat(c);
    return f ? copyFormat(f->destinationFormat, f->destinationFormatSize, out, capacity) : 0;
}
int32_t codecGetTarget(CodecContext* c, uint64_t* out) {
    if (!runningFormat(c) || !out) return 0;
    *out = c->target;
    return 1;
}
int32_t codecGetLength(CodecContext* c, uint64_t* out) {
    if (!runningFormat(c) || !out) return 0;
    *out = c->length;
    return 1;
}
int32_t codecHasAcmStream(CodecContext* c) {
    FormatInfo* f = runningFormat(c);
    return f && f->acmStream ? 1 : 0;
}
int32_t codecGetCodecContext(CodecContext* c, void** out) {
    if (c && out) *out = c->codecContext;
    return 1;
}
int32_t codecGetStream(CodecContext* c, CodecStream** out) {
    if (!c || !c->stream) return SND_E_STATE;
    if (out) *out = c->stream;
    return 1;
}

size_t codecReadBytes(CodecContext* c, void* buffer, size_t count) {
    PlatformFile* file = fileOf(c);
    return file && buffer ? fileRead(file, buffer, count) : 0;
}
int64_t codecSeekFile(CodecContext* c, int64_t offset, uint32_t origin) {
    PlatformFile* file = fileOf(c);
    if (!file || origin > 2) return -1;
    return fileSeek(file, offset, static_cast<PlatformSeek>(origin));
}
int64_t codecTellFile(CodecContext* c) {
    PlatformFile* file = fileOf(c);
    return file ? fileTell(file) : -1;
}
uint64_t codecFileSize(CodecContext* c) {
    return c && c->stream ? c->stream->fileSize : 0;
}

int32_t codecAllocateExtra(CodecContext* c, uint64_t size, void** out) {
    FormatInfo* f = c ? c->format : nullptr;
    if (!f || size == 0 || !out || f->extra) return SND_E_STATE;
    void* extra = std::calloc(1, size);
    if (!extra) return SND_E_MEMORY;
    f->extra = extra;
    f->extraSize = size;
    *out = extra;
    return 1;
}
int32_t codecSetExtra(CodecContext* c, const void* data, uint64_t size) {
    FormatInfo* f = c ? c->format : nullptr;
    if (!f || !data || size == 0) return SND_E_STATE;
    if (data == f->extra) return 1;
    void* copy = std::malloc(size);
    if (copy) std::memcpy(copy, data, size);
    std::free(f->extra);
    f->extra = copy;
    f->extraSize = copy ? size : 0;
    return 1;
}
int32_t codecGetExtra(CodecContext* c, void** data, uint64_t* size) {
    FormatInfo* f = c ? c->format : nullptr;
    if (!f) return SND_E_STATE;
    if (data) *data = f->extra;
    if (size) *size = f->extraSize;
    return 1;
}
