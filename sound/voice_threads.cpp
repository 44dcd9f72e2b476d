// The voice work of the engine threads: identifying files (prepare thread), reading them and
// carrying out close and seek requests (stream thread), decoding (conversion thread) and mixing
// with position keeping (output thread).
#include <cstdlib>
#include <cstring>

#include "sound/decode_stage.h"
#include "sound/engine_internal.h"
#include "sound/mix_stage.h"
#include "sound/voice_slots.h"

int32_t voicePrepareStep(SoundEngine* engine, SoundVoice* voice);

namespace {

constexpr uint64_t NO_BUDGET = ~0ull;

uint32_t waveFormatU32(const void* format, unsigned offset) {
    uint32_t v;
    std::memcpy(&v, static_cast<const uint8_t*>(format) + offset, 4);
    return v;
}

CodecContext runningContext(SoundVoice* voice) {
    CodecContext c{};
    c.mode = CODEC_MODE_RUNNING;
    c.length = voice->length;
    c.codecContext = voice->format.codecContext;
    c.stream = voice->buffer ? &voice->buffer->stream : nullptr;
    c.format = &voice->format;
    return c;
}

// Drops what a codec left in the FormatInfo, calling its release hook first.
void formatDiscard(SoundVoice* voice) {
    if (voice->format.releaseHook) {
        CodecContext c = runningContext(voice);
        c.stream = nullptr;
        voice->format.releaseHook(&c);
    }
    formatInfoReset(&voice->format);
    std::memset(&voice->format, 0, sizeof voice->format);
}

// Frames of the decoded stream: with ACM the codec's total, else whole seconds of the source
// format; without ACM the data size over the block align.
uint64_t streamLength(const FormatInfo* f) {
    if (!f->acmStream) return f->dataSize / f->blockAlign;
    if (f->totalFrames != 0) return f->totalFrames;
    uint32_t average = waveFormatU32(f->sourceFormat, 8);
    uint32_t rate = waveFormatU32(f->sourceFormat, 4);
    return average ? f->dataSize / average * rate : 0;
}

// Whether the engine can play what the codec described: samples it decodes, and data. A voice
// it cannot decode would stay silent at its start for ever.
bool formatUsable(const FormatInfo* f) {
    if (!decodeSupports(f->formatTag, f->channels, f->blockAlign) || f->rate == 0 ||
        f->dataSize == 0)
        return false;
    return !f->acmStream || f->totalFrames != 0 || waveFormatU32(f->sourceFormat, 8) != 0;
}

// Loop regions that do not lie inside the stream would send the position past the length.
void sanitizeLoop(FormatInfo* f, uint64_t length) {
    if (f->loopEnd > length) f->loopEnd = length;
    if (f->loopStart >= f->loopEnd) {
        f->loopStart = 0;
        f->loopEnd = 0;
    }
}

// A codec that reads for itself but has no seek hook can never go back: such a voice ignores
// loop mode, reads to the end of its data once, and ends there like a voice that does not loop.
bool canRewind(const FormatInfo* f) {
    return !f->readHook || f->seekHook;
}

// Loop mode as it takes effect (state lock held).
bool loopsNow(const SoundVoice* voice) {
    return (voice->stateFlags & VS_LOOP) && canRewind(&voice->format);
}

int32_t idleStep(SoundEngine*, SoundVoice*) {
    return SND_OK;
}

void setReadStep(SoundEngine* engine, SoundVoice* voice, VoiceStep step) {
    LockGuard hold(&engine->stateLock);
    voice->readStep = step;
}
int32_t readStep(SoundEngine* engine, SoundVoice* voice);

// The file or the codec gave nothing where data were promised (the file was cut short, a read
// failed, its drive went away, a plug-in promised more than it has): the data end here, and
// the voice plays to this end like any other instead of waiting for bytes that never come.
void endDataHere(SoundEngine* engine, SoundVoice* voice) {
    FormatInfo* f = &voice->format;
    uint64_t frames;
    if (f->acmStream) {
        // Whole seconds of the source, the same measure as the length; never more than come.
        uint32_t average = waveFormatU32(f->sourceFormat, 8);
        frames = average ? f->bytesRead / average * waveFormatU32(f->sourceFormat, 4) : 0;
        f->dataSize = f->bytesRead;
    } else {
        frames = f->bytesRead / f->blockAlign;
        f->dataSize = frames * f->blockAlign;
    }
    LockGuard hold(&engine->stateLock);
    if (frames < voice->length) voice->length = frames;
}

// Puts the stream back at `frame` for the next read (file offset or the codec's seek hook).
void rewindStream(SoundVoice* voice, uint64_t frame) {
    FormatInfo* f = &voice->format;
    if (!f->readHook) {
        fileSeek(&voice->buffer->stream.file,
                 static_cast<int64_t>(f->dataOffset + frame * f->blockAlign), SEEK_FROM_START);
    } else {
        CodecContext c = runningContext(voice);
        c.target = frame;
        uint64_t reached = frame;
        uint64_t byte = f->bytesRead;
        f->seekHook(&c, &reached, &byte);
    }
    f->bytesRead = f->blockAlign * frame;
}

// Reads the next slice of the file (or of the codec's output) into the StreamBuffer.
int32_t readStep(SoundEngine* engine, SoundVoice* voice) {
    StreamBuffer* buffer = voice->buffer;
    FormatInfo* f = &voice->format;
    uint64_t fill = streamBufferFill(buffer);
    if (fill > buffer->refillThreshold) return SND_OK;

    bool handle;
    bool inLoop;
    {
        LockGuard hold(&engine->stateLock);
        handle = (voice->stateFlags & VS_HANDLE) != 0;
        inLoop = loopsNow(voice) && f->loopEnd != 0 && voice->position < f->loopEnd;
    }

    uint64_t amount = buffer->capacity - fill;
    uint64_t loopBytes = f->blockAlign * f->loopEnd;
    if (inLoop && loopBytes >= f->bytesRead && loopBytes - f->bytesRead < amount)
        amount = loopBytes - f->bytesRead;
    uint64_t dataLeft = f->dataSize > f->bytesRead ? f->dataSize - f->bytesRead : 0;
    if (dataLeft < amount) amount = dataLeft;
    if (amount == 0) return SND_OK;

    uint8_t* temp = static_cast<uint8_t*>(std::malloc(amount));
    if (!temp) return SND_OK; // tried again on the next pass
    size_t got;
    if (f->readHook) {
        CodecContext c = runningContext(voice);
        got = f->readHook(&c, temp, amount);
        if (got > amount) got = amount; // never trust more than was asked for
    } else {
        got = fileRead(&buffer->stream.file, temp, amount);
    }
    if (got == 0) {
        endDataHere(engine, voice);
    } else {
        streamBufferAppend(buffer, temp, got);
        f->bytesRead += got;
    }
    std::free(temp);

    {
        LockGuard hold(&engine->stateLock);
        if (!(voice->stateFlags & VS_STARTED) &&
            (!handle || (voice->requestFlags & VR_AUTOSTART))) {
            voice->stateFlags |= VS_STARTED;
            voice->requestFlags |= VR_RUNNING;
        }
    }

    if (!handle) {
        if (f->bytesRead >= f->dataSize) setReadStep(engine, voice, idleStep);
    } else if (inLoop && f->bytesRead >= loopBytes) {
        rewindStream(voice, f->loopStart);
    } else if (f->bytesRead >= f->dataSize) {
        if (canRewind(f))
            rewindStream(voice, 0);
        else
            setReadStep(engine, voice, idleStep);
    }
    return SND_OK;
}

// Seek on behalf of VoiceSeek, on the stream thread and outside the state lock: plug-in seeks,
// file seeks and reopening the conversion can take long, and the output thread must never wait
// for them. The pending request keeps the other engine threads away from the voice meanwhile.
void carryOutSeek(SoundEngine* engine, SoundVoice* voice) {
    FormatInfo* f = &voice->format;
    uint64_t target;
    {
        LockGuard hold(&engine->stateLock);
        target = voice->seekTarget;
        if (f->codecId == 0) {
            // Not identified (yet, or ever): there is no stream to move, the position stays 0.
            voice->requestFlags &= static_cast<uint16_t>(~VR_SEEK);
            voice->stateFlags &= static_cast<uint16_t>(~(VS_ACK_CONVERSION | VS_ACK_OUTPUT));
            return;
        }
    }
    ringClear(&voice->ring);
    streamBufferClear(voice->buffer);
    const AcmServices* acm = engineAcmServices();
    if (f->acmStream && acm) {
        acm->close(f->acmStream);
        f->acmStream = acm->open(f->sourceFormat, f->destinationFormat);
    }
    uint64_t reached = target;
    // A codec's seek reports decoded frames, which count its lead in.
    uint64_t lead = 0;
    int32_t done = 0;
    if (f->seekHook) {
        CodecContext c = runningContext(voice);
        c.target = target;
        uint64_t byte = f->bytesRead;
        done = f->seekHook(&c, &reached, &byte);
        if (done == 1) {
            lead = f->leadFrames;
            f->bytesRead = f->readHook ? f->blockAlign * reached : byte;
        }
    }
    if (!f->readHook)
        fileSeek(&voice->buffer->stream.file, static_cast<int64_t>(f->dataOffset + f->bytesRead),
                 SEEK_FROM_START);

    LockGuard hold(&engine->stateLock);
    // A newer seek that came in meanwhile is carried out from the start on the next pass.
    if (voice->seekTarget != target) return;
    // A stream that cannot seek goes on from where it was read to: the frames up to the target
    // are decoded and dropped (or, without a seek hook, the position stays where it was).
    uint64_t start = done == 1 ? reached : voice->position;
    uint64_t discard = done == 1 && target + lead > reached ? target + lead - reached : 0;
    voice->seekTarget = start;
    voice->discardCount = discard;
    voice->readStep = readStep;
    voice->position = start + discard - lead;
    voice->stateFlags &= static_cast<uint16_t>(~VS_ENDED);
    voice->stateFlags |= VS_STARTED;
    voice->requestFlags &= static_cast<uint16_t>(~VR_SEEK);
    voice->stateFlags &= static_cast<uint16_t>(~(VS_ACK_CONVERSION | VS_ACK_OUTPUT));
}

bool bothAcknowledged(const SoundVoice* voice) {
    return (voice->stateFlags & (VS_ACK_CONVERSION | VS_ACK_OUTPUT)) ==
               (VS_ACK_CONVERSION | VS_ACK_OUTPUT) &&
           !voice->prepareBusy;
}

// Ring frames that hold `frames` frames of the decoded stream.
uint64_t ringFramesFor(const SoundVoice* voice, uint64_t frames) {
    uint32_t decoded = voice->format.rate;
    uint32_t ring = voice->ring.rate;
    if (decoded == ring || decoded == 0) return frames;
    return (frames * ring + decoded - 1) / decoded;
}

// Ring frames that `mixFrames` output frames take from the voice, at most `budget`.
uint64_t startFrames(const SoundEngine* engine, const SoundVoice* voice, uint64_t mixFrames,
                     uint64_t budget) {
    uint64_t mixRate = engine->mixRing.rate ? engine->mixRing.rate : voice->ring.rate;
    uint64_t frames = (mixFrames * voice->ring.rate + mixRate - 1) / mixRate;
    // A codec may leave part of the ring unfilled (the conversion works in whole blocks), so
    // the wait never asks for more than half of it.
    uint64_t half = ringCapacityFrames(&voice->ring) / 2;
    if (frames > half) frames = half;
    return frames < budget ? frames : budget;
}

// Advances the play position by `consumed` ring frames (output thread, state lock held).
void advancePosition(SoundVoice* voice, uint64_t consumed, bool loop) {
    const FormatInfo* f = &voice->format;
    uint64_t c = consumed;
    if (voice->ring.rate != f->rate)
        c = static_cast<uint64_t>(static_cast<float>(f->rate) /
                                  static_cast<float>(voice->ring.rate) * static_cast<float>(c));
    if (!loop && voice->position + c > voice->length) c = voice->length - voice->position;
    // A period can hold more frames than the loop region or the whole stream, so the wrap
    // repeats until the position is back inside.
    if (loop && f->loopEnd != 0 && voice->position < f->loopEnd) {
        voice->position += c;
        if (voice->position >= f->loopEnd)
            voice->position =
                f->loopStart + (voice->position - f->loopEnd) % (f->loopEnd - f->loopStart);
    } else {
        voice->position += c;
        if (voice->position > voice->length && voice->length != 0) voice->position %= voice->length;
    }
}

} // namespace

