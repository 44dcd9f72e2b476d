// Plays one WAVE file through the audio engine and the waveOut device, then exits: the program
// the sound end-to-end check records. Exit code 0 when the file played to its end, 1 when the
// engine could not open (no sound device), 2 when the file could not be played.
#include <windows.h>

#include <malloc.h>

#include "sound/sound_engine.h"
#include "sound/waveout_device_win32.h"
#include "sound/wave_codec.h"

namespace {

constexpr DWORD LIMIT_MS = 60000;

int playToEnd(const wchar_t* path) {
    VoiceHandle voice = 0;
    if (VoiceOpenFile(&voice, 0, path) != SND_OK) return 2;
    DWORD start = GetTickCount();
    while (VoiceGetState(voice) == VOICE_OPENING && GetTickCount() - start < LIMIT_MS)
        Sleep(5);
    if (VoiceGetState(voice) != VOICE_READY || VoicePlay(voice) != SND_OK) return 2;
    while (VoiceGetState(voice) == VOICE_PLAYING && GetTickCount() - start < LIMIT_MS)
        Sleep(10);
    int result = VoiceGetState(voice) == VOICE_STOPPED ? 0 : 2;
    VoiceClose(voice);
    Sleep(2000); // what the engine has handed over may still wait in the system mixer
    return result;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    EngineConfig config;
    EngineConfigInit(&config);
    EngineConfigSetChannels(&config, 2);
    EngineConfigSetBits(&config, 16);
    EngineConfigSetRate(&config, 48000);
    EngineConfigSetCodecSlots(&config, 6);
    uint64_t size = EngineRequiredSize(&config);
    void* block = _aligned_malloc(static_cast<size_t>(size), 128);
    EngineSetOutputDevice(waveOutDevice());
    if (!block || EngineOpen(&config, block, size) != SND_OK) {
        _aligned_free(block);
        return 1;
    }
    EngineRegisterCodec(waveCodecProbe, nullptr);
    EngineSetMasterVolume(1.0f);
    int result = playToEnd(argv[1]);
    _aligned_free(EngineClose());
    return result;
}
