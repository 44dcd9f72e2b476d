// The WAVE codec over the codec interface: fields, chunks, loop regions, refusals, the seek hook,
// the probe order and the host services.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <limits>

#include "sound/codec.h"
#include "sound/wave_codec.h"
#include "sound_test_support.h"

namespace {

struct Probed {
    int32_t result;
    FormatInfo info;
};

// Probes `path` with a FormatInfo, as the prepare step does.
Probed probeWithFormat(const std::filesystem::path& path) {
    CodecStream stream{};
    Probed p{SND_E_FILE, {}};
    if (!fileOpenRead(&stream.file, toPath16(path).c_str())) return p;
    stream.fileSize = static_cast<uint64_t>(fileSizeOf(&stream.file));
    CodecContext context;
    p.result = codecProbeAll(&context, &stream, &p.info);
    FormatInfo copy = p.info;
    formatInfoReset(&copy);
    fileClose(&stream.file);
    return p;
}

void saveBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

struct WaveCodecTest : ::testing::Test {
    EngineRun run;
    TempFolder temp;
    std::filesystem::path save(const WaveBuilder& wave, const char* name = "t.wav") {
        wave.save(temp.file(name));
        return temp.file(name);
    }
    int32_t probeFile(const std::filesystem::path& path) {
        return EngineProbeFile(toPath16(path).c_str());
    }
};

TEST_F(WaveCodecTest, Stereo16BitFileDescribesItsData) {
    ASSERT_TRUE(run.ok());
    auto path = save(WaveBuilder().fmt(1, 2, 44100, 4, 16).data(rampStereo16(1000)));
    Probed p = probeWithFormat(path);
    ASSERT_EQ(SND_OK, p.result);
    EXPECT_EQ(4096u, p.info.codecId);
    EXPECT_EQ(1u, p.info.formatTag);
    EXPECT_EQ(2, p.info.channels);
    EXPECT_EQ(4, p.info.blockAlign);
    EXPECT_EQ(44100u, p.info.rate);
    EXPECT_EQ(44u, p.info.dataOffset);
    EXPECT_EQ(4000u, p.info.dataSize);
    EXPECT_EQ(0u, p.info.loopStart + p.info.loopEnd);
    EXPECT_EQ(&waveCodecSeek, p.info.seekHook);
    EXPECT_EQ(nullptr, p.info.readHook);
    EXPECT_EQ(nullptr, p.info.releaseHook);
    EXPECT_EQ(nullptr, p.info.acmStream);
    EXPECT_EQ(SND_OK, probeFile(path));
    VoiceHandle h = run.openReady(path);
    uint64_t length = 0;
    VoiceGetPosition(h, nullptr, &length);
    EXPECT_EQ(1000u, length);
}

TEST_F(WaveCodecTest, OnlyTheFirstOfEachChunkCounts) {
    ASSERT_TRUE(run.ok());
    Probed p = probeWithFormat(save(WaveBuilder()
                                        .chunk("LIST", {1, 2, 3})
                                        .fmt(1, 1, 22050, 2, 16)
                                        .fmt(1, 2, 48000, 4, 16)
                                        .cue({10, 20})
                                        .data(pcm16({1, 2, 3, 4}))
                                        .cue({30, 40})
                                        .data(pcm16({1, 2}))));
    ASSERT_EQ(SND_OK, p.result);
    EXPECT_EQ(1, p.info.channels);
    EXPECT_EQ(22050u, p.info.rate);
    EXPECT_EQ(8u, p.info.dataSize);
    EXPECT_EQ(10u, p.info.loopStart);
    EXPECT_EQ(20u, p.info.loopEnd);
}

TEST_F(WaveCodecTest, LoopRegionsFromCueAndSmpl) {
    ASSERT_TRUE(run.ok());
    auto wave = [] { return WaveBuilder().fmt(1, 1, 48000, 2, 16).data(pcm16({0, 0})); };
    struct Case {
        WaveBuilder wave;
        uint64_t start;
        uint64_t end;
    } const cases[] = {
        {wave().cue({5000, 1000, 3000}), 1000, 5000},
        {wave().cue({1000}), 0, 0},
        {wave().cue({700, 700}), 0, 0},
        {wave().smpl(1, 2000, 3000), 2000, 3000},
        {wave().smpl(0, 2000, 3000), 0, 0},
        {wave().cue({1000, 5000}).smpl(1, 2000, 3000), 2000, 3000},
        {wave().smpl(1, 2000, 3000).cue({1000, 5000}), 1000, 5000},
    };
    int n = 0;
    for (const Case& k : cases) {
        Probed p = probeWithFormat(save(k.wave));
        EXPECT_EQ(SND_OK, p.result) << n;
        EXPECT_EQ(k.start, p.info.loopStart) << n;
        EXPECT_EQ(k.end, p.info.loopEnd) << n;
        ++n;
    }
}

TEST_F(WaveCodecTest, OddSizedSamplerChunkKeepsTheChunksInStep) {
    ASSERT_TRUE(run.ok());
    std::vector<uint8_t> smpl(61, 0);
    smpl[28] = 1;  // one loop
    smpl[44] = 4;  // start
    smpl[48] = 12; // end
    Probed p = probeWithFormat(
        save(WaveBuilder().fmt(1, 1, 8000, 2, 16).chunk("smpl", smpl).data(pcm16({1, 2, 3}))));
    ASSERT_EQ(SND_OK, p.result);
    EXPECT_EQ(6u, p.info.dataSize);
    EXPECT_EQ(4u, p.info.loopStart);
    EXPECT_EQ(12u, p.info.loopEnd);
}

TEST_F(WaveCodecTest, CountsAndSizesAreCheckedAgainstTheFile) {
    ASSERT_TRUE(run.ok());
    auto base = [] { return WaveBuilder().fmt(1, 1, 48000, 2, 16).data(pcm16({0, 0})); };
    // A cue count far beyond the chunk: nothing allocated, no loop, file still accepted.
    WaveBuilder bigCount = base();
    std::vector<uint8_t> cue(32, 0);
    cue[0] = cue[1] = cue[2] = cue[3] = 0xFF;
    bigCount.chunk("cue ", cue);
    Probed p = probeWithFormat(save(bigCount));
    EXPECT_EQ(SND_OK, p.result);
    EXPECT_EQ(0u, p.info.loopEnd);

    // Cue records that run past the end of the file: truncated, refused before allocating.
    std::vector<uint8_t> cut = base().bytes();
    cut.insert(cut.end(), {'c', 'u', 'e', ' ', 0xFF, 0xFF, 0xFF, 0x0F, 0x00, 0x00, 0x80, 0x00});
    cut.resize(cut.size() + 40, 0);
    saveBytes(temp.file("cue.wav"), cut);
    EXPECT_EQ(SND_E_FORMAT, probeWithFormat(temp.file("cue.wav")).result);

    // A "smpl" chunk claiming 4 GB ends at the end of the file: truncated, refused.
    std::vector<uint8_t> bytes = base().bytes();
    bytes.insert(bytes.end(), {'s', 'm', 'p', 'l', 0xF0, 0xFF, 0xFF, 0xFF});
    bytes.resize(bytes.size() + 64, 0);
    saveBytes(temp.file("smpl.wav"), bytes);
    EXPECT_EQ(SND_E_FORMAT, probeWithFormat(temp.file("smpl.wav")).result);

    // A "data" chunk claiming more than the file holds is cut to what is there.
    bytes = WaveBuilder().fmt(1, 1, 48000, 2, 16).bytes();
    bytes.insert(bytes.end(), {'d', 'a', 't', 'a', 0x00, 0x10, 0x00, 0x00, 1, 0, 2, 0});
    saveBytes(temp.file("data.wav"), bytes);
    p = probeWithFormat(temp.file("data.wav"));
    EXPECT_EQ(SND_OK, p.result);
    EXPECT_EQ(4u, p.info.dataSize);

    // A truncated "fmt " chunk.
    bytes = {'R', 'I', 'F', 'F', 0,   0,  0, 0, 'W', 'A', 'V',
             'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,   1,   0};
    saveBytes(temp.file("fmt.wav"), bytes);
    EXPECT_EQ(SND_E_FORMAT, probeWithFormat(temp.file("fmt.wav")).result);
}

std::vector<uint8_t> littleEndian(std::initializer_list<uint64_t> values, unsigned bytes) {
    std::vector<uint8_t> out;
    for (uint64_t v : values)
        for (unsigned k = 0; k < bytes; ++k)
            out.push_back(static_cast<uint8_t>(v >> (8 * k)));
    return out;
}
uint64_t floatBits(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return bits;
}
uint64_t doubleBits(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    return bits;
}

// The extensible "fmt " body: the plain fields, then extension size, valid bits, channel mask
// and the subformat identifier whose first two bytes are `subTag`.
WaveBuilder& fmtExtensible(WaveBuilder& wave, uint16_t subTag, uint16_t channels,
                           uint16_t blockAlign, uint32_t mask) {
    std::vector<uint8_t> body = WaveBuilder().fmt(0xFFFE, channels, 48000, blockAlign, 0).bytes();
    body.erase(body.begin(), body.begin() + 20); // RIFF header and chunk header
    for (const auto& part : {littleEndian({22, mask, subTag}, 4),
                             littleEndian({0xAA00008000100000u}, 8), littleEndian({0x719B3800}, 4)})
        body.insert(body.end(), part.begin(), part.end());
    return wave.chunk("fmt ", body);
}

TEST_F(WaveCodecTest, RefusedFiles) {
    ASSERT_TRUE(run.ok());
    WaveBuilder unknownSub;
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    } const cases[] = {
        {"mp3", WaveBuilder().fmt(0x55, 2, 44100, 1, 0).data(pcm16({1, 2})).bytes()},
        {"no channels", WaveBuilder().fmt(1, 0, 44100, 4, 16).data(pcm16({1, 2})).bytes()},
        {"no block align", WaveBuilder().fmt(1, 2, 44100, 0, 16).data(pcm16({1, 2})).bytes()},
        {"no rate", WaveBuilder().fmt(1, 2, 0, 4, 16).data(pcm16({1, 2})).bytes()},
        {"no data", WaveBuilder().fmt(1, 2, 44100, 4, 16).bytes()},
        {"empty data", WaveBuilder().fmt(1, 2, 44100, 4, 16).data({}).bytes()},
        {"no fmt", WaveBuilder().data(pcm16({1, 2})).bytes()},
        {"short", {'R', 'I', 'F', 'F', 0, 0}},
        {"not wave", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '}},
        {"ms-adpcm", WaveBuilder().fmt(2, 1, 22050, 256, 4).data(pcm16({1, 2})).bytes()},
        {"unknown tag", WaveBuilder().fmt(0x1234, 1, 22050, 2, 16).data(pcm16({1, 2})).bytes()},
        {"12-bit over 3 bytes a pair",
         WaveBuilder().fmt(1, 2, 22050, 3, 12).data(pcm16({1, 2, 3})).bytes()},
        {"5-byte samples", WaveBuilder().fmt(1, 1, 22050, 5, 40).data(pcm16({1, 2, 3})).bytes()},
        {"nine channels",
         WaveBuilder().fmt(1, 9, 22050, 18, 16).data(pcm16({1, 2, 3, 4, 5, 6, 7, 8, 9})).bytes()},
        {"part of a frame", WaveBuilder().fmt(1, 2, 22050, 4, 16).data({1, 2}).bytes()},
        {"extensible without subformat",
         WaveBuilder().fmt(0xFFFE, 1, 22050, 2, 16).data(pcm16({1, 2})).bytes()},
        {"extensible adpcm", fmtExtensible(unknownSub, 2, 1, 2, 0).data(pcm16({1, 2})).bytes()},
    };
    for (const Case& k : cases) {
        saveBytes(temp.file("bad.wav"), k.bytes);
        EXPECT_EQ(SND_E_FORMAT, probeFile(temp.file("bad.wav"))) << k.name;
        VoiceHandle h = run.openReady(temp.file("bad.wav"));
        EXPECT_EQ(SND_E_PREPARE, VoiceGetState(h)) << k.name;
        uint64_t length = 1;
        VoiceGetPosition(h, nullptr, &length);
        EXPECT_EQ(0u, length) << k.name;
        VoiceClose(h);
        ASSERT_TRUE(waitUntil([&] {
            run.device().playPeriod(nullptr);
            return run.allocatedVoices() == 0;
        }));
    }
}

// The encodings beyond 8- to 24-bit PCM, three known samples of each and what the (mono) ring
// gets.
TEST_F(WaveCodecTest, EveryEncodingDecodesToKnownValues) {
    ASSERT_TRUE(run.ok());
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    WaveBuilder extensibleFloat;
    fmtExtensible(extensibleFloat, 3, 1, 4, 0x4);
    struct Case {
        const char* name;
        WaveBuilder wave;
        std::vector<uint8_t> data;
        float expected[3];
    } const cases[] = {
        {"32-bit",
         WaveBuilder().fmt(1, 1, 48000, 4, 32),
         littleEndian({0x80000000u, 0, 0x40000000}, 4),
         {-1, 0, 0.5f}},
        {"float",
         WaveBuilder().fmt(3, 1, 48000, 4, 32),
         littleEndian({floatBits(0.25f), floatBits(-0.75f), floatBits(nan)}, 4),
         {0.25f, -0.75f, 0}},
        {"double",
         WaveBuilder().fmt(3, 1, 48000, 8, 64),
         littleEndian({doubleBits(0.125), doubleBits(-1.5), doubleBits(inf)}, 8),
         {0.125f, -1.5f, 1024}},
        {"A-law",
         WaveBuilder().fmt(6, 1, 48000, 1, 8),
         {0xD5, 0x55, 0x2A},
         {8 / 32768.0f, -8 / 32768.0f, -0.984375f}},
        {"mu-law",
         WaveBuilder().fmt(7, 1, 48000, 1, 8),
         {0xFF, 0x00, 0x80},
         {0, -32124 / 32768.0f, 32124 / 32768.0f}},
        {"extensible float",
         extensibleFloat,
         littleEndian({floatBits(0.5f), floatBits(-0.5f), floatBits(1)}, 4),
         {0.5f, -0.5f, 1}},
    };
    for (const Case& k : cases) {
        WaveBuilder wave = k.wave;
        auto path = save(wave.data(k.data), "enc.wav");
        VoiceHandle h = run.openReady(path);
        ASSERT_EQ(VOICE_READY, VoiceGetState(h)) << k.name;
        ASSERT_TRUE(run.waitRing(h, 3)) << k.name;
        const float* plane = ringPlane(&run.voice(h)->ring, 0);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(k.expected[i], plane[i], 1e-6f) << k.name << " sample " << i;
        VoiceClose(h);
        ASSERT_TRUE(waitUntil([&] {
            run.device().playPeriod(nullptr);
            return run.allocatedVoices() == 0;
        }));
    }
}

TEST_F(WaveCodecTest, SeekHookIsExactToTheFrame) {
    FormatInfo info{};
    info.blockAlign = 4;
    CodecContext c{};
    c.mode = CODEC_MODE_RUNNING;
    c.target = 12345;
    c.format = &info;
    uint64_t frame = 0, byte = 0;
    EXPECT_EQ(1, waveCodecSeek(&c, &frame, &byte));
    EXPECT_EQ(12345u, frame);
    EXPECT_EQ(49380u, byte);
}

std::atomic<int> g_laterProbes{0};
std::atomic<int> g_laterSawClean{0};

// A codec behind the WAVE codec: counts the files it is offered and whether it got them rewound
// and with a clean FormatInfo.
int32_t laterCodec(CodecContext* c, uint32_t) {
    ++g_laterProbes;
    bool clean = codecTellFile(c) == 0 &&
                 (!c->format || (c->format->channels == 0 && c->format->codecId == 0));
    if (clean) ++g_laterSawClean;
    return SND_E_FORMAT;
}

TEST_F(WaveCodecTest, LaterCodecsSeeOnlyRefusedFilesRewoundAndClean) {
    ASSERT_TRUE(run.ok());
    ASSERT_EQ(SND_OK, EngineRegisterCodec(laterCodec, nullptr));
    g_laterProbes = 0;
    g_laterSawClean = 0;
    EXPECT_EQ(SND_OK, probeFile(save(WaveBuilder().fmt(1, 1, 8000, 2, 16).data(pcm16({1})))));
    EXPECT_EQ(0, g_laterProbes.load());
    // The WAVE codec fills in the format, then fails on the truncated cue chunk.
    std::vector<uint8_t> bytes = WaveBuilder().fmt(1, 2, 8000, 4, 16).data(pcm16({1, 2})).bytes();
    bytes.insert(bytes.end(), {'c', 'u', 'e', ' ', 100, 0, 0, 0, 1, 0});
    saveBytes(temp.file("cut.wav"), bytes);
    EXPECT_EQ(SND_E_FORMAT, probeWithFormat(temp.file("cut.wav")).result);
    EXPECT_EQ(1, g_laterProbes.load());
    EXPECT_EQ(1, g_laterSawClean.load());
}

TEST(CodecHostTest, SettersOnlyWhileProbingGettersOnlyWhileRunning) {
    FormatInfo info{};
    CodecContext c{};
    c.format = &info;
    c.mode = CODEC_MODE_PROBE;
    EXPECT_EQ(1, codecIsProbeWithFormat(&c));
    EXPECT_EQ(1, codecSetChannels(&c, 2));
    EXPECT_EQ(1, codecSetBlockAlign(&c, 4));
    EXPECT_EQ(1, codecSetTotalFrames(&c, 99));
    uint32_t align = 0;
    EXPECT_EQ(0, codecGetBlockAlign(&c, &align));
    EXPECT_EQ(0, codecHasAcmStream(&c));

    c.mode = CODEC_MODE_RUNNING;
    EXPECT_EQ(0, codecIsProbeWithFormat(&c));
    EXPECT_EQ(1, codecSetChannels(&c, 6));
    EXPECT_EQ(1, codecSetLoopRegion(&c, 1, 2));
    EXPECT_EQ(2, info.channels);
    EXPECT_EQ(0u, info.loopEnd);
    EXPECT_EQ(1, codecGetBlockAlign(&c, &align));
    EXPECT_EQ(4u, align);
    uint64_t total = 0;
    EXPECT_EQ(1, codecGetTotalFrames(&c, &total));
    EXPECT_EQ(99u, total);

    CodecContext bare{};
    EXPECT_EQ(SND_E_STATE, codecGetStream(&bare, nullptr));
    EXPECT_EQ(SND_E_STATE, codecGetExtra(&bare, nullptr, nullptr));
    EXPECT_EQ(0, codecGetBlockAlign(&bare, &align));
}

TEST(CodecHostTest, ExtraBufferServices) {
    FormatInfo info{};
    CodecContext c{};
    c.format = &info;
    void* extra = nullptr;
    EXPECT_EQ(SND_E_STATE, codecAllocateExtra(&c, 0, &extra));
    EXPECT_EQ(SND_E_STATE, codecAllocateExtra(&c, 16, nullptr));
    ASSERT_EQ(1, codecAllocateExtra(&c, 16, &extra));
    EXPECT_NE(nullptr, extra);
    EXPECT_EQ(SND_E_STATE, codecAllocateExtra(&c, 16, &extra));
    EXPECT_EQ(1, codecSetExtra(&c, extra, 16));
    const char text[] = "state";
    EXPECT_EQ(1, codecSetExtra(&c, text, sizeof text));
    void* data = nullptr;
    uint64_t size = 0;
    EXPECT_EQ(1, codecGetExtra(&c, &data, &size));
    EXPECT_EQ(sizeof text, size);
    EXPECT_STREQ(text, static_cast<const char*>(data));
    EXPECT_EQ(SND_E_STATE, codecSetExtra(&c, nullptr, 4));
    formatInfoReset(&info);
    EXPECT_EQ(nullptr, info.extra);
}

TEST(CodecHostTest, NoAcmStreamWithoutConversionServices) {
    EngineSetAcmServices(nullptr);
    FormatInfo info{};
    CodecContext c{};
    c.format = &info;
    const uint8_t source[20] = {0x55, 0, 2, 0};
    const uint8_t destination[18] = {1, 0, 2, 0};
    EXPECT_EQ(1, codecSetAcmFormats(&c, source, 8, destination, sizeof destination));
    EXPECT_EQ(nullptr, info.sourceFormat); // too short to be a wave format
    EXPECT_EQ(1, codecSetAcmFormats(&c, source, sizeof source, destination, sizeof destination));
    ASSERT_NE(nullptr, info.sourceFormat);
    EXPECT_EQ(20u, info.sourceFormatSize);
    EXPECT_EQ(0, std::memcmp(info.destinationFormat, destination, sizeof destination));
    info.bytesRead = 77;
    EXPECT_EQ(1, codecOpenAcmStream(&c));
    EXPECT_EQ(nullptr, info.acmStream);
    EXPECT_EQ(0u, info.bytesRead);
    c.mode = CODEC_MODE_RUNNING;
    EXPECT_EQ(0, codecHasAcmStream(&c));
    uint8_t copy[20] = {};
    EXPECT_EQ(1, codecGetSourceFormat(&c, copy, sizeof copy));
    EXPECT_EQ(0x55, copy[0]);
    formatInfoReset(&info);
    EXPECT_EQ(nullptr, info.sourceFormat);
}

// A codec that makes its samples itself (a read hook) and cannot seek: a 16-bit mono ramp.
constexpr uint32_t GENERATED_FRAMES = 2000;
std::atomic<int> g_released{0};

size_t generate(CodecContext* c, void* buffer, size_t size) {
    void* extra = nullptr;
    codecGetExtra(c, &extra, nullptr);
    uint32_t* next = static_cast<uint32_t*>(extra);
    uint8_t* out = static_cast<uint8_t*>(buffer);
    size_t written = 0;
    for (; written + 2 <= size && *next < GENERATED_FRAMES; written += 2) {
        uint16_t v = static_cast<uint16_t>(++*next);
        out[written] = static_cast<uint8_t>(v);
        out[written + 1] = static_cast<uint8_t>(v >> 8);
    }
    return written;
}

void releaseGenerator(CodecContext*) {
    ++g_released;
}

int32_t generatorProbe(CodecContext* c, uint32_t) {
    char magic[4];
    if (codecReadBytes(c, magic, 4) != 4 || std::memcmp(magic, "GEN!", 4) != 0) return SND_E_FORMAT;
    void* extra = nullptr;
    if (codecIsProbeWithFormat(c) && codecAllocateExtra(c, sizeof(uint32_t), &extra) != 1)
        return SND_E_FORMAT;
    codecSetFormatTag(c, FORMAT_TAG_PCM);
    codecSetChannels(c, 1);
    codecSetBlockAlign(c, 2);
    codecSetRate(c, 48000);
    codecSetDataSize(c, 2 * GENERATED_FRAMES);
    codecSetReadHook(c, generate);
    codecSetReleaseHook(c, releaseGenerator);
    return SND_OK;
}

TEST(ReadHookCodecTest, WithoutSeekHookItPlaysOnceEvenInLoopMode) {
    EngineRun run(2, 32, 48000);
    ASSERT_TRUE(run.ok());
    ASSERT_EQ(SND_OK, EngineRegisterCodec(generatorProbe, nullptr));
    TempFolder temp;
    saveBytes(temp.file("g.gen"), {'G', 'E', 'N', '!'});
    EXPECT_EQ(SND_OK, EngineProbeFile(toPath16(temp.file("g.gen")).c_str()));
    g_released = 0;
    VoiceHandle h = run.openReady(temp.file("g.gen"), VOICE_OPEN_AUTOLOOP);
    ASSERT_EQ(VOICE_READY, VoiceGetState(h));
    ASSERT_EQ(SND_OK, VoiceSetLoop(h, 1));
    ASSERT_TRUE(run.waitRing(h, GENERATED_FRAMES));
    ASSERT_EQ(SND_OK, VoicePlay(h));
    std::vector<uint8_t> played;
    for (int k = 0; k < 10 && VoiceGetState(h) != VOICE_STOPPED; ++k)
        ASSERT_TRUE(run.device().playPeriod(&played));
    EXPECT_EQ(VOICE_STOPPED, VoiceGetState(h));
    ASSERT_TRUE(run.device().playPeriods(DEVICE_BUFFERS, &played));
    int nonSilent = 0;
    for (size_t at = 0; at + 8 <= played.size(); at += 8) {
        float left;
        std::memcpy(&left, &played[at], 4);
        if (left != 0.0f) ++nonSilent;
    }
    EXPECT_EQ(static_cast<int>(GENERATED_FRAMES), nonSilent);
    ASSERT_EQ(SND_OK, VoiceClose(h));
    ASSERT_TRUE(waitUntil([&] {
        run.device().playPeriod(nullptr);
        return g_released.load() == 1;
    }));
}

} // namespace