// Opens the file and asks the codecs about it; then hands the voice to the stream thread.
int32_t voicePrepareStep(SoundEngine* engine, SoundVoice* voice) {
    StreamBuffer* buffer = voice->buffer;
    if (!buffer->stream.file.handle) {
        if (!fileOpenRead(&buffer->stream.file, buffer->name)) return SND_E_FILE;
        int64_t size = fileSizeOf(&buffer->stream.file);
        buffer->stream.fileSize = size > 0 ? static_cast<uint64_t>(size) : 0;
    }
    if (voice->format.codecId == 0) {
        CodecContext context;
        int32_t found = codecProbeAll(&context, &buffer->stream, &voice->format);
        if (found != SND_OK || !formatUsable(&voice->format)) {
            formatDiscard(voice);
            LockGuard hold(&engine->stateLock);
            voice->stateFlags |= VS_OPENED;
            return SND_E_PREPARE;
        }
        FormatInfo* f = &voice->format;
        if (!f->readHook)
            fileSeek(&buffer->stream.file, static_cast<int64_t>(f->dataOffset), SEEK_FROM_START);
        uint64_t length = streamLength(f);
        sanitizeLoop(f, length);
        uint32_t channels =
            f->channels < voice->ring.channelCapacity ? f->channels : voice->ring.channelCapacity;
        LockGuard hold(&engine->stateLock);
        voice->position = 0;
        voice->discardCount = f->leadFrames;
        voice->length = length;
        voice->ring.rate = f->rate < voice->ring.maxRate ? f->rate : voice->ring.maxRate;
        voice->ring.channels = static_cast<uint8_t>(channels);
        if ((voice->requestFlags & VR_AUTOLOOP) && (f->loopStart != 0 || f->loopEnd != 0))
            voice->stateFlags |= VS_LOOP;
        voice->stateFlags |= VS_OPENED;
    }
    LockGuard hold(&engine->stateLock);
    voice->readStep = readStep;
    return SND_OK;
}

