// The voice calls of the rest of the program. They only change fields under the state lock (and
// swap taps under the mix lock; a tap's thread is started and ended outside every lock, so the
// output thread never waits for it); the engine threads do the work.

#include "sound/engine_internal.h"
#include "sound/voice_slots.h"

int32_t voicePrepareStep(SoundEngine* engine, SoundVoice* voice);

namespace {

// Runs `action` on the live voice of `handle` under the state lock.
template <class Action> int32_t withVoice(VoiceHandle handle, Action action) {
    EngineCall call;
    SoundEngine* engine = call.engine();
    if (!engine) return SND_E_STATE;
    LockGuard hold(&engine->stateLock);
    SoundVoice* voice = voiceFromHandle(engine, handle);
    return voice ? action(voice) : SND_E_HANDLE;
}

// Frames and the decoded rate under the lock, as milliseconds.
uint64_t framesToMs(uint64_t frames, uint32_t rate) {
    if (rate == 0) return 0;
    return static_cast<uint64_t>(static_cast<double>(frames) / rate * 1000.0);
}

// Exchanges `*tap` with the voice's tap under the mix lock (then the state lock, the engine's
// lock order). False, with `*tap` unchanged, when the handle names no live voice. The caller
// destroys what `*tap` then holds outside the locks.
bool swapTap(SoundEngine* engine, VoiceHandle handle, SampleTap** tap) {
    LockGuard mix(&engine->mixLock);
    LockGuard state(&engine->stateLock);
    SoundVoice* voice = voiceFromHandle(engine, handle);
    if (!voice) return false;
    SampleTap* old = voice->tap;
    voice->tap = *tap;
    *tap = old;
    return true;
}

} // namespace

int32_t VoiceOpenFile(VoiceHandle* out, uint32_t flags, const char16* path) {
    EngineCall call;
    SoundEngine* engine = call.engine();
    if (out) *out = 0;
    if (!engine || !path) return SND_E_STATE;
    StreamBuffer* buffer = streamBufferCreate(path, &engine->stateLock);
    if (!buffer) return SND_E_MEMORY;
    LockGuard hold(&engine->stateLock);
    SoundVoice* voice = voiceAllocate(engine);
    if (!voice) {
        streamBufferDestroy(buffer);
        return SND_E_NOVOICE;
    }
    voice->buffer = buffer;
    voice->prepareStep = voicePrepareStep;
    if (out) {
        voice->stateFlags |= VS_HANDLE;
        if (flags & VOICE_OPEN_AUTOSTART) voice->requestFlags |= VR_AUTOSTART;
        if (flags & VOICE_OPEN_AUTOLOOP) voice->requestFlags |= VR_AUTOLOOP;
        *out = voiceHandleOf(engine, voice);
    }
    return SND_OK;
}

// The voice's tap has ended when this returns: its callback's data may be freed then.
int32_t VoiceClose(VoiceHandle handle) {
    EngineCall call;
    SoundEngine* engine = call.engine();
    if (!engine) return SND_E_STATE;
    {
        LockGuard hold(&engine->stateLock);
        SoundVoice* voice = voiceFromHandle(engine, handle);
        if (!voice) return SND_E_HANDLE;
        voiceRequestClose(voice);
    }
    // The slot stays allocated until the stream thread releases it, after this call has the tap.
    SampleTap* tap = nullptr;
    swapTap(engine, handle, &tap);
    tapDestroy(tap);
    return SND_OK;
}

int32_t VoicePlay(VoiceHandle handle) {
    return withVoice(handle, [](SoundVoice* voice) {
        if (voice->stateFlags & VS_ENDED) {
            voice->position = 0;
            voice->stateFlags &= static_cast<uint16_t>(~VS_ENDED);
        }
        voice->stateFlags |= VS_STARTED;
        voice->requestFlags |= VR_RUNNING;
        return SND_OK;
    });
}

int32_t VoiceSeek(VoiceHandle handle, uint64_t frame) {
    return withVoice(handle, [frame](SoundVoice* voice) {
        if (frame > voice->length) return SND_E_RANGE;
        voice->requestFlags |= VR_SEEK;
        voice->seekTarget = frame;
        voice->stateFlags &= static_cast<uint16_t>(~VS_STARTED);
        return SND_OK;
    });
}

