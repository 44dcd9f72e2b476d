#include "sound/voice_slots.h"

#include <cstring>

void voiceInitRecord(SoundEngine* engine, SoundVoice* voice, void* samples) {
    uint32_t period = engine->framesPerPeriod;
    uint8_t channels = engine->mixRing.channels;
    voice->generation = 1;
    voice->lastResult = SND_OK;
    voice->rateFactor = 1.0f;
    voice->volume = 1.0f;
    ringInit(&voice->ring, &engine->stateLock, channels, channels, engine->config.rate,
             engine->config.rate, 3ull * period, samples);
}

SoundVoice* voiceAllocate(SoundEngine* engine) {
    if (engine->allocatedVoices >= engine->config.voices) return nullptr;
    SoundVoice* voice = engine->voiceList[engine->allocatedVoices];
    ++engine->allocatedVoices;
    ++voice->generation;
    voice->listPosition = static_cast<uint16_t>(engine->allocatedVoices);
    voice->buffer = nullptr;
    voice->tap = nullptr;
    voice->readStep = nullptr;
    voice->prepareStep = nullptr;
    voice->position = 0;
    voice->length = 0;
    voice->seekTarget = 0;
    voice->discardCount = 0;
    voice->rateFactor = 1.0f;
    voice->volume = 1.0f;
    voice->stateFlags = VS_ALLOCATED;
    voice->requestFlags = 0;
    voice->lastResult = SND_OK;
    voice->prepareBusy = 0;
    ringClear(&voice->ring);
    voice->ring.rateFactor = 1.0f;
    voice->ring.volume = 1.0f;
    voice->ring.channels = voice->ring.channelCapacity;
    voice->ring.rate = voice->ring.maxRate;
    std::memset(&voice->format, 0, sizeof voice->format);
    // The engine threads sleep while no voice is open; this one needs them now.
    eventSignal(&engine->prepareWake);
    eventSignal(&engine->streamWake);
    eventSignal(&engine->periodEvent);
    eventSignal(&engine->deviceEvent);
    return voice;
}

void voiceFreeSlot(SoundEngine* engine, SoundVoice* voice) {
    ++voice->generation;
    voice->stateFlags = 0;
    voice->requestFlags = 0;
    uint32_t index = voice->listPosition - 1u;
    uint32_t last = engine->allocatedVoices - 1u;
    SoundVoice* moved = engine->voiceList[last];
    engine->voiceList[index] = moved;
    moved->listPosition = static_cast<uint16_t>(index + 1);
    engine->voiceList[last] = voice;
    voice->listPosition = 0;
    --engine->allocatedVoices;
}

SoundVoice* voiceFromHandle(SoundEngine* engine, VoiceHandle handle) {
    uint32_t slot = handle & 0xFFFFu;
    if (slot == 0 || slot > engine->config.voices) return nullptr;
    SoundVoice* voice = &engine->voices[slot - 1];
    if (!(voice->stateFlags & VS_ALLOCATED) || voice->generation != (handle >> 16)) return nullptr;
    return voice;
}