void voiceRelease(SoundEngine* engine, SoundVoice* voice) {
    streamBufferDestroy(voice->buffer);
    voice->buffer = nullptr;
    formatDiscard(voice);
    // Taken from the mixer under the mix lock, ended outside it (see VoiceSetTap).
    SampleTap* tap;
    {
        LockGuard hold(&engine->mixLock);
        tap = voice->tap;
        voice->tap = nullptr;
    }
    tapDestroy(tap);
}

void voicePreparePass(SoundEngine* engine) {
    for (uint32_t k = 0; k < engine->config.voices; ++k) {
        SoundVoice* voice = &engine->voices[k];
        VoiceStep step;
        {
            LockGuard hold(&engine->stateLock);
            bool due = (voice->stateFlags & VS_ALLOCATED) && voice->prepareStep &&
                       !(voice->requestFlags & (VR_CLOSE | VR_SEEK));
            if (!due) continue;
            step = voice->prepareStep;
            voice->prepareBusy = 1;
        }
        int32_t result = step(engine, voice);
        LockGuard hold(&engine->stateLock);
        voice->prepareBusy = 0;
        voice->lastResult = result;
        // Once the read step is in place the voice needs nothing more from this thread.
        voice->prepareStep = nullptr;
        if (result < 0) {
            voice->readStep = nullptr;
            if (!(voice->stateFlags & VS_HANDLE)) voiceRequestClose(voice);
        }
    }
}

