// The plug-in adapters against in-process stand-ins for a plug-in's exports: what the records
// carry, what comes back into the FormatInfo, and a voice that plays through a decoding plug-in.
#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstring>
#include <fstream>

#include "sound/codec.h"
#include "sound/format_plugin.h"
#include "sound/plugin_list.h"
#include "sound_test_support.h"

namespace {

// The stand-in's file format: "FAKE", a uint32 frame count, then 16-bit stereo PCM at 48 kHz.
constexpr uint64_t FAKE_HEADER = 8;
constexpr uint32_t STATE_MAGIC = 0x5EED;

struct FakeState {
    uint32_t magic;
    void* stream;
    PluginReadFn read;
};

// What the stand-in saw; engine threads write it, the test reads it after waiting.
struct Seen {
    std::atomic<int> checks{0};
    std::atomic<int> loads{0};
    std::atomic<int> deletes{0};
    std::atomic<int> deletesWithState{0};
    std::atomic<uintptr_t> wantFormat{2};
    std::atomic<int32_t> seekResult{0};
    // Only seeks to this frame are written down: the engine also rewinds to 0 at the data's end.
    std::atomic<uint64_t> watchedTarget{~0ull};
    std::atomic<int> watchedSeeks{0};
    PluginSeekRecord seek{};
    uint8_t seenSource[20]{};
};
Seen* g_seen = nullptr;

int32_t PLUGIN_CALL fakeCheck(PluginCheckRecord* r) {
    ++g_seen->checks;
    g_seen->wantFormat = r->wantFormat;
    uint8_t header[FAKE_HEADER];
    if (r->read(r->stream, header, sizeof header) != sizeof header ||
        std::memcmp(header, "FAKE", 4) != 0)
        return 1;
    if (!r->wantFormat) return 0;
    uint32_t frames;
    std::memcpy(&frames, header + 4, 4);
    r->formatTag = FORMAT_TAG_PCM;
    r->channels = 2;
    r->blockAlign = 4;
    r->rate = 48000;
    r->dataOffset = FAKE_HEADER;
    r->dataSize = frames * 4ull;
    FakeState* state = nullptr;
    if (r->allocateExtra(r->host, reinterpret_cast<void**>(&state), sizeof *state) != 1) return 1;
    *state = {STATE_MAGIC, r->stream, r->read};
    return 0;
}

FakeState* stateOf(void* host, PluginGetExtraFn getExtra) {
    void* extra = nullptr;
    size_t size = 0;
    if (getExtra(host, &extra, &size) != 1 || size != sizeof(FakeState)) return nullptr;
    return static_cast<FakeState*>(extra);
}

int32_t PLUGIN_CALL fakeLoad(PluginLoadRecord* r) {
    ++g_seen->loads;
    FakeState* state = stateOf(r->host, r->getExtra);
    if (!state || state->magic != STATE_MAGIC) return 0;
    return static_cast<int32_t>(state->read(state->stream, r->buffer, r->wanted));
}

int32_t PLUGIN_CALL fakeSeek(PluginSeekRecord* r) {
    if (r->target == g_seen->watchedTarget) {
        g_seen->seek = *r;
        if (r->acm) std::memcpy(g_seen->seenSource, r->sourceFormat, sizeof g_seen->seenSource);
        ++g_seen->watchedSeeks;
    }
    if (g_seen->seekResult != 0) return g_seen->seekResult;
    if (r->seek(r->stream, static_cast<int64_t>(r->dataOffset + r->target * 4), 0) != 0) return 1;
    r->frameReached = r->target;
    r->byteReached = r->target * 4;
    return 0;
}

void PLUGIN_CALL fakeDelete(PluginDeleteRecord* r) {
    ++g_seen->deletes;
    FakeState* state = stateOf(r->host, r->getExtra);
    if (r->version == PLUGIN_INTERFACE_VERSION && state && state->magic == STATE_MAGIC)
        ++g_seen->deletesWithState;
}

FormatPlugin decodingPlugin() {
    FormatPlugin p{};
    p.check = fakeCheck;
    p.seek = fakeSeek;
    p.load = fakeLoad;
    p.remove = fakeDelete;
    return p;
}

void saveBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> fakeFile(uint32_t frames) {
    std::vector<uint8_t> bytes = {'F', 'A', 'K', 'E', 0, 0, 0, 0};
    std::memcpy(&bytes[4], &frames, 4);
    std::vector<uint8_t> pcm = rampStereo16(frames);
    bytes.insert(bytes.end(), pcm.begin(), pcm.end());
    return bytes;
}

// An open file as a probe sees it, with the context the engine would pass.
struct ProbeSetup {
    CodecStream stream{};
    FormatInfo info{};
    CodecContext context{};
    explicit ProbeSetup(const std::filesystem::path& path, FormatPlugin* plugin) {
        fileOpenRead(&stream.file, toPath16(path).c_str());
        stream.fileSize = static_cast<uint64_t>(fileSizeOf(&stream.file));
        context.mode = CODEC_MODE_PROBE;
        context.codecContext = plugin;
        context.stream = &stream;
        context.format = &info;
    }
    ~ProbeSetup() {
        formatInfoReset(&info);
        fileClose(&stream.file);
    }
};

struct PluginAdapterTest : ::testing::Test {
    Seen seen;
    TempFolder temp;
    void SetUp() override { g_seen = &seen; }
    void TearDown() override { g_seen = nullptr; }
    std::filesystem::path save(const std::vector<uint8_t>& bytes, const char* name = "t.fake") {
        saveBytes(temp.file(name), bytes);
        return temp.file(name);
    }
};

// Reports out-of-range values in every field, to see what the adapter keeps.
int32_t PLUGIN_CALL checkWide(PluginCheckRecord* r) {
    r->formatTag = FORMAT_TAG_FLOAT;
    r->channels = 0x10002;
    r->blockAlign = 0x30008;
    r->rate = 44100;
    r->dataOffset = 0x123456789ull;
    r->dataSize = 0x987654321ull;
    r->loopStart = 10;
    r->loopEnd = 20;
    r->valueA = 7;
    r->totalFrames = 12345;
    r->valueB = 0xABCDEF012345ull;
    return 0;
}

TEST_F(PluginAdapterTest, ProbeCopiesTheCheckResultsAndInstallsOnlyTheHooksThePluginServes) {
    auto path = save(fakeFile(4));
    struct Case {
        bool seek;
        bool load;
    } const cases[] = {{false, false}, {true, false}, {false, true}, {true, true}};
    for (const Case& k : cases) {
        FormatPlugin plugin{};
        plugin.check = checkWide;
        plugin.seek = k.seek ? fakeSeek : nullptr;
        plugin.load = k.load ? fakeLoad : nullptr;
        plugin.remove = fakeDelete;
        ProbeSetup probe(path, &plugin);
        ASSERT_EQ(SND_OK, pluginProbe(&probe.context, 0));
        const FormatInfo& f = probe.info;
        EXPECT_EQ(FORMAT_TAG_FLOAT, f.formatTag);
        EXPECT_EQ(2, f.channels);
        EXPECT_EQ(8, f.blockAlign);
        EXPECT_EQ(44100u, f.rate);
        EXPECT_EQ(0x123456789ull, f.dataOffset);
        EXPECT_EQ(0x987654321ull, f.dataSize);
        EXPECT_EQ(10u, f.loopStart);
        EXPECT_EQ(20u, f.loopEnd);
        EXPECT_EQ(7u, f.pluginValueA);
        EXPECT_EQ(12345u, f.totalFrames);
        EXPECT_EQ(0xABCDEF012345ull, f.pluginValueB);
        EXPECT_EQ(nullptr, f.acmStream);
        EXPECT_EQ(k.seek, f.seekHook == &pluginSeekHook);
        // The delete export is only called for plug-ins that decode for themselves.
        EXPECT_EQ(k.load, f.readHook == &pluginReadHook);
        EXPECT_EQ(k.load, f.releaseHook == &pluginReleaseHook);
    }
}

// Exercises every host service from inside a check and writes down the answers.
struct ServiceAnswers {
    uint32_t version;
    void* host;
    void* stream;
    uintptr_t want;
    bool reservedZero;
    size_t read;
    int32_t seekStart, seekEnd, seekBadOrigin;
    int64_t tell;
    uint64_t size;
    int32_t firstAllocate, secondAllocate, setExtra, getExtra;
    size_t extraSize;
    int32_t suggest;
};
ServiceAnswers* g_answers = nullptr;

int32_t PLUGIN_CALL checkServices(PluginCheckRecord* r) {
    ServiceAnswers& a = *g_answers;
    a.version = r->version;
    a.host = r->host;
    a.stream = r->stream;
    a.want = r->wantFormat;
    a.reservedZero =
        !r->leadFrames && !r->reserved[0] && !r->reserved[2] && r->reserved2 == 0 && r->valueA == 0;
    uint8_t bytes[6];
    a.read = r->read(r->stream, bytes, sizeof bytes);
    a.seekStart = r->seek(r->stream, 2, 0);
    a.seekEnd = r->seek(r->stream, -1, 2);
    a.seekBadOrigin = r->seek(r->stream, 0, 3);
    a.tell = r->tell(r->stream);
    a.size = r->size(r->stream);
    void* extra = nullptr;
    a.firstAllocate = r->allocateExtra(r->host, &extra, 16);
    a.secondAllocate = r->allocateExtra(r->host, &extra, 16);
    const char replacement[24] = "state";
    a.setExtra = r->setExtra(r->host, replacement, sizeof replacement);
    a.getExtra = r->getExtra(r->host, &extra, &a.extraSize);
    uint8_t source[18] = {0x55, 0, 2, 0};
    uint8_t destination[16] = {1, 0, 2, 0};
    a.suggest = r->suggest(source, destination, sizeof destination);
    return 0;
}

TEST_F(PluginAdapterTest, CheckRecordCarriesTheHostAndItsServices) {
    auto path = save({'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j'});
    ServiceAnswers a{};
    g_answers = &a;
    FormatPlugin plugin{};
    plugin.check = checkServices;
    ProbeSetup probe(path, &plugin);
    ASSERT_EQ(SND_OK, pluginProbe(&probe.context, 0));
    g_answers = nullptr;

    EXPECT_EQ(PLUGIN_INTERFACE_VERSION, a.version);
    EXPECT_EQ(&probe.context, a.host);
    EXPECT_EQ(&probe.stream, a.stream);
    EXPECT_EQ(1u, a.want);
    EXPECT_TRUE(a.reservedZero);
    EXPECT_EQ(6u, a.read);
    EXPECT_EQ(0, a.seekStart);
    EXPECT_EQ(0, a.seekEnd);
    EXPECT_EQ(-1, a.seekBadOrigin);
    EXPECT_EQ(9, a.tell);
    EXPECT_EQ(10u, a.size);
    EXPECT_EQ(1, a.firstAllocate);
    EXPECT_EQ(0, a.secondAllocate);
    EXPECT_EQ(1, a.setExtra);
    EXPECT_EQ(1, a.getExtra);
    EXPECT_EQ(24u, a.extraSize);
    EXPECT_STREQ("state", static_cast<const char*>(probe.info.extra));
    EXPECT_EQ(0, a.suggest); // no conversion services installed
}

int32_t suggestPcm(const void*, void* destination, uint32_t size) {
    std::memset(destination, 0, size);
    static_cast<uint8_t*>(destination)[0] = 1;
    return 1;
}

// A conversion that opens only when `g_acmOpens` says so; `g_acmLive` counts open ones.
bool g_acmOpens = false;
int g_acmLive = 0;
void* openAcm(const void*, const void*) {
    if (!g_acmOpens) return nullptr;
    ++g_acmLive;
    return &g_acmLive;
}
void closeAcm(void* stream) {
    if (stream == &g_acmLive) --g_acmLive;
}

// Describes compressed data the way a plug-in for an ACM format does.
int32_t g_suggested = 0;
int32_t g_formatsSet = 0;
int32_t PLUGIN_CALL checkCompressed(PluginCheckRecord* r) {
    uint8_t source[20] = {0x55, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x00, 0x40};
    uint8_t destination[18] = {};
    g_suggested = r->suggest(source, destination, sizeof destination);
    g_formatsSet = r->setFormats(r->host, source, sizeof source, destination, sizeof destination);
    r->formatTag = destination[0];
    r->channels = 2;
    r->blockAlign = 4;
    r->rate = 44100;
    r->dataSize = 1000;
    return 0;
}

TEST_F(PluginAdapterTest, HandedOverFormatsConvertThroughAcmOrTheFileIsRefused) {
    auto path = save(fakeFile(1));
    AcmServices acm{};
    acm.open = openAcm;
    acm.close = closeAcm;
    acm.suggest = suggestPcm;
    EngineSetAcmServices(&acm);
    FormatPlugin plugin{};
    plugin.check = checkCompressed;
    for (bool opens : {true, false}) {
        g_acmOpens = opens;
        ProbeSetup probe(path, &plugin);
        EXPECT_EQ(opens ? SND_OK : SND_E_FORMAT, pluginProbe(&probe.context, 0));
        EXPECT_EQ(1, g_suggested);
        EXPECT_EQ(1, g_formatsSet);
        EXPECT_EQ(FORMAT_TAG_PCM, probe.info.formatTag);
        EXPECT_EQ(20u, probe.info.sourceFormatSize);
        EXPECT_EQ(0x55, static_cast<const uint8_t*>(probe.info.sourceFormat)[0]);
        EXPECT_EQ(opens, probe.info.acmStream != nullptr);
    }
    EXPECT_EQ(0, g_acmLive); // the opened conversion was closed with the FormatInfo
    EngineSetAcmServices(nullptr);
}

// A decoding plug-in that also hands over formats: its state must be let go of when the
// conversion cannot be opened and the file is refused after all.
int32_t PLUGIN_CALL checkCompressedDecoding(PluginCheckRecord* r) {
    checkCompressed(r);
    FakeState* state = nullptr;
    if (r->allocateExtra(r->host, reinterpret_cast<void**>(&state), sizeof *state) != 1) return 1;
    *state = {STATE_MAGIC, r->stream, r->read};
    return 0;
}

TEST_F(PluginAdapterTest, RefusalAfterTheCheckTookTheFileLetsThePluginDeleteItsState) {
    auto path = save(fakeFile(1));
    AcmServices acm{};
    acm.open = openAcm;
    acm.close = closeAcm;
    acm.suggest = suggestPcm;
    EngineSetAcmServices(&acm);
    FormatPlugin plugin = decodingPlugin();
    plugin.check = checkCompressedDecoding;
    for (bool opens : {true, false}) {
        g_acmOpens = opens;
        seen.deletes = 0;
        seen.deletesWithState = 0;
        ProbeSetup probe(path, &plugin);
        EXPECT_EQ(opens ? SND_OK : SND_E_FORMAT, pluginProbe(&probe.context, 0));
        EXPECT_EQ(opens ? 0 : 1, seen.deletes.load()) << opens;
        EXPECT_EQ(opens ? 0 : 1, seen.deletesWithState.load()) << opens;
    }
    EngineSetAcmServices(nullptr);
}

// Format records whose sizes a plug-in got wrong: each must be refused without a copy, however
// the sizes would add up, and the file with it.
struct BadRecord {
    const char* what;
    size_t sourceSize;
    uint16_t sourceExtraBytes;
};
const BadRecord* g_badRecord = nullptr;
int32_t PLUGIN_CALL checkBadRecord(PluginCheckRecord* r) {
    static uint8_t source[40] = {0x55, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x00, 0x40};
    source[16] = static_cast<uint8_t>(g_badRecord->sourceExtraBytes);
    source[17] = static_cast<uint8_t>(g_badRecord->sourceExtraBytes >> 8);
    uint8_t destination[18] = {1, 0, 2, 0};
    r->setFormats(r->host, source, g_badRecord->sourceSize, destination, sizeof destination);
    r->formatTag = FORMAT_TAG_PCM;
    return 0;
}

TEST_F(PluginAdapterTest, FormatRecordsOfImpossibleSizesRefuseTheFile) {
    const BadRecord cases[] = {
        {"sizes that wrap their sum", SIZE_MAX - 8, 0},
        {"beyond 64 KiB", 64 * 1024 + 1, 0},
        {"extra bytes past the record", 20, 3},
        {"no room for the extra-bytes count", 16, 0},
    };
    auto path = save(fakeFile(1));
    AcmServices acm{};
    acm.open = openAcm;
    acm.close = closeAcm;
    EngineSetAcmServices(&acm);
    g_acmOpens = true;
    FormatPlugin plugin{};
    plugin.check = checkBadRecord;
    for (const BadRecord& bad : cases) {
        g_badRecord = &bad;
        ProbeSetup probe(path, &plugin);
        EXPECT_EQ(SND_E_FORMAT, pluginProbe(&probe.context, 0)) << bad.what;
        EXPECT_EQ(nullptr, probe.info.sourceFormat) << bad.what;
        EXPECT_EQ(nullptr, probe.info.acmStream) << bad.what;
    }
    EngineSetAcmServices(nullptr);
}

TEST_F(PluginAdapterTest, RefusalsComeBackAsFormatErrors) {
    auto path = save({'N', 'O', 'P', 'E', 0, 0, 0, 0});
    FormatPlugin rejecting = decodingPlugin();
    ProbeSetup rejected(path, &rejecting);
    EXPECT_EQ(SND_E_FORMAT, pluginProbe(&rejected.context, 0));

    FormatPlugin withoutCheck = decodingPlugin();
    withoutCheck.check = nullptr;
    ProbeSetup unchecked(save(fakeFile(4), "ok.fake"), &withoutCheck);
    EXPECT_EQ(SND_E_FORMAT, pluginProbe(&unchecked.context, 0));
}

TEST_F(PluginAdapterTest, EngineProbeOnlyAsksWhetherTheFileIsTaken) {
    EngineRun run;
    ASSERT_TRUE(run.ok());
    FormatPlugin plugin = decodingPlugin();
    ASSERT_EQ(SND_OK, EngineRegisterCodec(pluginProbe, &plugin));

    EXPECT_EQ(SND_OK, EngineProbeFile(toPath16(save(fakeFile(4))).c_str()));
    EXPECT_EQ(0u, seen.wantFormat.load());
    EXPECT_EQ(SND_E_FORMAT, EngineProbeFile(toPath16(save({'x', 'y'}, "x.bin")).c_str()));

    // A file the WAVE codec takes never reaches the plug-in.
    int before = seen.checks;
    WaveBuilder().fmt(1, 2, 48000, 4, 16).data(rampStereo16(4)).save(temp.file("a.wav"));
    EXPECT_EQ(SND_OK, EngineProbeFile(toPath16(temp.file("a.wav")).c_str()));
    EXPECT_EQ(before, seen.checks);
}

TEST_F(PluginAdapterTest, VoicePlaysWhatThePluginDeliversAndReleasesItsState) {
    EngineRun run(2, 32, 48000);
    ASSERT_TRUE(run.ok());
    FormatPlugin plugin = decodingPlugin();
    ASSERT_EQ(SND_OK, EngineRegisterCodec(pluginProbe, &plugin));
    VoiceHandle h = run.openReady(save(fakeFile(3000)));
    ASSERT_EQ(VOICE_READY, VoiceGetState(h));
    uint64_t length = 0;
    EXPECT_EQ(SND_OK, VoiceGetPosition(h, nullptr, &length));
    EXPECT_EQ(3000u, length);
    ASSERT_TRUE(run.waitRing(h, 3000));
    ASSERT_EQ(SND_OK, VoicePlay(h));
    std::vector<uint8_t> played;
    ASSERT_TRUE(playUntilDone(
        run, [&] { return VoiceGetState(h) == VOICE_STOPPED; }, &played));
    ASSERT_TRUE(run.device().playPeriods(DEVICE_BUFFERS, &played));
    std::vector<int> frames = playedRampFrames(played);
    ASSERT_EQ(3000u, frames.size());
    for (int i = 0; i < 3000; ++i)
        ASSERT_EQ(i, frames[i]);
    EXPECT_GT(seen.loads, 0);

    EXPECT_EQ(SND_OK, VoiceClose(h));
    ASSERT_TRUE(playUntilDone(run, [&] { return run.allocatedVoices() == 0; }));
    EXPECT_EQ(1, seen.deletes.load());
    EXPECT_EQ(1, seen.deletesWithState.load());
}

TEST_F(PluginAdapterTest, SeekGoesThroughThePluginAndAFailedOneKeepsThePosition) {
    EngineRun run(2, 32, 48000);
    ASSERT_TRUE(run.ok());
    FormatPlugin plugin = decodingPlugin();
    ASSERT_EQ(SND_OK, EngineRegisterCodec(pluginProbe, &plugin));
    VoiceHandle h = run.openReady(save(fakeFile(3000)));
    ASSERT_EQ(VOICE_READY, VoiceGetState(h));

    seen.watchedTarget = 1200;
    ASSERT_EQ(SND_OK, VoiceSeek(h, 1200));
    ASSERT_TRUE(playUntilDone(run, [&] { return VoiceGetState(h) == VOICE_PAUSED; }));
    ASSERT_EQ(1, seen.watchedSeeks.load());
    uint64_t position = 0;
    VoiceGetPosition(h, &position, nullptr);
    EXPECT_EQ(1200u, position);
    ASSERT_TRUE(run.waitRing(h, run.period()));
    const PluginSeekRecord& r = seen.seek;
    EXPECT_EQ(PLUGIN_INTERFACE_VERSION, r.version);
    EXPECT_EQ(3000u, r.length);
    EXPECT_EQ(1200u, r.target);
    EXPECT_EQ(FAKE_HEADER, r.dataOffset);
    EXPECT_EQ(12000u, r.dataSize);
    EXPECT_EQ(4u, r.blockAlign);
    EXPECT_EQ(0u, r.acm);
    EXPECT_EQ(nullptr, r.sourceFormat);
    ASSERT_EQ(SND_OK, VoicePlay(h));
    std::vector<uint8_t> played;
    ASSERT_TRUE(run.device().playPeriods(DEVICE_BUFFERS + 1, &played));
    std::vector<int> frames = playedRampFrames(played);
    ASSERT_FALSE(frames.empty());
    for (size_t k = 0; k < frames.size(); ++k)
        ASSERT_EQ(1200 + static_cast<int>(k), frames[k]);

    seen.seekResult = -1;
    seen.watchedTarget = 100;
    uint64_t before = 0;
    VoiceGetPosition(h, &before, nullptr);
    ASSERT_GT(before, 1200u);
    ASSERT_EQ(SND_OK, VoiceSeek(h, 100));
    ASSERT_TRUE(playUntilDone(run, [&] { return seen.watchedSeeks == 2; }));
    uint64_t after = 0;
    VoiceGetPosition(h, &after, nullptr);
    EXPECT_GE(after, before); // still playing on from where it was, not from frame 100
    EXPECT_EQ(SND_OK, VoiceClose(h));
}

TEST_F(PluginAdapterTest, SeekHookHandsAcmVoicesShortLivedCopiesOfTheirFormats) {
    uint8_t formats[20 + 16] = {0x55, 0, 1, 0, 0x44, 0xAC};
    formats[20] = 1;
    FormatInfo info{};
    info.acmStream = &info; // any non-null stream marks an ACM voice
    info.sourceFormat = formats;
    info.sourceFormatSize = 20;
    info.destinationFormat = formats + 20;
    info.destinationFormatSize = 16;
    info.pluginValueA = 3;
    info.totalFrames = 99999;
    info.pluginValueB = 42;
    info.blockAlign = 4;
    info.dataOffset = 100;
    info.dataSize = 4000;
    FormatPlugin plugin = decodingPlugin();
    CodecContext c{};
    c.mode = CODEC_MODE_RUNNING;
    c.target = 77;
    c.length = 99999;
    c.codecContext = &plugin;
    c.format = &info;
    seen.seekResult = 5; // the stand-in reports failure after looking at the record
    seen.watchedTarget = 77;

    uint64_t frame = 1, byte = 2;
    EXPECT_EQ(0, pluginSeekHook(&c, &frame, &byte));
    EXPECT_EQ(1u, frame);
    EXPECT_EQ(2u, byte);
    const PluginSeekRecord& r = seen.seek;
    EXPECT_EQ(1u, r.acm);
    EXPECT_NE(static_cast<void*>(formats), r.sourceFormat);
    EXPECT_EQ(0, std::memcmp(formats, seen.seenSource, 20));
    EXPECT_EQ(20u, r.sourceFormatSize);
    EXPECT_EQ(16u, r.destinationFormatSize);
    EXPECT_EQ(3u, r.valueA);
    EXPECT_EQ(99999u, r.totalFrames);
    EXPECT_EQ(42u, r.valueB);
    EXPECT_EQ(77u, r.target);
    EXPECT_EQ(0u, r.flag);

    plugin.seek = nullptr;
    EXPECT_EQ(0, pluginSeekHook(&c, &frame, &byte));
}

std::atomic<int32_t> g_loadAnswer{0};
std::atomic<size_t> g_loadWanted{0};
int32_t PLUGIN_CALL loadAnswering(PluginLoadRecord* r) {
    g_loadWanted = r->wanted;
    return g_loadAnswer;
}

TEST_F(PluginAdapterTest, LoadAnswersAreBoundToWhatWasAsked) {
    FormatPlugin plugin{};
    plugin.load = loadAnswering;
    FormatInfo info{};
    CodecContext c{};
    c.mode = CODEC_MODE_RUNNING;
    c.codecContext = &plugin;
    c.format = &info;
    uint8_t buffer[64];
    struct Case {
        int32_t answer;
        size_t delivered;
    } const cases[] = {{-5, 0}, {INT32_MIN, 0}, {0, 0}, {10, 10}, {64, 64}, {65, 64}, {9999, 64}};
    for (const Case& k : cases) {
        g_loadAnswer = k.answer;
        EXPECT_EQ(k.delivered, pluginReadHook(&c, buffer, sizeof buffer)) << k.answer;
    }
    // Never asked for more than the answer can count.
    if (sizeof(size_t) > 4) {
        g_loadAnswer = 0;
        pluginReadHook(&c, buffer, static_cast<size_t>(INT32_MAX) + 10);
        EXPECT_EQ(static_cast<size_t>(INT32_MAX), g_loadWanted.load());
    }
    plugin.load = nullptr;
    g_loadAnswer = 10;
    EXPECT_EQ(0u, pluginReadHook(&c, buffer, sizeof buffer));
}

TEST_F(PluginAdapterTest, ReleaseCallsDeleteOnlyWhenExported) {
    FormatPlugin plugin = decodingPlugin();
    FormatInfo info{};
    CodecContext c{};
    c.mode = CODEC_MODE_RUNNING;
    c.codecContext = &plugin;
    c.format = &info;
    pluginReleaseHook(&c);
    EXPECT_EQ(1, seen.deletes.load());
    EXPECT_EQ(0, seen.deletesWithState.load()); // no state was allocated
    plugin.remove = nullptr;
    pluginReleaseHook(&c);
    EXPECT_EQ(1, seen.deletes.load());
}

TEST_F(PluginAdapterTest, SevenPluginsFillTheFiveFreeCodecSlotsInListOrder) {
    EngineRun run;
    ASSERT_TRUE(run.ok());
    PluginList list{};
    for (int k = 0; k < 7; ++k) {
        FormatPlugin* p = pluginListGrow(&list);
        ASSERT_NE(nullptr, p);
        p->check = fakeCheck;
    }
    EXPECT_EQ(5u, pluginListRegister(&list));
    SoundEngine* engine = run.engine();
    ASSERT_EQ(6u, engine->codecCount);
    for (uint32_t k = 1; k < 6; ++k) {
        EXPECT_EQ(CODEC_ID_BASE + k, engine->codecs[k].id);
        EXPECT_EQ(&list.items[k - 1], engine->codecs[k].context);
        EXPECT_EQ(&pluginProbe, engine->codecs[k].probe);
    }
    pluginListClear(&list);
    EXPECT_EQ(0u, list.count);
}

} // namespace
