// What the MP3 plug-in's stream finder makes of small real files (the fuzzer's seeds, made by
// lame, id3v2 and by hand): where the audio lies, how many frames it has and how long it plays.
// The fuzzer only proves the answers safe; these prove them right.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "plugins/mp3/mp3_stream.h"

namespace {

std::vector<uint8_t> seed(const char* name) {
    std::ifstream in(std::string(VESK_SOURCE_DIR) + "/tests/fuzz/corpus/fuzz_mp3_stream/" + name,
                     std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

size_t readAt(void* context, uint64_t offset, void* buffer, size_t size) {
    const std::vector<uint8_t>* file = static_cast<const std::vector<uint8_t>*>(context);
    if (offset >= file->size()) return 0;
    size_t n = file->size() - offset < size ? file->size() - offset : size;
    std::memcpy(buffer, file->data() + offset, n);
    return n;
}

struct Expected {
    const char* file;
    Mp3Result result;
    uint32_t version, rate, channels;
    uint64_t dataOffset, dataSize;
    uint32_t frames;
    uint64_t lead, total;
};

const Expected CASES[] = {
    // MPEG-2.5, 8 kbit/s mono, no information frame: every decoded frame counts.
    {"mpeg25_mono_cbr.mp3", MP3_OK, 25, 8000, 1, 0, 360, 5, 0, 2880},
    // MPEG-2 VBR: the Xing frame is not audio; the encoder tag's delay and padding are cut.
    {"mpeg2_stereo_vbr.mp3", MP3_OK, 20, 16000, 2, 288, 1404, 5, 1105, 1600},
    // ID3v2 before and ID3v1 after the frames.
    {"tagged.mp3", MP3_OK, 20, 16000, 2, 1472, 576, 4, 0, 2304},
    // An ID3v2.4 tag with the unsynchronisation and footer flags.
    {"id3_footer_unsync.mp3", MP3_OK, 25, 8000, 1, 35, 576, 8, 0, 4608},
    // An APE tag and an ID3v1 tag after the frames.
    {"ape_id3v1.mp3", MP3_OK, 25, 8000, 1, 0, 576, 8, 0, 4608},
    // A VBRI frame first: not audio, and its frame count bounds the walk.
    {"vbri.mp3", MP3_OK, 25, 8000, 1, 72, 504, 7, 0, 4032},
    // The last frame cut short ends the stream before it.
    {"truncated.mp3", MP3_OK, 25, 8000, 1, 0, 504, 7, 0, 4032},
    // Junk between two frames is skipped over; the frames after it still count.
    {"junk_between.mp3", MP3_OK, 25, 8000, 1, 0, 583, 8, 0, 4608},
    {"free_format.mp3", MP3_FREE_FORMAT, 0, 0, 0, 0, 0, 0, 0, 0},
};

TEST(Mp3StreamTest, RealFilesAreFoundAndMeasured) {
    for (const Expected& e : CASES) {
        SCOPED_TRACE(e.file);
        std::vector<uint8_t> file = seed(e.file);
        ASSERT_FALSE(file.empty());
        Mp3Source source = {&file, readAt, file.size()};
        Mp3Stream s;
        ASSERT_EQ(e.result, mp3OpenStream(&source, true, &s));
        if (e.result != MP3_OK) continue;
        EXPECT_EQ(e.version, s.version);
        EXPECT_EQ(e.rate, s.rate);
        EXPECT_EQ(e.channels, s.channels);
        EXPECT_EQ(e.dataOffset, s.dataOffset);
        EXPECT_EQ(e.dataSize, s.dataSize);
        EXPECT_EQ(e.frames, s.frameCount);
        EXPECT_EQ(e.lead, s.leadFrames);
        EXPECT_EQ(e.total, s.totalFrames);
        mp3StreamFree(&s);
    }
}

TEST(Mp3StreamTest, TextAndTagOnlyFilesAreNotMp3) {
    std::vector<uint8_t> text(4000, 'a');
    Mp3Source source = {&text, readAt, text.size()};
    Mp3Stream s;
    EXPECT_EQ(MP3_NOT_MP3, mp3OpenStream(&source, false, &s));
    std::vector<uint8_t> tagOnly = seed("tagged.mp3");
    tagOnly.resize(1472);
    source = {&tagOnly, readAt, tagOnly.size()};
    EXPECT_EQ(MP3_NOT_MP3, mp3OpenStream(&source, true, &s));
}

} // namespace
