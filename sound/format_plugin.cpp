// The plug-in adapters: a codec probe and three hooks that fill the records a plug-in expects,
// call its entry points and carry the answers back into the engine's FormatInfo.
#include "sound/format_plugin.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "sound/codec.h"

namespace {

// The plug-in's stream is the voice's CodecStream; null outside a probe or a seek.
PlatformFile* streamFile(void* stream) {
    CodecStream* s = static_cast<CodecStream*>(stream);
    return s && s->file.handle ? &s->file : nullptr;
}

size_t PLUGIN_CALL hostRead(void* stream, void* buffer, size_t size) {
    PlatformFile* file = streamFile(stream);
    return file && buffer ? fileRead(file, buffer, size) : 0;
}

int32_t PLUGIN_CALL hostSeek(void* stream, int64_t offset, uint32_t origin) {
    PlatformFile* file = streamFile(stream);
    if (!file || origin > SEEK_FROM_END) return -1;
    return fileSeek(file, offset, static_cast<PlatformSeek>(origin)) < 0 ? -1 : 0;
}

int64_t PLUGIN_CALL hostTell(void* stream) {
    PlatformFile* file = streamFile(stream);
    return file ? fileTell(file) : -1;
}

uint64_t PLUGIN_CALL hostSize(void* stream) {
    CodecStream* s = static_cast<CodecStream*>(stream);
    return s ? s->fileSize : 0;
}

int32_t PLUGIN_CALL hostSuggest(const void* source, void* destination, uint32_t destinationSize) {
    const AcmServices* acm = engineAcmServices();
    if (!acm || !acm->suggest || !source || !destination) return 0;
    return acm->suggest(source, destination, destinationSize) == 1 ? 1 : 0;
}

int32_t PLUGIN_CALL hostSetFormats(void* host, const void* source, size_t sourceSize,
                                   const void* destination, size_t destinationSize) {
    return codecSetAcmFormats(static_cast<CodecContext*>(host), source, sourceSize, destination,
                              destinationSize);
}

int32_t PLUGIN_CALL hostAllocateExtra(void* host, void** out, size_t size) {
    return codecAllocateExtra(static_cast<CodecContext*>(host), size, out) == 1 ? 1 : 0;
}

int32_t PLUGIN_CALL hostSetExtra(void* host, const void* data, size_t size) {
    return codecSetExtra(static_cast<CodecContext*>(host), data, size) == 1 ? 1 : 0;
}

int32_t PLUGIN_CALL hostGetExtra(void* host, void** data, size_t* size) {
    uint64_t extraSize = 0;
    if (codecGetExtra(static_cast<CodecContext*>(host), data, &extraSize) != 1) return 0;
    if (size) *size = static_cast<size_t>(extraSize);
    return 1;
}

const FormatPlugin* pluginOf(CodecContext* c) {
    void* context = nullptr;
    codecGetCodecContext(c, &context);
    return static_cast<const FormatPlugin*>(context);
}

void fillCheckRecord(PluginCheckRecord* r, CodecContext* c, bool wantFormat) {
    std::memset(r, 0, sizeof *r);
    r->version = PLUGIN_INTERFACE_VERSION;
    r->host = c;
    r->stream = c->stream;
    r->read = hostRead;
    r->seek = hostSeek;
    r->tell = hostTell;
    r->size = hostSize;
    r->wantFormat = wantFormat ? 1 : 0;
    r->suggest = hostSuggest;
    r->setFormats = hostSetFormats;
    r->allocateExtra = hostAllocateExtra;
    r->setExtra = hostSetExtra;
    r->getExtra = hostGetExtra;
}

// Carries what the plug-in reported into the FormatInfo and installs the hooks it can serve.
void takeCheckResult(CodecContext* c, const PluginCheckRecord* r, const FormatPlugin* plugin) {
    codecSetFormatTag(c, r->formatTag);
    codecSetChannels(c, r->channels & 0xFFFF);
    codecSetBlockAlign(c, r->blockAlign & 0xFFFF);
    codecSetRate(c, r->rate);
    codecSetDataOffset(c, r->dataOffset);
    codecSetDataSize(c, r->dataSize);
    codecSetLoopRegion(c, r->loopStart, r->loopEnd);
    codecSetPluginValueA(c, r->valueA);
    codecSetTotalFrames(c, r->totalFrames);
    codecSetPluginValueB(c, r->valueB);
    if (plugin->seek) codecSetSeekHook(c, pluginSeekHook);
    if (plugin->load) {
        codecSetReadHook(c, pluginReadHook);
        codecSetReleaseHook(c, pluginReleaseHook);
    }
}

// The seek record's ACM part: copies of both formats that live only for the call (one
// allocation returned through `copies`). False when the copies cannot be made.
bool fillSeekAcm(PluginSeekRecord* r, CodecContext* c, void** copies) {
    uint64_t sourceSize = 0;
    uint64_t destinationSize = 0;
    codecGetFormatSizes(c, &sourceSize, &destinationSize);
    uint8_t* both = static_cast<uint8_t*>(std::malloc(sourceSize + destinationSize + 1));
    if (!both) return false;
    codecGetSourceFormat(c, both, sourceSize);
    codecGetDestinationFormat(c, both + sourceSize, destinationSize);
    *copies = both;
    r->acm = 1;
    r->sourceFormat = both;
    r->sourceFormatSize = static_cast<size_t>(sourceSize);
    r->destinationFormat = both + sourceSize;
    r->destinationFormatSize = static_cast<size_t>(destinationSize);
    codecGetPluginValueA(c, &r->valueA);
    codecGetTotalFrames(c, &r->totalFrames);
    codecGetPluginValueB(c, &r->valueB);
    r->flag = 0;
    return true;
}

} // namespace