int32_t VoiceSetLoop(VoiceHandle handle, int on) {
    return withVoice(handle, [on](SoundVoice* voice) {
        if (on)
            voice->stateFlags |= VS_LOOP;
        else
            voice->stateFlags &= static_cast<uint16_t>(~VS_LOOP);
        return SND_OK;
    });
}

int32_t VoiceSetVolume(VoiceHandle handle, float volume) {
    return withVoice(handle, [volume](SoundVoice* voice) {
        voice->volume = volume > 0.0f ? volume : 0.0f;
        return SND_OK;
    });
}

int32_t VoiceGetState(VoiceHandle handle) {
    return withVoice(handle, [](SoundVoice* voice) {
        if (voice->lastResult < 0) return voice->lastResult;
        uint16_t f = voice->stateFlags & (VS_ALLOCATED | VS_OPENED | VS_STARTED | VS_ENDED);
        if (f == (VS_ALLOCATED | VS_OPENED | VS_STARTED))
            return voice->requestFlags & VR_RUNNING ? VOICE_PLAYING : VOICE_PAUSED;
        if (f == (VS_ALLOCATED | VS_OPENED)) return VOICE_READY;
        if (f == VS_ALLOCATED) return VOICE_OPENING;
        return VOICE_STOPPED;
    });
}

int32_t VoiceGetPosition(VoiceHandle handle, uint64_t* position, uint64_t* length) {
    return withVoice(handle, [position, length](SoundVoice* voice) {
        if (position) *position = voice->position;
        if (length) *length = voice->length;
        return SND_OK;
    });
}

int32_t VoiceGetPositionMs(VoiceHandle handle, uint64_t* position, uint64_t* length) {
    return withVoice(handle, [position, length](SoundVoice* voice) {
        // The format belongs to the prepare thread until the voice is opened.
        uint32_t rate = voice->stateFlags & VS_OPENED ? voice->format.rate : 0;
        if (position) *position = framesToMs(voice->position, rate);
        if (length) *length = framesToMs(voice->length, rate);
        return SND_OK;
    });
}

int32_t VoiceGetStreamFormat(VoiceHandle handle, VoiceStreamFormat* out) {
    return withVoice(handle, [out](SoundVoice* voice) {
        if (!(voice->stateFlags & VS_OPENED)) return SND_E_NOTREADY;
        if (!out) return SND_OK;
        const SampleRing* ring = &voice->ring;
        out->sampleType = ring->sampleType;
        out->channels = ring->channels;
        out->channelCapacity = ring->channelCapacity;
        out->bytesPerSample = ring->bytesPerSample;
        out->rate = static_cast<int32_t>(ring->rate);
        out->maxRate = static_cast<int32_t>(ring->maxRate);
        out->bytesPerSecond = static_cast<int32_t>(ring->rate * ring->bytesPerSample);
        return SND_OK;
    });
}

int32_t VoiceSetTap(VoiceHandle handle, TapCallback callback, void* user) {
    EngineCall call;
    SoundEngine* engine = call.engine();
    if (!engine) return SND_E_STATE;
    int32_t channels;
    int32_t rate;
    {
        LockGuard hold(&engine->stateLock);
        SoundVoice* voice = voiceFromHandle(engine, handle);
        if (!voice) return SND_E_HANDLE;
        if (!(voice->stateFlags & VS_OPENED)) return SND_E_NOTREADY;
        channels = voice->format.channels;
        rate = static_cast<int32_t>(voice->format.rate);
    }
    SampleTap* tap = callback ? tapCreate(callback, user, channels, rate,
                                          static_cast<int32_t>(2 * engine->framesPerPeriod))
                              : nullptr;
    bool swapped = swapTap(engine, handle, &tap);
    tapDestroy(tap);
    return swapped ? SND_OK : SND_E_HANDLE;
}

int32_t EngineProbeFile(const char16* path) {
    EngineCall call;
    SoundEngine* engine = call.engine();
    if (!engine || !path) return SND_E_STATE;
    CodecStream stream{};
    if (!fileOpenRead(&stream.file, path)) return SND_E_FILE;
    int64_t size = fileSizeOf(&stream.file);
    stream.fileSize = size > 0 ? static_cast<uint64_t>(size) : 0;
    CodecContext context;
    int32_t result = codecProbeAll(&context, &stream, nullptr);
    fileClose(&stream.file);
    return result == SND_OK ? SND_OK : SND_E_FORMAT;
}
