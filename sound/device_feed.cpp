// The output thread: keeps every device buffer queued with mixed periods, takes the device for
// lost when it fails or stops finishing buffers, mixes into nothing at the device's pace while
// there is none (so voices keep their places) and tries the device again about once a second.
// A device that rests is closed while no voice is open and opened again when one is.
#include <cstring>

#include "sound/engine_internal.h"
#include "sound/mix_stage.h"

namespace {

constexpr uint32_t RETRY_MS = 1000;
// After a long stall without a device, at most this many periods are mixed at once to catch up.
constexpr uint64_t CATCH_UP_PERIODS = 4;

bool running(SoundEngine* engine) {
    return (engine->output.run.load() & 1) != 0;
}

uint32_t periodMs(const SoundEngine* engine) {
    return engine->framesPerPeriod * 1000u / engine->config.rate;
}

// Mixes the next period and converts it into `out` (`bytes` long) for `format`.
void mixPeriod(SoundEngine* engine, uint8_t* out, uint32_t bytes, const DeviceFormat* format) {
    uint64_t frames = mixBeginPeriod(&engine->mixRing);
    voiceMixPass(engine, frames);
    ringCommitWrite(&engine->mixRing, frames);
    eventSignal(&engine->periodEvent);
    {
        LockGuard hold(&engine->stateLock);
        engine->mixRing.rateFactor = engine->masterRateFactor;
        engine->mixRing.volume = engine->masterVolume;
    }
    outputStage(&engine->mixRing, out, bytes, format->channels, format->bitsPerSample);
}

uint32_t openBufferBytes(const SoundEngine* engine) {
    return engine->framesPerPeriod * engine->openFormat.blockAlign;
}

void startSilence(SoundEngine* engine) {
    uint64_t now = platformTickMs();
    engine->deviceOpen = false;
    engine->nextRetryMs = now + RETRY_MS;
    engine->silentStartMs = now;
    engine->silentPeriods = 0;
}

void loseDevice(SoundEngine* engine, const char* why) {
    platformDebugOutput(why);
    engine->device->close(engine->device->self);
    startSilence(engine);
}

// Periods of silence a fresh stream plays beyond the primed buffers before the voices go on.
uint32_t settlePeriodsOf(const SoundEngine* engine) {
    uint64_t frames = static_cast<uint64_t>(engine->device->settleMs) * engine->config.rate / 1000;
    uint64_t periods = (frames + engine->framesPerPeriod - 1) / engine->framesPerPeriod;
    return periods > DEVICE_BUFFERS ? static_cast<uint32_t>(periods - DEVICE_BUFFERS) : 0;
}

// Queues a period of silence in every buffer and starts the device.
bool primeDevice(SoundEngine* engine) {
    const OutputDevice* device = engine->device;
    uint32_t bytes = openBufferBytes(engine);
    for (int k = 0; k < DEVICE_BUFFERS; ++k) {
        std::memset(engine->deviceBuffers[k], 0, bytes);
        if (!device->write(device->self, k)) return false;
    }
    device->start(device->self);
    engine->nextBuffer = 0;
    engine->lastDoneMs = platformTickMs();
    engine->voicelessSinceMs = 0;
    engine->settlePeriods = settlePeriodsOf(engine);
    engine->deviceOpen = true;
    return true;
}

bool tryFormat(SoundEngine* engine, uint32_t channels, uint32_t bits) {
    uint32_t frameBytes = channels * (bits / 8);
    if (frameBytes * engine->framesPerPeriod > engine->deviceBufferBytes) return false;
    buildDeviceFormat(channels, bits, engine->config.rate, &engine->openFormat);
    const OutputDevice* device = engine->device;
    if (!device->open(device->self, &engine->openFormat, &engine->deviceEvent,
                      engine->deviceBuffers, openBufferBytes(engine)))
        return false;
    if (primeDevice(engine)) return true;
    device->close(device->self);
    return false;
}

// Fills buffer k with the next period, or with silence while a fresh stream settles (the
// voices wait meanwhile, so nothing of them falls into a settling gap).
void fillBuffer(SoundEngine* engine, int k) {
    uint32_t bytes = openBufferBytes(engine);
    if (engine->settlePeriods != 0) {
        std::memset(engine->deviceBuffers[k], 0, bytes);
        --engine->settlePeriods;
        return;
    }
    mixPeriod(engine, engine->deviceBuffers[k], bytes, &engine->openFormat);
}

// Closes a device that rests once no voice has been open for its rest time. It is tried again
// as soon as a voice is opened.
void restWhenIdle(SoundEngine* engine) {
    const OutputDevice* device = engine->device;
    if (device->restMs == 0) return;
    uint64_t now = platformTickMs();
    if (anyVoiceOpen(engine)) {
        engine->voicelessSinceMs = 0;
        return;
    }
    if (engine->voicelessSinceMs == 0) engine->voicelessSinceMs = now;
    if (now - engine->voicelessSinceMs < device->restMs) return;
    device->close(device->self);
    startSilence(engine);
    engine->nextRetryMs = 0;
}

// Buffers finish in the order they were queued; one signal of the event can stand for several,
// so every finished buffer is refilled. A device that fails a write or finishes nothing for its
// stall time is closed.
void feedDevice(SoundEngine* engine) {
    const OutputDevice* device = engine->device;
    eventWait(&engine->deviceEvent, periodMs(engine));
    while (running(engine) && device->isDone(device->self, engine->nextBuffer)) {
        int k = engine->nextBuffer;
        fillBuffer(engine, k);
        if (!device->write(device->self, k)) {
            loseDevice(engine, "Sound device failed; playing on without it\n");
            return;
        }
        engine->nextBuffer = (k + 1) % DEVICE_BUFFERS;
        engine->lastDoneMs = platformTickMs();
    }
    if (device->stallMs != 0 && platformTickMs() - engine->lastDoneMs > device->stallMs) {
        loseDevice(engine, "Sound device stopped playing; playing on without it\n");
        return;
    }
    restWhenIdle(engine);
}

// With no voice open there is nothing to keep in step: sleep until the device is due to be
// tried again (a device that rests is not tried at all) or a voice is opened, and count the
// periods afresh from then.
void waitForVoice(SoundEngine* engine, uint64_t now) {
    uint64_t retry = engine->nextRetryMs;
    uint32_t ms = RETRY_MS;
    if (engine->device->restMs == 0) ms = retry > now ? static_cast<uint32_t>(retry - now) : 1;
    eventWait(&engine->deviceEvent, ms);
    engine->silentStartMs = platformTickMs();
    engine->silentPeriods = 0;
}

// Without a device: mix the periods that are due into the first buffer, which no device holds
// now, and try the device again when its time has come (a device that rests only while a voice
// is open, since there is nothing to play on it otherwise).
void feedNothing(SoundEngine* engine) {
    bool voices = anyVoiceOpen(engine);
    uint64_t now = platformTickMs();
    if ((voices || engine->device->restMs == 0) && now >= engine->nextRetryMs) {
        if (deviceOpenNearest(engine)) return;
        now = platformTickMs();
    }
    if (!voices) {
        waitForVoice(engine, now);
        return;
    }
    uint64_t rate = engine->config.rate;
    uint64_t due = (now - engine->silentStartMs) * rate / 1000 / engine->framesPerPeriod;
    if (due > engine->silentPeriods + CATCH_UP_PERIODS)
        engine->silentPeriods = due - CATCH_UP_PERIODS;
    for (; engine->silentPeriods < due && running(engine); ++engine->silentPeriods)
        mixPeriod(engine, engine->deviceBuffers[0], engine->deviceBufferBytes,
                  &engine->deviceFormat);
    uint64_t next =
        engine->silentStartMs + (engine->silentPeriods + 1) * engine->framesPerPeriod * 1000 / rate;
    uint64_t after = platformTickMs();
    eventWait(&engine->deviceEvent, next > after ? static_cast<uint32_t>(next - after) : 1);
}

} // namespace

bool deviceOpenNearest(SoundEngine* engine) {
    const EngineConfig* c = &engine->config;
    // The configured format first, then integer samples, then stereo: the nearest formats a
    // device that refuses the configured one is likely to take.
    const uint32_t formats[4][2] = {
        {c->channels, c->bits}, {c->channels, 16}, {2, c->bits}, {2, 16}};
    for (int k = 0; k < 4; ++k) {
        bool repeated = false;
        for (int j = 0; j < k; ++j)
            repeated |= formats[j][0] == formats[k][0] && formats[j][1] == formats[k][1];
        if (!repeated && tryFormat(engine, formats[k][0], formats[k][1])) return true;
    }
    startSilence(engine);
    return false;
}

void outputThread(void* arg) {
    SoundEngine* engine = static_cast<SoundEngine*>(arg);
    while (running(engine)) {
        if (engine->deviceOpen)
            feedDevice(engine);
        else
            feedNothing(engine);
    }
    if (engine->deviceOpen) engine->device->close(engine->device->self);
    engine->deviceOpen = false;
}
