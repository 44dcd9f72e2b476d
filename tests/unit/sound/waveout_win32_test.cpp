// The Windows device and compression services: the engine opens on waveOut when the machine has
// a sound device and stays closed (silent) when it has none; ACM converts PCM.
#include <gtest/gtest.h>

#include <windows.h>

#include <mmreg.h>
#include <mmsystem.h>

#include <cstring>
#include <fstream>

#include "sound/acm_services_win32.h"
#include "sound/codec.h"
#include "sound/waveout_device_win32.h"
#include "sound_test_support.h"

namespace {

TEST(WaveOutTest, OpensWithADeviceAndRunsSilentWithout) {
    EngineConfig config;
    EngineConfigInit(&config);
    EngineConfigSetChannels(&config, 2);
    EngineConfigSetBits(&config, 16);
    uint64_t size = EngineRequiredSize(&config);
    void* block = alignedBlock(size);
    EngineSetOutputDevice(waveOutDevice());
    // With a device a few periods of silence go through it; without one the engine runs silent
    // and tries the device again each second. Either way it closes at once.
    ASSERT_EQ(SND_OK, EngineOpen(&config, block, size));
    Sleep(200);
    EXPECT_EQ(block, EngineClose());
    EngineSetOutputDevice(nullptr);
    freeAlignedBlock(block);
}

WAVEFORMATEX pcmFormat(WORD channels, DWORD rate, WORD bits) {
    WAVEFORMATEX f = {};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = channels;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = bits;
    f.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    return f;
}

TEST(AcmServicesTest, ConvertsPcmWidths) {
    const AcmServices* acm = acmServices();
    WAVEFORMATEX source = pcmFormat(2, 44100, 16);
    WAVEFORMATEX destination = pcmFormat(2, 44100, 8);
    void* stream = acm->open(&source, &destination);
    ASSERT_NE(nullptr, stream);
    uint32_t needed = 0;
    ASSERT_TRUE(acm->sourceSize(stream, 100, &needed));
    EXPECT_EQ(200u, needed);
    int16_t in[100];
    for (int i = 0; i < 100; ++i)
        in[i] = static_cast<int16_t>(i % 2 ? -16384 : 16384);
    uint8_t out[100] = {};
    uint32_t used = 0, produced = 0;
    ASSERT_TRUE(acm->convert(stream, reinterpret_cast<const uint8_t*>(in), sizeof in, out,
                             sizeof out, &used, &produced));
    EXPECT_EQ(200u, used);
    EXPECT_EQ(100u, produced);
    EXPECT_EQ(0xC0, out[0]);
    EXPECT_EQ(0x40, out[1]);
    acm->close(stream);

    WAVEFORMATEX suggested = {};
    suggested.wFormatTag = WAVE_FORMAT_PCM;
    EXPECT_EQ(1, acm->suggest(&source, &suggested, sizeof suggested));
    EXPECT_EQ(WAVE_FORMAT_PCM, suggested.wFormatTag);
}

// A codec whose data are 16-bit stereo PCM that it has ACM convert to 8-bit, as a plug-in for
// a compressed format would.
constexpr uint32_t ACM_FRAMES = 1000;

int32_t acmProbe(CodecContext* c, uint32_t) {
    char magic[4];
    if (codecReadBytes(c, magic, 4) != 4 || std::memcmp(magic, "ACM!", 4) != 0) return SND_E_FORMAT;
    WAVEFORMATEX source = pcmFormat(2, 44100, 16);
    WAVEFORMATEX destination = pcmFormat(2, 44100, 8);
    codecSetAcmFormats(c, &source, sizeof source, &destination, sizeof destination);
    codecSetFormatTag(c, FORMAT_TAG_PCM);
    codecSetChannels(c, 2);
    codecSetBlockAlign(c, 2);
    codecSetRate(c, 44100);
    codecSetDataOffset(c, 4);
    codecSetDataSize(c, 4 * ACM_FRAMES);
    codecSetTotalFrames(c, ACM_FRAMES);
    return codecOpenAcmStream(c);
}

TEST(AcmServicesTest, EngineDecodesThroughAcm) {
    EngineSetAcmServices(acmServices());
    EngineRun run(2, 32, 44100);
    ASSERT_TRUE(run.ok());
    ASSERT_EQ(SND_OK, EngineRegisterCodec(acmProbe, nullptr));
    TempFolder temp;
    std::vector<int16_t> samples;
    for (uint32_t i = 0; i < ACM_FRAMES; ++i) {
        samples.push_back(16384);
        samples.push_back(-16384);
    }
    std::vector<uint8_t> bytes = {'A', 'C', 'M', '!'};
    std::vector<uint8_t> pcm = pcm16(samples);
    bytes.insert(bytes.end(), pcm.begin(), pcm.end());
    std::ofstream(temp.file("a.acm"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    VoiceHandle h = run.openReady(temp.file("a.acm"));
    ASSERT_EQ(VOICE_READY, VoiceGetState(h));
    uint64_t length = 0;
    VoiceGetPosition(h, nullptr, &length);
    EXPECT_EQ(ACM_FRAMES, length);
    ASSERT_TRUE(run.waitRing(h, ACM_FRAMES));
    ASSERT_EQ(SND_OK, VoicePlay(h));
    std::vector<uint8_t> played;
    ASSERT_TRUE(run.device().playPeriods(DEVICE_BUFFERS + 2, &played));
    EXPECT_EQ(VOICE_STOPPED, VoiceGetState(h));
    int frames = 0;
    for (size_t at = 0; at + 8 <= played.size(); at += 8) {
        float left, right;
        std::memcpy(&left, &played[at], 4);
        std::memcpy(&right, &played[at + 4], 4);
        if (left == 0.0f) continue;
        EXPECT_EQ(0.5f, left);
        EXPECT_EQ(-0.5f, right);
        ++frames;
    }
    EXPECT_EQ(static_cast<int>(ACM_FRAMES), frames);
    EngineSetAcmServices(nullptr);
}

} // namespace
