// Helpers shared by the engine tests: an open engine on the test device, waiting for engine
// state, WAVE files written on the fly and the checked-in test sounds.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "sound/engine_internal.h"
#include "sound/sound_engine.h"
#include "test_output_device.h"

using Path16 = std::basic_string<char16>;

Path16 toPath16(const std::filesystem::path& path);
// A checked-in test sound under tests/data/sound.
std::filesystem::path dataSound(const char* name);
// A fresh temporary folder, removed by the caller's TempFolder.
struct TempFolder {
    TempFolder();
    ~TempFolder();
    std::filesystem::path file(const char* name) const { return path / name; }
    std::filesystem::path path;
};

// Builds RIFF/WAVE bytes chunk by chunk.
struct WaveBuilder {
    std::vector<uint8_t> chunks;
    WaveBuilder& chunk(const char id[4], const std::vector<uint8_t>& body);
    WaveBuilder& fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t blockAlign,
                     uint16_t bits);
    WaveBuilder& data(const std::vector<uint8_t>& samples);
    WaveBuilder& cue(const std::vector<uint32_t>& positions);
    WaveBuilder& smpl(uint32_t loops, uint32_t start, uint32_t end);
    std::vector<uint8_t> bytes() const;
    void save(const std::filesystem::path& path) const;
};
// 16-bit PCM samples as little-endian bytes.
std::vector<uint8_t> pcm16(const std::vector<int16_t>& samples);
// A 16-bit stereo ramp of `frames` frames: left = frame index + 1, right = its negation
// (repeating after 32767 frames), so that no frame is silent.
std::vector<uint8_t> rampStereo16(uint32_t frames);

// A 128-byte aligned block for the engine, and its release.
void* alignedBlock(uint64_t size);
void freeAlignedBlock(void* block);

// Polls `ready` every millisecond for up to five seconds.
bool waitUntil(const std::function<bool()>& ready);
// The same with a limit of `ms` milliseconds.
bool waitUntilFor(const std::function<bool()>& ready, int ms);

// Left-channel frame numbers (ramp value - 1) of float stereo device bytes, skipping silence.
std::vector<int> playedRampFrames(const std::vector<uint8_t>& played);

class EngineRun;
// Plays periods on `run`'s device (their bytes into `played`, if given) until `done` holds, for
// at most five seconds; false if it never did.
bool playUntilDone(EngineRun& run, const std::function<bool()>& done,
                   std::vector<uint8_t>* played = nullptr);

// Opens the engine on a test device with the WAVE codec registered; closes it on destruction.
class EngineRun {
  public:
    EngineRun(uint32_t channels = 2, uint32_t bits = 16, uint32_t rate = 48000, uint32_t restMs = 0,
              uint32_t settleMs = 0);
    ~EngineRun();
    bool ok() const { return opened_ == SND_OK; }
    TestOutputDevice& device() { return device_; }
    uint32_t period() const { return layout_.framesPerPeriod; }
    SoundEngine* engine() const { return engineInstance(); }
    SoundVoice* voice(VoiceHandle handle) const;
    // Frames the voice's ring holds (under the state lock).
    uint64_t ringFrames(VoiceHandle handle) const;
    // Opens `path` with a handle and waits until it is ready (or failed).
    VoiceHandle openReady(const std::filesystem::path& path, uint32_t flags = 0);
    // Waits until the voice's ring holds at least `frames` frames.
    bool waitRing(VoiceHandle handle, uint64_t frames) const;
    uint32_t allocatedVoices() const;

  private:
    TestOutputDevice device_;
    EngineLayout layout_{};
    void* block_ = nullptr;
    int32_t opened_ = SND_E_OPEN;
};