namespace {

// A closed voice is released once the other threads have let go of it.
void closeStep(SoundEngine* engine, SoundVoice* voice) {
    {
        LockGuard hold(&engine->stateLock);
        if (!bothAcknowledged(voice)) return;
        voice->readStep = nullptr;
    }
    voiceRelease(engine, voice);
    LockGuard hold(&engine->stateLock);
    voiceFreeSlot(engine, voice);
}

} // namespace

void voiceStreamPass(SoundEngine* engine) {
    for (uint32_t k = 0; k < engine->config.voices; ++k) {
        SoundVoice* voice = &engine->voices[k];
        bool close;
        bool seek;
        VoiceStep step;
        {
            LockGuard hold(&engine->stateLock);
            if (!(voice->stateFlags & VS_ALLOCATED)) continue;
            close = (voice->requestFlags & VR_CLOSE) != 0;
            seek = !close && (voice->requestFlags & VR_SEEK) && bothAcknowledged(voice);
            step = voice->readStep;
        }
        if (close) {
            closeStep(engine, voice);
            continue;
        }
        if (seek) {
            carryOutSeek(engine, voice);
            LockGuard hold(&engine->stateLock);
            step = voice->readStep;
        }
        if (!step) continue;
        int32_t result = step(engine, voice);
        LockGuard hold(&engine->stateLock);
        voice->lastResult = result;
        if (result < 0) {
            voice->readStep = nullptr;
            if (!(voice->stateFlags & VS_HANDLE)) voiceRequestClose(voice);
        }
    }
}