int32_t pluginProbe(CodecContext* c, uint32_t) {
    const FormatPlugin* plugin = pluginOf(c);
    if (!plugin || !plugin->check) return SND_E_FORMAT;
    bool wantFormat = codecIsProbeWithFormat(c) == 1;
    PluginCheckRecord record;
    fillCheckRecord(&record, c, wantFormat);
    if (plugin->check(&record) != 0) return SND_E_FORMAT;
    if (wantFormat) takeCheckResult(c, &record, plugin);
    // When the plug-in handed over formats, the engine converts the data through ACM from now on.
    int32_t result = codecOpenAcmStream(c);
    // Without the conversion (refused formats, or none opened) the compressed bytes would be
    // played as PCM, as loud noise. The plug-in has already taken the file, so a decoding one
    // gets its delete call to let go of what its check set up; the engine drops the extra buffer
    // when it asks the next codec.
    if (wantFormat && (result != 1 || (c->format->sourceFormat && !c->format->acmStream))) {
        if (plugin->load) pluginReleaseHook(c);
        return SND_E_FORMAT;
    }
    return result;
}

int32_t pluginSeekHook(CodecContext* c, uint64_t* frame, uint64_t* byte) {
    const FormatPlugin* plugin = pluginOf(c);
    if (!plugin || !plugin->seek) return 0;
    PluginSeekRecord r;
    std::memset(&r, 0, sizeof r);
    r.version = PLUGIN_INTERFACE_VERSION;
    r.host = c;
    r.stream = c->stream;
    r.read = hostRead;
    r.seek = hostSeek;
    r.tell = hostTell;
    r.size = hostSize;
    codecGetLength(c, &r.length);
    codecGetTarget(c, &r.target);
    codecGetDataOffset(c, &r.dataOffset);
    codecGetDataSize(c, &r.dataSize);
    codecGetBlockAlign(c, &r.blockAlign);
    void* copies = nullptr;
    if (codecHasAcmStream(c) && !fillSeekAcm(&r, c, &copies)) return 0;
    r.getExtra = hostGetExtra;
    int32_t result = plugin->seek(&r);
    std::free(copies);
    if (result != 0) return 0;
    *frame = r.frameReached;
    *byte = r.byteReached;
    return 1;
}

size_t pluginReadHook(CodecContext* c, void* buffer, size_t size) {
    const FormatPlugin* plugin = pluginOf(c);
    if (!plugin || !plugin->load) return 0;
    PluginLoadRecord r;
    std::memset(&r, 0, sizeof r);
    r.version = PLUGIN_INTERFACE_VERSION;
    r.host = c;
    r.buffer = buffer;
    // The plug-in answers in an int32, so it is never asked for more than that can count.
    r.wanted = size < static_cast<size_t>(INT32_MAX) ? size : static_cast<size_t>(INT32_MAX);
    r.getExtra = hostGetExtra;
    int32_t delivered = plugin->load(&r);
    // A negative answer would read as a huge count: it delivered nothing.
    if (delivered <= 0) return 0;
    return static_cast<size_t>(delivered) < r.wanted ? static_cast<size_t>(delivered) : r.wanted;
}

void pluginReleaseHook(CodecContext* c) {
    const FormatPlugin* plugin = pluginOf(c);
    if (!plugin || !plugin->remove) return;
    PluginDeleteRecord r;
    std::memset(&r, 0, sizeof r);
    r.version = PLUGIN_INTERFACE_VERSION;
    r.host = c;
    r.getExtra = hostGetExtra;
    plugin->remove(&r);
}
