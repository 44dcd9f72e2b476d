// The records a decoder plug-in receives through its exports. Their layout is a binary contract
// with DLLs built elsewhere: fields in order with natural alignment, pointer-sized fields of the
// build. Every record starts with PLUGIN_INTERFACE_VERSION.
#pragma once

#include <cstddef>
#include <cstdint>

// The plug-in exports use the platform's C calling convention, whatever the compiler default.
#if defined(_WIN32) && !defined(_WIN64)
#define PLUGIN_CALL __cdecl
#else
#define PLUGIN_CALL
#endif

constexpr uint32_t PLUGIN_INTERFACE_VERSION = 100;

// Host services handed to the plug-in. `stream` and `host` are opaque to it.
using PluginReadFn = size_t(PLUGIN_CALL*)(void* stream, void* buffer, size_t size);
using PluginSeekFileFn = int32_t(PLUGIN_CALL*)(void* stream, int64_t offset, uint32_t origin);
using PluginTellFn = int64_t(PLUGIN_CALL*)(void* stream);
using PluginSizeFn = uint64_t(PLUGIN_CALL*)(void* stream);
using PluginSuggestFn = int32_t(PLUGIN_CALL*)(const void* source, void* destination,
                                              uint32_t destinationSize);
using PluginSetFormatsFn = int32_t(PLUGIN_CALL*)(void* host, const void* source, size_t sourceSize,
                                                 const void* destination, size_t destinationSize);
using PluginAllocateExtraFn = int32_t(PLUGIN_CALL*)(void* host, void** out, size_t size);
using PluginSetExtraFn = int32_t(PLUGIN_CALL*)(void* host, const void* data, size_t size);
using PluginGetExtraFn = int32_t(PLUGIN_CALL*)(void* host, void** data, size_t* size);

struct PluginCheckRecord {
    uint32_t version;
    void* host;
    void* stream;
    PluginReadFn read;
    PluginSeekFileFn seek;
    PluginTellFn tell;
    PluginSizeFn size;
    uintptr_t wantFormat; // 1: fill the fields below; 0: only say whether the file is accepted
    uint32_t formatTag;
    uint32_t channels;
    uint32_t blockAlign;
    uint32_t rate;
    uint64_t dataOffset;
    uint64_t dataSize;
    uint64_t loopStart;
    uint64_t loopEnd;
    // Decoded frames before the audio itself (an encoder's delay): the engine drops them at the
    // start and counts them in at every seek. Zero for most plug-ins.
    uintptr_t leadFrames;
    void* reserved[3];
    uint32_t valueA;
    uint64_t totalFrames;
    uint64_t valueB;
    uint64_t reserved2;
    PluginSuggestFn suggest;
    PluginSetFormatsFn setFormats;
    PluginAllocateExtraFn allocateExtra;
    PluginSetExtraFn setExtra;
    PluginGetExtraFn getExtra;
};

struct PluginSeekRecord {
    uint32_t version;
    void* host;
    void* stream;
    PluginReadFn read;
    PluginSeekFileFn seek;
    PluginTellFn tell;
    PluginSizeFn size;
    uint64_t length;
    uint64_t target;
    uint64_t dataOffset;
    uint64_t dataSize;
    uint32_t blockAlign;
    uint32_t acm; // 1 when the voice converts through ACM; the fields up to `flag` are then set
    void* sourceFormat;
    size_t sourceFormatSize;
    void* destinationFormat;
    size_t destinationFormatSize;
    uint32_t valueA;
    uint64_t totalFrames;
    uint64_t valueB;
    uint32_t flag;
    PluginGetExtraFn getExtra;
    uint64_t frameReached;
    uint64_t byteReached; // from the start of the data
};

struct PluginLoadRecord {
    uint32_t version;
    void* host;
    void* buffer;
    size_t wanted;
    PluginGetExtraFn getExtra;
};

struct PluginDeleteRecord {
    uint32_t version;
    void* host;
    PluginGetExtraFn getExtra;
};

