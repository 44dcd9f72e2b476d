#include "sound_test_support.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <thread>
#ifdef _WIN32
#include <malloc.h>
#endif

#include "platform/platform.h"
#include "sound/wave_codec.h"

Path16 toPath16(const std::filesystem::path& path) {
#ifdef _WIN32
    return path.wstring();
#else
    return path.u16string();
#endif
}

std::filesystem::path dataSound(const char* name) {
    return std::filesystem::path(VESK_SOURCE_DIR) / "tests" / "data" / "sound" / name;
}

TempFolder::TempFolder() {
    std::random_device seed;
    path = std::filesystem::temp_directory_path() / ("vesk-sound-" + std::to_string(seed()));
    std::filesystem::create_directories(path);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

namespace {
void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
} // namespace

WaveBuilder& WaveBuilder::chunk(const char id[4], const std::vector<uint8_t>& body) {
    chunks.insert(chunks.end(), id, id + 4);
    put32(chunks, static_cast<uint32_t>(body.size()));
    chunks.insert(chunks.end(), body.begin(), body.end());
    if (body.size() & 1) chunks.push_back(0);
    return *this;
}

WaveBuilder& WaveBuilder::fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t blockAlign,
                              uint16_t bits) {
    std::vector<uint8_t> body;
    put16(body, tag);
    put16(body, channels);
    put32(body, rate);
    put32(body, rate * blockAlign);
    put16(body, blockAlign);
    put16(body, bits);
    return chunk("fmt ", body);
}

WaveBuilder& WaveBuilder::data(const std::vector<uint8_t>& samples) {
    return chunk("data", samples);
}

WaveBuilder& WaveBuilder::cue(const std::vector<uint32_t>& positions) {
    std::vector<uint8_t> body;
    put32(body, static_cast<uint32_t>(positions.size()));
    uint32_t id = 1;
    for (uint32_t position : positions) {
        put32(body, id++);
        put32(body, position);
        body.insert(body.end(), {'d', 'a', 't', 'a'});
        put32(body, 0);
        put32(body, 0);
        put32(body, position);
    }
    return chunk("cue ", body);
}

WaveBuilder& WaveBuilder::smpl(uint32_t loops, uint32_t start, uint32_t end) {
    std::vector<uint8_t> body(36, 0);
    body[28] = static_cast<uint8_t>(loops);
    body.resize(36);
    if (loops) {
        for (int i = 0; i < 2; ++i)
            put32(body, 0); // loop id, type
        put32(body, start);
        put32(body, end);
        put32(body, 0);
        put32(body, 0);
    }
    while (body.size() < 60)
        body.push_back(0);
    return chunk("smpl", body);
}

std::vector<uint8_t> WaveBuilder::bytes() const {
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    put32(out, static_cast<uint32_t>(chunks.size() + 4));
    out.insert(out.end(), {'W', 'A', 'V', 'E'});
    out.insert(out.end(), chunks.begin(), chunks.end());
    return out;
}

void WaveBuilder::save(const std::filesystem::path& path) const {
    std::vector<uint8_t> all = bytes();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(all.data()), static_cast<std::streamsize>(all.size()));
}

std::vector<uint8_t> pcm16(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> out;
    for (int16_t s : samples)
        put16(out, static_cast<uint16_t>(s));
    return out;
}

std::vector<uint8_t> rampStereo16(uint32_t frames) {
    std::vector<int16_t> samples;
    for (uint32_t i = 0; i < frames; ++i) {
        int16_t v = static_cast<int16_t>(i % 32767 + 1);
        samples.push_back(v);
        samples.push_back(static_cast<int16_t>(-v));
    }
    return pcm16(samples);
}

void* alignedBlock(uint64_t size) {
#ifdef _WIN32
    return _aligned_malloc(static_cast<size_t>(size), 128);
#else
    return std::aligned_alloc(128, static_cast<size_t>((size + 127) / 128 * 128));
#endif
}

void freeAlignedBlock(void* block) {
#ifdef _WIN32
    _aligned_free(block);
#else
    std::free(block);
#endif
}

std::vector<int> playedRampFrames(const std::vector<uint8_t>& played) {
    std::vector<int> frames;
    for (size_t at = 0; at + 8 <= played.size(); at += 8) {
        float left;
        std::memcpy(&left, &played[at], 4);
        if (left != 0.0f) frames.push_back(static_cast<int>(std::lround(left * 32768.0f)) - 1);
    }
    return frames;
}

bool playUntilDone(EngineRun& run, const std::function<bool()>& done,
                   std::vector<uint8_t>* played) {
    return waitUntil([&] { return done() || !run.device().playPeriod(played); }) && done();
}

bool waitUntil(const std::function<bool()>& ready) {
    return waitUntilFor(ready, 5000);
}

bool waitUntilFor(const std::function<bool()>& ready, int ms) {
    auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!ready()) {
        if (std::chrono::steady_clock::now() > limit) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

EngineRun::EngineRun(uint32_t channels, uint32_t bits, uint32_t rate, uint32_t restMs,
                     uint32_t settleMs) {
    device_.setRest(restMs, settleMs);
    EngineConfig config;
    EngineConfigInit(&config);
    EngineConfigSetChannels(&config, channels);
    EngineConfigSetBits(&config, bits);
    config.rate = rate;
    EngineConfigSetCodecSlots(&config, 6);
    uint64_t size = EngineRequiredSize(&config, &layout_);
    if (size == 0) return;
    block_ = alignedBlock(size);
    EngineSetOutputDevice(device_.device());
    opened_ = EngineOpen(&config, block_, size);
    if (opened_ == SND_OK) EngineRegisterCodec(waveCodecProbe, nullptr);
}

EngineRun::~EngineRun() {
    if (opened_ == SND_OK) EngineClose();
    EngineSetOutputDevice(nullptr);
    freeAlignedBlock(block_);
}

SoundVoice* EngineRun::voice(VoiceHandle handle) const {
    return &engine()->voices[(handle & 0xFFFF) - 1];
}

uint64_t EngineRun::ringFrames(VoiceHandle handle) const {
    return ringFilledFrames(&voice(handle)->ring);
}

VoiceHandle EngineRun::openReady(const std::filesystem::path& path, uint32_t flags) {
    VoiceHandle handle = 0;
    if (VoiceOpenFile(&handle, flags, toPath16(path).c_str()) != SND_OK) return 0;
    waitUntil([&] { return VoiceGetState(handle) != VOICE_OPENING; });
    return handle;
}

bool EngineRun::waitRing(VoiceHandle handle, uint64_t frames) const {
    return waitUntil([&] { return ringFrames(handle) >= frames; });
}

uint32_t EngineRun::allocatedVoices() const {
    lockEnter(&engine()->stateLock);
    uint32_t count = engine()->allocatedVoices;
    lockLeave(&engine()->stateLock);
    return count;
}