void voiceConversionPass(SoundEngine* engine) {
    for (uint32_t k = 0; k < engine->config.voices; ++k) {
        SoundVoice* voice = &engine->voices[k];
        {
            LockGuard hold(&engine->stateLock);
            uint16_t flags = voice->stateFlags;
            bool pending = (voice->requestFlags & (VR_CLOSE | VR_SEEK)) != 0;
            if ((flags & VS_ALLOCATED) && pending) voice->stateFlags |= VS_ACK_CONVERSION;
            bool convert = (flags & VS_ALLOCATED) && !pending && (flags & VS_OPENED) &&
                           voice->format.codecId != 0;
            if (!convert) continue;
        }
        uint64_t frames = decodeVoice(voice);
        if (frames == 0) continue;
        LockGuard codec(&engine->codecLock);
        // Frames still to be dropped (a codec's lead, the way to a seek target) go in the same
        // step as the commit: the output thread must never mix them.
        LockGuard state(&engine->stateLock);
        uint64_t dropped = ringCommitDropping(&voice->ring, frames, voice->discardCount);
        voice->discardCount -= dropped;
    }
}

namespace {

// Whether the output thread mixes the voice now, and how many ring frames it may take
// (state lock held). Acknowledges pending requests and ends a voice that reached its length.
bool mixable(SoundVoice* voice, uint64_t* budget, bool* loop) {
    uint16_t flags = voice->stateFlags;
    if ((flags & VS_ALLOCATED) && (voice->requestFlags & (VR_CLOSE | VR_SEEK)))
        voice->stateFlags |= VS_ACK_OUTPUT;
    // A voice is mixed once opened, started and running (played before it was identified,
    // it waits instead of ending at length 0).
    const uint16_t live = VS_ALLOCATED | VS_OPENED | VS_STARTED;
    bool run = (flags & live) == live && (voice->requestFlags & VR_RUNNING) &&
               !(voice->requestFlags & (VR_CLOSE | VR_SEEK));
    if (!run) return false;
    voice->ring.rateFactor = voice->rateFactor;
    voice->ring.volume = voice->volume;
    *loop = loopsNow(voice);
    *budget = NO_BUDGET;
    if (*loop) return true;
    uint64_t remaining = voice->length > voice->position ? voice->length - voice->position : 0;
    if (remaining == 0) {
        if (!(flags & VS_ENDED)) {
            voice->stateFlags |= VS_ENDED;
            voice->requestFlags &= static_cast<uint16_t>(~VR_RUNNING);
            if (!(flags & VS_HANDLE)) voiceRequestClose(voice);
        }
        return false;
    }
    *budget = ringFramesFor(voice, remaining);
    return true;
}

} // namespace

void voiceMixPass(SoundEngine* engine, uint64_t mixFrames) {
    for (uint32_t k = 0; k < engine->config.voices; ++k) {
        SoundVoice* voice = &engine->voices[k];
        uint64_t budget;
        bool loop;
        {
            LockGuard hold(&engine->stateLock);
            if (!mixable(voice, &budget, &loop)) continue;
            // A voice starts only once its ring holds a whole period (or all that is left):
            // started on the first frames a codec delivers, it would fall silent for the rest of
            // the period.
            if (voice->position == 0 &&
                ringFilledFrames(&voice->ring) < startFrames(engine, voice, mixFrames, budget))
                continue;
        }
        uint64_t consumed;
        {
            LockGuard hold(&engine->mixLock);
            consumed = mixVoiceRing(&engine->mixRing, mixFrames, &voice->ring, budget, voice->tap);
        }
        if (consumed == 0) continue;
        LockGuard hold(&engine->stateLock);
        advancePosition(voice, consumed, loop);
    }
}
