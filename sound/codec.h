// The codec interface: a codec is a probe function plus a context, asked in registration order
// whether it accepts a file. The one that does describes the sample data in the voice's
// FormatInfo and installs the hooks the engine calls later. Codecs reach the engine only through
// the CodecContext and the host services below.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"
#include "sound/sound_engine.h"

constexpr uint32_t CODEC_MODE_PROBE = 0;
constexpr uint32_t CODEC_MODE_RUNNING = 1;
constexpr uint32_t CODEC_ID_BASE = 4096;

constexpr uint32_t FORMAT_TAG_PCM = 1;
constexpr uint32_t FORMAT_TAG_FLOAT = 3;
constexpr uint32_t FORMAT_TAG_EXTENSIBLE = 0xFFFE;

// The part of a voice's stream a codec may use: the open file and its size. A StreamBuffer
// starts with these fields; EngineProbeFile passes just this record.
struct CodecStream {
    PlatformLock* lock;
    PlatformFile file;
    uint64_t fileSize;
};

struct CodecContext;
using CodecSeekHook = int32_t (*)(CodecContext* context, uint64_t* frame, uint64_t* byte);
using CodecReadHook = size_t (*)(CodecContext* context, void* buffer, size_t size);
using CodecReleaseHook = void (*)(CodecContext* context);

struct FormatInfo {
    uint32_t codecId;
    uint32_t formatTag;
    uint16_t channels;
    uint16_t blockAlign;
    uint32_t rate;
    uint64_t dataOffset;
    uint64_t dataSize;
    uint64_t bytesRead;
    uint64_t loopStart;
    uint64_t loopEnd;
    void* acmStream;
    void* sourceFormat;
    void* destinationFormat;
    uint64_t sourceFormatSize;
    uint64_t destinationFormatSize;
    uint32_t pluginValueA;
    uint64_t totalFrames;
    uint64_t pluginValueB;
    void* codecContext;
    void* extra;
    uint64_t extraSize;
    CodecSeekHook seekHook;
    CodecReadHook readHook;
    CodecReleaseHook releaseHook;
    // Set when the codec handed over format records that could not be taken whole; the file is
    // then refused rather than its compressed bytes played as PCM.
    uint32_t formatsRefused;
};

struct CodecContext {
    uint32_t reserved;
    uint32_t mode;
    uint64_t target;
    uint64_t length;
    void* codecContext;
    CodecStream* stream;
    FormatInfo* format;
};

struct FormatCodec {
    uint32_t id;
    CodecProbe probe;
    void* context;
};

// Compressed-audio conversion (the system's ACM on Windows). Without it every voice reports "no
// ACM stream" and compressed data are not converted.
struct AcmServices {
    // Opens a non-realtime conversion from `source` to `destination` (wave format records).
    void* (*open)(const void* source, const void* destination);
    void (*close)(void* stream);
    // Source bytes needed to produce `destinationBytes`; false when unknown.
    bool (*sourceSize)(void* stream, uint32_t destinationBytes, uint32_t* sourceBytes);
    // Converts whole blocks; reports the bytes used on each side. False on failure.
    bool (*convert)(void* stream, const uint8_t* source, uint32_t sourceBytes, uint8_t* destination,
                    uint32_t destinationBytes, uint32_t* sourceUsed, uint32_t* destinationUsed);
    // Suggests a PCM destination for `source`; 1 on success, else 0.
    int32_t (*suggest)(const void* source, void* destination, uint32_t destinationSize);
};
// Installs the conversion services (null: none). Called once at start-up, before EngineOpen.
void EngineSetAcmServices(const AcmServices* services);
const AcmServices* engineAcmServices();

// Runs the codecs over `stream` in registration order; fills `format` (if any) from the winner.
int32_t codecProbeAll(CodecContext* context, CodecStream* stream, FormatInfo* format);
// Closes an ACM stream, frees the format copies and the extra buffer, clears the hooks.
void formatInfoReset(FormatInfo* format);

// Host services. Setters work while probing and return 1 (also when ignored); getters work while
// running and return 1, or 0 in probe mode or without a FormatInfo.
int32_t codecIsProbeWithFormat(CodecContext* c);
int32_t codecSetFormatTag(CodecContext* c, uint32_t tag);
int32_t codecSetChannels(CodecContext* c, uint32_t channels);
int32_t codecSetBlockAlign(CodecContext* c, uint32_t blockAlign);
int32_t codecSetRate(CodecContext* c, uint32_t rate);
int32_t codecSetDataOffset(CodecContext* c, uint64_t offset);
int32_t codecSetDataSize(CodecContext* c, uint64_t size);
int32_t codecSetLoopRegion(CodecContext* c, uint64_t start, uint64_t end);
int32_t codecSetTotalFrames(CodecContext* c, uint64_t frames);
int32_t codecSetPluginValueA(CodecContext* c, uint32_t value);
int32_t codecSetPluginValueB(CodecContext* c, uint64_t value);
int32_t codecSetSeekHook(CodecContext* c, CodecSeekHook hook);
int32_t codecSetReadHook(CodecContext* c, CodecReadHook hook);
int32_t codecSetReleaseHook(CodecContext* c, CodecReleaseHook hook);
int32_t codecSetAcmFormats(CodecContext* c, const void* source, uint64_t sourceSize,
                           const void* destination, uint64_t destinationSize);
int32_t codecOpenAcmStream(CodecContext* c);
int32_t codecGetBlockAlign(CodecContext* c, uint32_t* out);
int32_t codecGetDataOffset(CodecContext* c, uint64_t* out);
int32_t codecGetDataSize(CodecContext* c, uint64_t* out);
int32_t codecGetTotalFrames(CodecContext* c, uint64_t* out);
int32_t codecGetPluginValueA(CodecContext* c, uint32_t* out);
int32_t codecGetPluginValueB(CodecContext* c, uint64_t* out);
int32_t codecGetFormatSizes(CodecContext* c, uint64_t* sourceSize, uint64_t* destinationSize);
// Copies the format records into `out` (at most `capacity` bytes each).
int32_t codecGetSourceFormat(CodecContext* c, void* out, uint64_t capacity);
int32_t codecGetDestinationFormat(CodecContext* c, void* out, uint64_t capacity);
int32_t codecGetTarget(CodecContext* c, uint64_t* out);
int32_t codecGetLength(CodecContext* c, uint64_t* out);
int32_t codecHasAcmStream(CodecContext* c);
int32_t codecGetCodecContext(CodecContext* c, void** out);
int32_t codecGetStream(CodecContext* c, CodecStream** out);
size_t codecReadBytes(CodecContext* c, void* buffer, size_t count);
int64_t codecSeekFile(CodecContext* c, int64_t offset, uint32_t origin);
int64_t codecTellFile(CodecContext* c);
uint64_t codecFileSize(CodecContext* c);
int32_t codecAllocateExtra(CodecContext* c, uint64_t size, void** out);
int32_t codecSetExtra(CodecContext* c, const void* data, uint64_t size);
int32_t codecGetExtra(CodecContext* c, void** data, uint64_t* size);
