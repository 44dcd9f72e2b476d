// The audio engine's public interface: configuration, opening and closing the one engine of the
// process, master volume, codec registration and the voice operations. Every call returns SND_OK
// (1) or an SND_E_* code (negative); voice calls only set fields under the state lock, the
// engine's own threads do the file and device work. All calls are safe from any thread.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "sound/output_device.h"

constexpr int32_t SND_OK = 1;
constexpr int32_t SND_E_OPEN = static_cast<int32_t>(0x80000000u);
constexpr int32_t SND_E_FILE = static_cast<int32_t>(0x80000001u);
constexpr int32_t SND_E_FORMAT = static_cast<int32_t>(0x80000003u);
constexpr int32_t SND_E_PREPARE = static_cast<int32_t>(0x80000004u);
constexpr int32_t SND_E_STATE = static_cast<int32_t>(0x80000005u);
constexpr int32_t SND_E_MEMORY = static_cast<int32_t>(0x80000006u);
constexpr int32_t SND_E_RANGE = static_cast<int32_t>(0x80000008u);
constexpr int32_t SND_E_HANDLE = static_cast<int32_t>(0x8000000Au);
constexpr int32_t SND_E_NOVOICE = static_cast<int32_t>(0x8000000Bu);
constexpr int32_t SND_E_NOTREADY = static_cast<int32_t>(0x8000000Cu);

// What VoiceGetState reports when the voice has no error.
constexpr int32_t VOICE_OPENING = 17;
constexpr int32_t VOICE_READY = 18;
constexpr int32_t VOICE_PLAYING = 19;
constexpr int32_t VOICE_PAUSED = 20;
constexpr int32_t VOICE_STOPPED = 21;

// Open flags of VoiceOpenFile (only with a handle).
constexpr uint32_t VOICE_OPEN_AUTOSTART = 0x1;
constexpr uint32_t VOICE_OPEN_AUTOLOOP = 0x2;

// Sample type of every float buffer the engine hands out.
constexpr int32_t SAMPLE_TYPE_FLOAT = 5;

struct EngineConfig {
    uint32_t channels;
    uint32_t bits;
    uint32_t rate;
    uint32_t voices;
    uint32_t mixChannels;
    uint32_t codecSlots;
    uint32_t outputPriority;
    uint32_t conversionPriority;
    uint32_t streamPriority;
};

// Everything the size query derives from a configuration.
struct EngineLayout {
    uint32_t framesPerPeriod;
    uint32_t mixChannels;
    uint64_t deviceBufferBytes;
    uint64_t mixBufferBytes;
    uint64_t voiceBufferBytes;
    DeviceFormat deviceFormat;
};

// Low 16 bits: slot number (1-based); high 16 bits: the slot's generation.
using VoiceHandle = uint32_t;

struct TapBlock {
    int32_t sampleType;
    int32_t channels;
    int32_t rate;
    int32_t frames;
    int32_t wrapIndex;
    int32_t startOffset;
    float* const* planes; // eight channel pointers, null for absent channels
};
// Called on the tap's own thread with the frames the mixer consumed; the result is ignored.
using TapCallback = int32_t (*)(void* user, const TapBlock* block);

struct VoiceStreamFormat {
    int32_t sampleType;
    int32_t channels;
    int32_t channelCapacity;
    int32_t bytesPerSample;
    int32_t rate;
    int32_t maxRate;
    int32_t bytesPerSecond;
};

struct CodecContext;
using CodecProbe = int32_t (*)(CodecContext* context, uint32_t reserved);

void EngineConfigInit(EngineConfig* config);
int32_t EngineConfigSetChannels(EngineConfig* config, uint32_t channels);
int32_t EngineConfigSetBits(EngineConfig* config, uint32_t bits);
int32_t EngineConfigSetRate(EngineConfig* config, uint32_t rate);
int32_t EngineConfigSetCodecSlots(EngineConfig* config, uint32_t slots);

// Bytes of the caller's block for `config` (0 for an unsupported rate); fills `layout` if given.
uint64_t EngineRequiredSize(const EngineConfig* config, EngineLayout* layout = nullptr);
// The device the next EngineOpen plays through (null: opening fails and the program runs silent).
void EngineSetOutputDevice(const OutputDevice* device);
// Opens the engine inside `block` (128-byte aligned, at least EngineRequiredSize bytes).
int32_t EngineOpen(const EngineConfig* config, void* block, uint64_t size);
// Stops the threads and the device, releases every voice; returns the block (null if closed).
void* EngineClose();
int32_t EngineSetMasterVolume(float volume);
int32_t EngineRegisterCodec(CodecProbe probe, void* context);
// Whether a registered codec accepts the file: SND_OK, SND_E_FILE, SND_E_FORMAT or SND_E_STATE.
int32_t EngineProbeFile(const char16* path);

int32_t VoiceOpenFile(VoiceHandle* out, uint32_t flags, const char16* path);
int32_t VoiceClose(VoiceHandle handle);
int32_t VoicePlay(VoiceHandle handle);
int32_t VoiceSeek(VoiceHandle handle, uint64_t frame);
int32_t VoiceSetLoop(VoiceHandle handle, int on);
int32_t VoiceSetVolume(VoiceHandle handle, float volume);
int32_t VoiceGetState(VoiceHandle handle);
int32_t VoiceGetPosition(VoiceHandle handle, uint64_t* position, uint64_t* length);
int32_t VoiceGetPositionMs(VoiceHandle handle, uint64_t* position, uint64_t* length);
int32_t VoiceGetStreamFormat(VoiceHandle handle, VoiceStreamFormat* out);
int32_t VoiceSetTap(VoiceHandle handle, TapCallback callback, void* user);
