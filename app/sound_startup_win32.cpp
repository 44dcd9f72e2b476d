#include "app/sound_startup_win32.h"

#include <malloc.h>

#include "settings/settings.h"
#include "sound/acm_services_win32.h"
#include "sound/plugin_loader_win32.h"
#include "sound/sound_engine.h"
#include "sound/wave_codec.h"
#include "sound/waveout_device_win32.h"

namespace {

// The engine lives in one block whose regions are laid out on 128-byte boundaries.
constexpr size_t ENGINE_BLOCK_ALIGNMENT = 128;
// Codec table size: the built-in WAVE codec and up to five plug-ins.
constexpr uint32_t CODEC_SLOTS = 6;

} // namespace

void startSoundEngine(const WatchSettings* settings) {
    EngineConfig config;
    EngineConfigInit(&config);
    // A value the engine refuses (0 included) leaves its default for that parameter.
    EngineConfigSetChannels(&config, settings ? static_cast<uint32_t>(settings->channels) : 0);
    EngineConfigSetBits(&config, settings ? static_cast<uint32_t>(settings->sampleBits) : 0);
    EngineConfigSetRate(&config, settings ? static_cast<uint32_t>(settings->sampleRate) : 0);
    EngineConfigSetCodecSlots(&config, CODEC_SLOTS);

    uint64_t size = EngineRequiredSize(&config);
    void* block = size > 0 && size < SIZE_MAX
                      ? _aligned_malloc(static_cast<size_t>(size), ENGINE_BLOCK_ALIGNMENT)
                      : nullptr;
    if (!block) return;
    EngineSetOutputDevice(waveOutDevice());
    EngineSetAcmServices(acmServices());
    if (EngineOpen(&config, block, size) != SND_OK) {
        _aligned_free(block);
        return;
    }
    EngineRegisterCodec(waveCodecProbe, nullptr);
    registerPlugins();
    EngineSetMasterVolume(settings ? static_cast<float>(settings->volume) / 100.0f : 0.0f);
}

void stopSoundEngine() {
    _aligned_free(EngineClose());
}
