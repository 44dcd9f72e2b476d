// The Ogg Vorbis and FLAC plug-ins as the engine meets them: loaded from the plugin folder,
// probed among the codecs, read and sought through the host's adapters. The sound files come
// from the system's encoders (make_decoder_sounds.sh) beside the samples they were made from.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sound/codec.h"
#include "sound/plugin_list.h"
#include "sound/plugin_loader_win32.h"
#include "sound_test_support.h"

namespace {

namespace fs = std::filesystem;

fs::path sound(const char* name) {
    return fs::path(DECODER_SOUNDS) / name;
}

// Signed little-endian samples of `bits` from a raw file, as the plug-ins' floats would be.
std::vector<float> rawSamples(const char* name, int bits) {
    std::ifstream in(sound(name), std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    int width = bits / 8;
    std::vector<float> samples;
    for (size_t at = 0; at + width <= bytes.size(); at += width) {
        int32_t v = 0;
        for (int k = 0; k < width; ++k)
            v |= static_cast<int32_t>(bytes[at + k]) << (8 * k);
        v = static_cast<int32_t>(static_cast<uint32_t>(v) << (32 - bits)) >> (32 - bits);
        samples.push_back(std::ldexp(static_cast<float>(v), 1 - bits));
    }
    return samples;
}

// One file opened the way a voice opens it, with the hooks the winning codec installed.
class CodecFile {
  public:
    explicit CodecFile(const fs::path& path) {
        if (!fileOpenRead(&stream_.file, toPath16(path).c_str())) return;
        stream_.fileSize = static_cast<uint64_t>(fileSizeOf(&stream_.file));
        CodecContext probe;
        opened_ = codecProbeAll(&probe, &stream_, &format_) == SND_OK;
    }
    ~CodecFile() {
        if (format_.releaseHook) {
            CodecContext c = running();
            format_.releaseHook(&c);
        }
        formatInfoReset(&format_);
        if (stream_.file.handle) fileClose(&stream_.file);
    }
    bool opened() const { return opened_ && format_.readHook && format_.seekHook; }
    const FormatInfo& format() const { return format_; }

    // Up to `frames` frames of floats, fewer at the end.
    std::vector<float> read(uint64_t frames) {
        std::vector<float> out(frames * format_.channels);
        CodecContext c = running();
        size_t got = format_.readHook(&c, out.data(), out.size() * sizeof(float));
        out.resize(got / sizeof(float));
        return out;
    }
    std::vector<float> readAll() { return read(format_.totalFrames + 1); }
    bool seek(uint64_t frame, uint64_t* reached) {
        CodecContext c = running();
        c.target = frame;
        uint64_t byte = 0;
        return format_.seekHook(&c, reached, &byte) == 1;
    }

  private:
    CodecContext running() {
        CodecContext c{};
        c.mode = CODEC_MODE_RUNNING;
        c.length = format_.totalFrames;
        c.codecContext = format_.codecContext;
        c.stream = &stream_;
        c.format = &format_;
        return c;
    }

    CodecStream stream_{};
    FormatInfo format_{};
    bool opened_ = false;
};

struct DecoderPluginTest : ::testing::Test {
    TempFolder program;
    std::unique_ptr<EngineRun> run;

    void SetUp() override {
        fs::path folder = program.path / "plugin";
        fs::create_directories(folder);
        std::wstring suffix = VESK_PLUGIN_SUFFIX;
        fs::copy_file(OGGVORBIS_PLUGIN, folder / (L"OggVorbis" + suffix + L".dll"));
        fs::copy_file(FLAC_PLUGIN, folder / (L"Flac" + suffix + L".dll"));
        loadPlugins(program.path.wstring().c_str());
        run = std::make_unique<EngineRun>();
        ASSERT_TRUE(run->ok());
        ASSERT_EQ(2u, registerPlugins());
    }
    void TearDown() override {
        run.reset();
        unloadPlugins();
    }
};

TEST_F(DecoderPluginTest, FlacPlaysEveryDepthAndChannelCountBitExact) {
    struct Case {
        const char* flac;
        const char* raw;
        int bits;
        uint32_t channels, rate;
    };
    const Case cases[] = {{"pcm8_mono.flac", "pcm8_mono.raw", 8, 1, 8000},
                          {"pcm16_stereo.flac", "pcm16_stereo.raw", 16, 2, 44100},
                          {"pcm24_six.flac", "pcm24_six.raw", 24, 6, 96000},
                          {"pcm16_eight.flac", "pcm16_eight.raw", 16, 8, 22050},
                          {"streamed.flac", "pcm16_stereo.raw", 16, 2, 44100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flac);
        CodecFile file(sound(c.flac));
        ASSERT_TRUE(file.opened());
        std::vector<float> expected = rawSamples(c.raw, c.bits);
        EXPECT_EQ(FORMAT_TAG_FLOAT, file.format().formatTag);
        EXPECT_EQ(c.channels, file.format().channels);
        EXPECT_EQ(c.rate, file.format().rate);
        EXPECT_EQ(expected.size() / c.channels, file.format().totalFrames);
        EXPECT_EQ(file.format().totalFrames * 4 * c.channels, file.format().dataSize);
        EXPECT_EQ(expected, file.readAll());
    }
}

// A seek from the popup's bar: the frames read next are those at the asked position, exactly
// (the lossy Vorbis decode differs from a run from the start by rounding only), with or without
// a seek table. Every file knows its length to the frame.
TEST_F(DecoderPluginTest, SeekLandsOnTheAskedFrame) {
    for (const char* name : {"vorbis_stereo.ogg", "pcm16_stereo.flac", "pcm16_no_seektable.flac"}) {
        SCOPED_TRACE(name);
        CodecFile file(sound(name));
        ASSERT_TRUE(file.opened());
        EXPECT_EQ(88200u, file.format().totalFrames);
        std::vector<float> whole = file.readAll();
        ASSERT_EQ(2 * 88200u, whole.size());
        for (uint64_t target : {57330ull, 1000ull, 88199ull, 0ull}) {
            uint64_t reached = 0;
            ASSERT_TRUE(file.seek(target, &reached));
            EXPECT_EQ(target, reached);
            std::vector<float> piece = file.read(2205);
            ASSERT_EQ(2 * std::min<uint64_t>(2205, 88200 - target), piece.size());
            for (size_t k = 0; k < piece.size(); ++k)
                ASSERT_NEAR(whole[2 * target + k], piece[k], 1e-5) << "sample " << k;
        }
    }
}

TEST_F(DecoderPluginTest, DamagedFilesAreRefusedOrEndWhereTheyBreak) {
    // An ID3v2 tag in front of a FLAC stream is passed over.
    EXPECT_EQ(1, EngineProbeFile(toPath16(sound("pcm8_mono.flac")).c_str()));
    // Half a FLAC file: its end cannot be reached, so it is refused before it plays.
    EXPECT_EQ(SND_E_FORMAT, EngineProbeFile(toPath16(sound("truncated.flac")).c_str()));
    // Vorbis data overwritten a quarter in: what comes before plays, and the sound ends at the
    // damage instead of ringing silence up to the stated length.
    CodecFile file(sound("damaged.ogg"));
    ASSERT_TRUE(file.opened());
    std::vector<float> decoded = file.readAll();
    const size_t stated = file.format().totalFrames * 2;
    EXPECT_GT(decoded.size(), stated / 20);
    EXPECT_LT(decoded.size(), stated / 2);
    for (float v : decoded)
        ASSERT_LE(std::fabs(v), 1.0f);
    EXPECT_TRUE(file.read(1).empty()) << "a broken stream gave more after its end";
}

} // namespace
