// Engine core: configuration, the caller's memory block, opening and closing, and the output,
// conversion, stream and prepare threads.
#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>

#include "sound/engine_internal.h"
#include "sound/mix_stage.h"

const uint8_t DEVICE_SUBTYPE_PCM[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                        0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
const uint8_t DEVICE_SUBTYPE_IEEE_FLOAT[16] = {0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                               0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

namespace {

std::atomic<SoundEngine*> g_engine{nullptr};
// Public calls inside the engine right now (see EngineCall).
std::atomic<uint32_t> g_calls{0};
const OutputDevice* g_device = nullptr;

constexpr uint64_t REGION_ALIGN = 128;
constexpr uint32_t THREAD_WAIT_MS = 10;
// With no voice open the engine threads have nothing to do. Under Wine every wake-up is a round
// trip to its server, and three threads waking every 10 ms made the idle watch cost several
// percent of a core, so they sleep until a voice is opened or this long has passed.
constexpr uint32_t IDLE_WAIT_MS = 1000;
// Close waits this long for calls from other threads to leave the engine, and this long for all
// engine threads together to end: quitting never hangs on a stuck device or plug-in.
constexpr uint32_t CALL_DRAIN_MS = 500;
constexpr uint32_t THREAD_STOP_MS = 1000;

uint64_t roundRegion(uint64_t bytes) {
    return (bytes + REGION_ALIGN - 1) & ~(REGION_ALIGN - 1);
}

uint32_t framesPerPeriod(uint32_t rate) {
    switch (rate) {
    case 8000:
        return 800;
    case 11025:
    case 22050:
        return 735;
    case 44100:
    case 48000:
    case 96000:
    case 192000:
        return rate / 32;
    default:
        return 0;
    }
}

uint32_t channelMaskOf(uint32_t channels) {
    switch (channels) {
    case 3:
        return 0x0B;
    case 4:
        return 0x33;
    case 5:
        return 0x37;
    case 6:
        return 0x3F;
    case 7:
        return 0x637;
    case 8:
        return 0x63F;
    default:
        return 0;
    }
}

PlatformPriority priorityOf(uint32_t index) {
    switch (index) {
    case 0:
        return PRIORITY_TIME_CRITICAL;
    case 1:
        return PRIORITY_HIGHEST;
    case 2:
        return PRIORITY_ABOVE_NORMAL;
    case 4:
        return PRIORITY_BELOW_NORMAL;
    case 5:
        return PRIORITY_LOWEST;
    case 6:
        return PRIORITY_IDLE;
    default:
        return PRIORITY_NORMAL;
    }
}

// Byte offsets of the regions inside the block, in their fixed order.
struct BlockRegions {
    uint64_t codecs;
    uint64_t voiceList;
    uint64_t voices;
    uint64_t voiceBuffers;
    uint64_t mixBuffer;
    uint64_t deviceBuffer;
    uint64_t total;
};

BlockRegions regionsOf(const EngineConfig* config, const EngineLayout* layout) {
    BlockRegions r;
    r.codecs = roundRegion(sizeof(SoundEngine));
    r.voiceList =
        r.codecs + roundRegion(static_cast<uint64_t>(config->codecSlots) * sizeof(FormatCodec));
    r.voices =
        r.voiceList + roundRegion(static_cast<uint64_t>(config->voices) * sizeof(SoundVoice*));
    r.voiceBuffers =
        r.voices + roundRegion(static_cast<uint64_t>(config->voices) * sizeof(SoundVoice));
    r.mixBuffer = r.voiceBuffers + roundRegion(layout->voiceBufferBytes);
    r.deviceBuffer = r.mixBuffer + roundRegion(layout->mixBufferBytes);
    r.total = r.deviceBuffer + roundRegion(layout->deviceBufferBytes);
    return r;
}

uint32_t threadWaitMs(SoundEngine* engine) {
    return anyVoiceOpen(engine) ? THREAD_WAIT_MS : IDLE_WAIT_MS;
}

// Conversion thread: after every period (or 10 ms) decode file data into the voice rings.
void conversionThread(void* arg) {
    SoundEngine* engine = static_cast<SoundEngine*>(arg);
    while (engine->conversion.run.load() & 1) {
        eventWait(&engine->periodEvent, threadWaitMs(engine));
        if (!(engine->conversion.run.load() & 1)) break;
        voiceConversionPass(engine);
    }
}

void streamThread(void* arg) {
    SoundEngine* engine = static_cast<SoundEngine*>(arg);
    while (engine->stream.run.load() & 1) {
        eventWait(&engine->streamWake, threadWaitMs(engine));
        voiceStreamPass(engine);
    }
}

void prepareThread(void* arg) {
    SoundEngine* engine = static_cast<SoundEngine*>(arg);
    while (engine->prepare.run.load() & 1) {
        eventWait(&engine->prepareWake, threadWaitMs(engine));
        voicePreparePass(engine);
    }
}

void layOut(SoundEngine* engine, uint8_t* block, const EngineLayout* layout) {
    const EngineConfig* config = &engine->config;
    BlockRegions r = regionsOf(config, layout);
    engine->codecs = reinterpret_cast<FormatCodec*>(block + r.codecs);
    engine->voiceList = reinterpret_cast<SoundVoice**>(block + r.voiceList);
    engine->voices = reinterpret_cast<SoundVoice*>(block + r.voices);
    engine->masterRateFactor = 1.0f;
    engine->masterVolume = 1.0f;
    engine->framesPerPeriod = layout->framesPerPeriod;
    ringInit(&engine->mixRing, &engine->stateLock, static_cast<uint8_t>(layout->mixChannels),
             static_cast<uint8_t>(layout->mixChannels), config->rate, config->rate,
             layout->framesPerPeriod, block + r.mixBuffer);
    // Voice rings take their channel count and period from the mix ring.
    uint64_t voiceSlice = layout->voiceBufferBytes / config->voices;
    for (uint32_t k = 0; k < config->voices; ++k) {
        voiceInitRecord(engine, &engine->voices[k], block + r.voiceBuffers + k * voiceSlice);
        engine->voiceList[k] = &engine->voices[k];
    }
    engine->deviceFormat = layout->deviceFormat;
    engine->deviceBufferBytes = static_cast<uint32_t>(layout->deviceBufferBytes / DEVICE_BUFFERS);
    for (int k = 0; k < DEVICE_BUFFERS; ++k)
        engine->deviceBuffers[k] = block + r.deviceBuffer + k * engine->deviceBufferBytes;
}

void destroyPrimitives(SoundEngine* engine) {
    eventDestroy(&engine->streamWake);
    eventDestroy(&engine->prepareWake);
    eventDestroy(&engine->deviceEvent);
    eventDestroy(&engine->periodEvent);
    lockDestroy(&engine->codecLock);
    lockDestroy(&engine->mixLock);
    lockDestroy(&engine->stateLock);
}

// Stops the threads in the order prepare, stream, conversion, output (those in `started`),
// waiting at most THREAD_STOP_MS for all of them; false if one did not end in that time.
bool stopThreads(SoundEngine* engine, EngineThread* const* threads, int started) {
    for (int k = 0; k < 4; ++k)
        threads[k]->run.store(0);
    eventSignal(&engine->periodEvent);
    eventSignal(&engine->deviceEvent);
    eventSignal(&engine->prepareWake);
    eventSignal(&engine->streamWake);
    uint64_t deadline = platformTickMs() + THREAD_STOP_MS;
    bool ended = true;
    for (int k = 0; k < 4; ++k) {
        if (!(started & (1 << k))) continue;
        uint64_t now = platformTickMs();
        uint32_t left = now < deadline ? static_cast<uint32_t>(deadline - now) : 0;
        ended = threadJoinFor(&threads[k]->thread, left) && ended;
    }
    return ended;
}

// Waits for public calls from other threads to leave the engine; false after CALL_DRAIN_MS.
bool drainCalls() {
    uint64_t deadline = platformTickMs() + CALL_DRAIN_MS;
    while (g_calls.load() != 0) {
        if (platformTickMs() >= deadline) return false;
        platformSleep(1);
    }
    return true;
}

bool startThreads(SoundEngine* engine) {
    const EngineConfig* c = &engine->config;
    EngineThread* const order[4] = {&engine->prepare, &engine->stream, &engine->conversion,
                                    &engine->output};
    for (EngineThread* t : order)
        t->run.store(1);
    struct Start {
        EngineThread* thread;
        PlatformThreadProc proc;
        uint32_t priority;
        int bit;
    } const starts[4] = {{&engine->output, outputThread, c->outputPriority, 8},
                         {&engine->conversion, conversionThread, c->conversionPriority, 4},
                         {&engine->stream, streamThread, c->streamPriority, 2},
                         {&engine->prepare, prepareThread, c->streamPriority, 1}};
    int started = 0;
    for (const Start& s : starts) {
        if (!threadStart(&s.thread->thread, s.proc, engine, priorityOf(s.priority))) {
            stopThreads(engine, order, started);
            return false;
        }
        started |= s.bit;
    }
    return true;
}

} // namespace

SoundEngine* engineInstance() {
    return g_engine.load();
}

bool anyVoiceOpen(SoundEngine* engine) {
    LockGuard hold(&engine->stateLock);
    return engine->allocatedVoices != 0;
}

EngineCall::EngineCall() {
    // Counted before the engine is read: EngineClose unpublishes the engine before it counts,
    // so either this call sees null or close sees this call.
    g_calls.fetch_add(1);
    engine_ = g_engine.load();
}

EngineCall::~EngineCall() {
    g_calls.fetch_sub(1);
}

void buildDeviceFormat(uint32_t channels, uint32_t bits, uint32_t rate, DeviceFormat* format) {
    uint32_t blockAlign = channels * ((bits + 7) / 8);
    std::memset(format, 0, sizeof *format);
    format->formatTag = DEVICE_FORMAT_EXTENSIBLE;
    format->channels = static_cast<uint16_t>(channels);
    format->samplesPerSec = rate;
    format->avgBytesPerSec = blockAlign * rate;
    format->blockAlign = static_cast<uint16_t>(blockAlign);
    format->bitsPerSample = static_cast<uint16_t>(bits);
    format->cbSize = 22;
    format->validBitsPerSample = static_cast<uint16_t>(bits);
    format->channelMask = channelMaskOf(channels);
    std::memcpy(format->subFormat, bits == 32 ? DEVICE_SUBTYPE_IEEE_FLOAT : DEVICE_SUBTYPE_PCM, 16);
}

void EngineConfigInit(EngineConfig* config) {
    config->channels = 6;
    config->bits = 32;
    config->rate = 48000;
    config->voices = 8;
    config->mixChannels = 0;
    config->codecSlots = 1;
    config->outputPriority = 0;
    config->conversionPriority = 1;
    config->streamPriority = 6;
}

int32_t EngineConfigSetChannels(EngineConfig* config, uint32_t channels) {
    if (channels > 8) return SND_E_RANGE;
    config->channels = channels == 0 ? 6 : channels;
    return SND_OK;
}

int32_t EngineConfigSetBits(EngineConfig* config, uint32_t bits) {
    if (bits == 0) bits = 32;
    if (bits != 16 && bits != 24 && bits != 32) return SND_E_RANGE;
    config->bits = bits;
    return SND_OK;
}

int32_t EngineConfigSetRate(EngineConfig* config, uint32_t rate) {
    if (rate == 0) rate = 48000;
    if (rate != 44100 && rate != 48000 && rate != 96000 && rate != 192000) return SND_E_RANGE;
    config->rate = rate;
    return SND_OK;
}

int32_t EngineConfigSetCodecSlots(EngineConfig* config, uint32_t slots) {
    config->codecSlots = slots == 0 ? 1 : slots;
    return SND_OK;
}

uint64_t EngineRequiredSize(const EngineConfig* config, EngineLayout* layout) {
    if (!config) return 0;
    uint32_t period = framesPerPeriod(config->rate);
    // Fields set without the setters are checked too: the block would not describe them.
    bool valid = config->channels >= 1 && config->channels <= 8 &&
                 (config->bits == 16 || config->bits == 24 || config->bits == 32) &&
                 config->voices >= 1 && config->voices <= 0xFFFF && config->codecSlots >= 1;
    if (period == 0 || !valid) return 0;
    EngineLayout l;
    l.framesPerPeriod = period;
    l.mixChannels = config->mixChannels == 0 || config->mixChannels > 8 ? config->channels
                                                                        : config->mixChannels;
    uint64_t frameBytes = config->channels * ((config->bits + 7) / 8);
    l.deviceBufferBytes = static_cast<uint64_t>(DEVICE_BUFFERS) * period * frameBytes;
    l.mixBufferBytes = static_cast<uint64_t>(period) * l.mixChannels * 4;
    l.voiceBufferBytes = static_cast<uint64_t>(config->voices) * 3 * period * l.mixChannels * 4;
    buildDeviceFormat(config->channels, config->bits, config->rate, &l.deviceFormat);
    if (layout) *layout = l;
    return regionsOf(config, &l).total;
}

void EngineSetOutputDevice(const OutputDevice* device) {
    g_device = device;
}

int32_t EngineOpen(const EngineConfig* config, void* block, uint64_t size) {
    EngineLayout layout;
    uint64_t required = config ? EngineRequiredSize(config, &layout) : 0;
    if (g_engine.load() || !block || required == 0 || size < required || !g_device ||
        required > SIZE_MAX)
        return SND_E_OPEN;
    std::memset(block, 0, required);
    SoundEngine* engine = new (block) SoundEngine();
    lockInit(&engine->stateLock);
    lockInit(&engine->mixLock);
    lockInit(&engine->codecLock);
    engine->config = *config;
    engine->device = g_device;
    layOut(engine, static_cast<uint8_t*>(block), &layout);
    eventInit(&engine->deviceEvent);
    eventInit(&engine->periodEvent);
    eventInit(&engine->prepareWake);
    eventInit(&engine->streamWake);
    // Without a device the engine still opens and runs silent: the output thread keeps the
    // voices going and brings the sound in when a device appears. A device that rests is first
    // opened when a voice is.
    if (engine->device->restMs == 0) deviceOpenNearest(engine);
    if (!startThreads(engine)) {
        if (engine->deviceOpen) engine->device->close(engine->device->self);
        destroyPrimitives(engine);
        return SND_E_OPEN;
    }
    g_engine.store(engine);
    return SND_OK;
}

// Call only from the thread that opened the engine. Calls from other threads that are inside
// the engine are waited for; if one does not leave, or an engine thread does not end, in time,
// the engine is abandoned (null is returned and nothing is freed) rather than freed under it.
void* EngineClose() {
    SoundEngine* engine = g_engine.exchange(nullptr);
    if (!engine) return nullptr;
    if (!drainCalls()) {
        platformDebugOutput("Sound engine left open: a call did not return\n");
        return nullptr;
    }
    EngineThread* const order[4] = {&engine->prepare, &engine->stream, &engine->conversion,
                                    &engine->output};
    if (!stopThreads(engine, order, 0xF)) {
        platformDebugOutput("Sound engine left open: a thread did not end\n");
        return nullptr;
    }
    for (uint32_t k = 0; k < engine->config.voices; ++k)
        voiceRelease(engine, &engine->voices[k]);
    destroyPrimitives(engine);
    engine->~SoundEngine();
    return engine;
}

int32_t EngineSetMasterVolume(float volume) {
    EngineCall call;
    SoundEngine* engine = call.engine();
    if (!engine) return SND_E_STATE;
    LockGuard hold(&engine->stateLock);
    engine->masterVolume = volume > 0.0f ? volume : 0.0f;
    return SND_OK;
}
