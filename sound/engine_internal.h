// The engine's records inside the caller's block, shared by the engine, voice and conversion
// files. Not for use outside sound/ (tests read it to wait for engine state).
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/platform.h"
#include "sound/codec.h"
#include "sound/sample_ring.h"
#include "sound/sample_tap.h"
#include "sound/sound_engine.h"
#include "sound/stream_buffer.h"

// State flags of a voice.
constexpr uint16_t VS_ALLOCATED = 0x0001;
constexpr uint16_t VS_OPENED = 0x0004;
constexpr uint16_t VS_STARTED = 0x0008;
constexpr uint16_t VS_ENDED = 0x0010;
constexpr uint16_t VS_LOOP = 0x0020;
constexpr uint16_t VS_HANDLE = 0x0040;
constexpr uint16_t VS_ACK_CONVERSION = 0x0080;
constexpr uint16_t VS_ACK_OUTPUT = 0x0100;
// Request flags of a voice.
constexpr uint16_t VR_RUNNING = 0x0001;
constexpr uint16_t VR_AUTOSTART = 0x0002;
constexpr uint16_t VR_AUTOLOOP = 0x0004;
constexpr uint16_t VR_CLOSE = 0x0008;
constexpr uint16_t VR_SEEK = 0x0020;

struct SoundVoice;
struct SoundEngine;
using VoiceStep = int32_t (*)(SoundEngine* engine, SoundVoice* voice);

struct SoundVoice {
    uint16_t generation;
    uint16_t listPosition;
    uint16_t stateFlags;
    uint16_t requestFlags;
    VoiceStep readStep;
    VoiceStep prepareStep;
    int32_t lastResult;
    uint64_t position;
    uint64_t length;
    uint64_t seekTarget;
    uint64_t discardCount;
    float rateFactor;
    float volume;
    StreamBuffer* buffer;
    FormatInfo format;
    SampleTap* tap;
    SampleRing ring;
    // Set while the prepare thread works on the voice, so that the stream thread neither
    // releases nor seeks it underneath.
    uint32_t prepareBusy;
};

struct EngineThread {
    PlatformThread thread;
    std::atomic<uint32_t> run; // bit 0: keep running
};

struct SoundEngine {
    PlatformLock stateLock;
    PlatformLock mixLock;
    PlatformLock codecLock;
    EngineConfig config;
    FormatCodec* codecs;
    uint32_t codecCount;
    SoundVoice* voices;
    uint32_t allocatedVoices;
    SoundVoice** voiceList;
    EngineThread prepare;
    EngineThread stream;
    EngineThread conversion;
    PlatformEvent periodEvent;
    // Signalled when a voice is opened: with none open the prepare and stream threads sleep on
    // these instead of waking every 10 ms.
    PlatformEvent prepareWake;
    PlatformEvent streamWake;
    float masterRateFactor;
    float masterVolume;
    uint32_t framesPerPeriod;
    SampleRing mixRing;
    PlatformEvent deviceEvent;
    EngineThread output;
    DeviceFormat deviceFormat; // as configured
    const OutputDevice* device;
    uint8_t* deviceBuffers[DEVICE_BUFFERS];
    uint32_t deviceBufferBytes; // one buffer in the configured format
    // Owned by the output thread once it runs (by EngineOpen before that).
    DeviceFormat openFormat; // what the open device took
    bool deviceOpen;
    int nextBuffer;            // the buffer the device finishes next
    uint64_t lastDoneMs;       // when the device last finished a buffer
    uint64_t nextRetryMs;      // when to try a lost device again
    uint64_t silentStartMs;    // without a device: when mixing into nothing began
    uint64_t silentPeriods;    // and how many periods have been mixed since
    uint64_t voicelessSinceMs; // with the device open: since when no voice is, or 0
    uint32_t settlePeriods;    // periods of silence still to play on a fresh stream
};

// The open engine, or null. For the engine's own threads; public calls use EngineCall.
SoundEngine* engineInstance();

// Holds the open engine for one public call: EngineClose waits until every call has left before
// it frees the engine's locks, so a call from another thread never touches freed memory.
class EngineCall {
  public:
    EngineCall();
    ~EngineCall();
    EngineCall(const EngineCall&) = delete;
    EngineCall& operator=(const EngineCall&) = delete;
    // The engine, or null when it is closed (or closing).
    SoundEngine* engine() const { return engine_; }

  private:
    SoundEngine* engine_;
};

// The device format record for a channel count, sample width and rate.
void buildDeviceFormat(uint32_t channels, uint32_t bits, uint32_t rate, DeviceFormat* format);
// Opens the device in the configured format, or the nearest one it takes, and queues a period
// of silence in every buffer; false when no format was taken (the engine then runs silent).
bool deviceOpenNearest(SoundEngine* engine);
// The output thread (device_feed.cpp).
void outputThread(void* arg);
// True while any voice is open. Takes the state lock.
bool anyVoiceOpen(SoundEngine* engine);

// Voice work done on the engine threads (voice_slots.cpp, voice_threads.cpp).
void voiceInitRecord(SoundEngine* engine, SoundVoice* voice, void* samples);
void voiceRelease(SoundEngine* engine, SoundVoice* voice);
void voicePreparePass(SoundEngine* engine);
void voiceStreamPass(SoundEngine* engine);
void voiceConversionPass(SoundEngine* engine);
// Output thread: acknowledge requests, mix every running voice and advance positions.
void voiceMixPass(SoundEngine* engine, uint64_t mixFrames);