#if UINTPTR_MAX > 0xFFFFFFFFu
static_assert(sizeof(PluginCheckRecord) == 216, "check record size");
static_assert(offsetof(PluginCheckRecord, host) == 0x08, "check record layout");
static_assert(offsetof(PluginCheckRecord, wantFormat) == 0x38, "check record layout");
static_assert(offsetof(PluginCheckRecord, formatTag) == 0x40, "check record layout");
static_assert(offsetof(PluginCheckRecord, rate) == 0x4C, "check record layout");
static_assert(offsetof(PluginCheckRecord, dataOffset) == 0x50, "check record layout");
static_assert(offsetof(PluginCheckRecord, loopEnd) == 0x68, "check record layout");
static_assert(offsetof(PluginCheckRecord, leadFrames) == 0x70, "check record layout");
static_assert(offsetof(PluginCheckRecord, reserved) == 0x78, "check record layout");
static_assert(offsetof(PluginCheckRecord, valueA) == 0x90, "check record layout");
static_assert(offsetof(PluginCheckRecord, totalFrames) == 0x98, "check record layout");
static_assert(offsetof(PluginCheckRecord, valueB) == 0xA0, "check record layout");
static_assert(offsetof(PluginCheckRecord, suggest) == 0xB0, "check record layout");
static_assert(offsetof(PluginCheckRecord, getExtra) == 0xD0, "check record layout");

static_assert(sizeof(PluginSeekRecord) == 184, "seek record size");
static_assert(offsetof(PluginSeekRecord, length) == 0x38, "seek record layout");
static_assert(offsetof(PluginSeekRecord, blockAlign) == 0x58, "seek record layout");
static_assert(offsetof(PluginSeekRecord, acm) == 0x5C, "seek record layout");
static_assert(offsetof(PluginSeekRecord, sourceFormat) == 0x60, "seek record layout");
static_assert(offsetof(PluginSeekRecord, destinationFormatSize) == 0x78, "seek record layout");
static_assert(offsetof(PluginSeekRecord, valueA) == 0x80, "seek record layout");
static_assert(offsetof(PluginSeekRecord, totalFrames) == 0x88, "seek record layout");
static_assert(offsetof(PluginSeekRecord, flag) == 0x98, "seek record layout");
static_assert(offsetof(PluginSeekRecord, getExtra) == 0xA0, "seek record layout");
static_assert(offsetof(PluginSeekRecord, frameReached) == 0xA8, "seek record layout");
static_assert(offsetof(PluginSeekRecord, byteReached) == 0xB0, "seek record layout");

static_assert(sizeof(PluginLoadRecord) == 40, "load record size");
static_assert(offsetof(PluginLoadRecord, buffer) == 0x10, "load record layout");
static_assert(offsetof(PluginLoadRecord, wanted) == 0x18, "load record layout");
static_assert(offsetof(PluginLoadRecord, getExtra) == 0x20, "load record layout");

static_assert(sizeof(PluginDeleteRecord) == 24, "delete record size");
static_assert(offsetof(PluginDeleteRecord, getExtra) == 0x10, "delete record layout");
#else
static_assert(sizeof(PluginCheckRecord) == 152, "check record size");
static_assert(offsetof(PluginCheckRecord, wantFormat) == 0x1C, "check record layout");
static_assert(offsetof(PluginCheckRecord, dataOffset) == 0x30, "check record layout");
static_assert(offsetof(PluginCheckRecord, leadFrames) == 0x50, "check record layout");
static_assert(offsetof(PluginCheckRecord, reserved) == 0x54, "check record layout");
static_assert(offsetof(PluginCheckRecord, valueA) == 0x60, "check record layout");
static_assert(offsetof(PluginCheckRecord, totalFrames) == 0x68, "check record layout");
static_assert(offsetof(PluginCheckRecord, suggest) == 0x80, "check record layout");
static_assert(offsetof(PluginCheckRecord, getExtra) == 0x90, "check record layout");

static_assert(sizeof(PluginSeekRecord) == 136, "seek record size");
static_assert(offsetof(PluginSeekRecord, length) == 0x20, "seek record layout");
static_assert(offsetof(PluginSeekRecord, blockAlign) == 0x40, "seek record layout");
static_assert(offsetof(PluginSeekRecord, sourceFormat) == 0x48, "seek record layout");
static_assert(offsetof(PluginSeekRecord, valueA) == 0x58, "seek record layout");
static_assert(offsetof(PluginSeekRecord, totalFrames) == 0x60, "seek record layout");
static_assert(offsetof(PluginSeekRecord, flag) == 0x70, "seek record layout");
static_assert(offsetof(PluginSeekRecord, getExtra) == 0x74, "seek record layout");
static_assert(offsetof(PluginSeekRecord, frameReached) == 0x78, "seek record layout");
static_assert(offsetof(PluginSeekRecord, byteReached) == 0x80, "seek record layout");

static_assert(sizeof(PluginLoadRecord) == 20, "load record size");
static_assert(offsetof(PluginLoadRecord, getExtra) == 0x10, "load record layout");

static_assert(sizeof(PluginDeleteRecord) == 12, "delete record size");
static_assert(offsetof(PluginDeleteRecord, getExtra) == 0x08, "delete record layout");
#endif
