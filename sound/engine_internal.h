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
    float masterRateFactor;
    float masterVolume;
    uint32_t framesPerPeriod;
    SampleRing mixRing;
    PlatformEvent deviceEvent;
    EngineThread output;
    DeviceFormat deviceFormat;
    const OutputDevice* device;
    uint8_t* deviceBuffers[2];
    uint32_t deviceBufferBytes; // one half
};

// The open engine, or null.
SoundEngine* engineInstance();

// Voice work done on the engine threads (voice_slots.cpp, voice_threads.cpp).
void voiceInitRecord(SoundEngine* engine, SoundVoice* voice, void* samples);
void voiceRelease(SoundEngine* engine, SoundVoice* voice);
void voicePreparePass(SoundEngine* engine);
void voiceStreamPass(SoundEngine* engine);
void voiceConversionPass(SoundEngine* engine);
// Output thread: acknowledge requests, mix every running voice and advance positions.
void voiceMixPass(SoundEngine* engine, uint64_t mixFrames);
