// The Ogg Vorbis core over the single-file decoder. Its memory comes from one arena per file, so
// a hostile header cannot make it ask for more than that; the comment header, whose lengths the
// decoder trusts, is checked before it sees the file.
#include "plugins/vorbis/vorbis_decoder.h"

#include "plugins/vorbis/comment_header_check.h"

#include <cstdlib>
#include <memory>
#include <new>

#define STB_VORBIS_HEADER_ONLY
#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PUSHDATA_API
#include <stb_vorbis.h>

namespace {

// Enough for the decoder's tables and buffers of any stream of up to eight channels; the
// comments come on top, each copied with its own pointer.
constexpr size_t ARENA_BYTES = 4 << 20;

class VorbisDecoder : public PcmDecoder {
  public:
    ~VorbisDecoder() override {
        if (vorbis_) stb_vorbis_close(vorbis_);
    }

    bool open(const ByteSource& source) {
        if (source.size == 0 || source.size > VORBIS_MAX_FILE_BYTES) return false;
        size_t size = static_cast<size_t>(source.size);
        bytes_.reset(new (std::nothrow) unsigned char[size]);
        if (!bytes_) return false;
        if (source.seek(source.stream, 0, 0) != 0) return false;
        if (source.read(source.stream, bytes_.get(), size) != size) return false;
        size_t comments = 0;
        if (!commentHeaderIsSound(bytes_.get(), size, &comments)) return false;
        size_t arenaBytes = ARENA_BYTES + 4 * comments;
        arena_.reset(new (std::nothrow) char[arenaBytes]);
        if (!arena_) return false;
        stb_vorbis_alloc alloc{arena_.get(), static_cast<int>(arenaBytes)};
        int error = 0;
        vorbis_ = stb_vorbis_open_memory(bytes_.get(), static_cast<int>(size), &error, &alloc);
        if (!vorbis_) return false;
        stb_vorbis_info info = stb_vorbis_get_info(vorbis_);
        if (info.channels < 1 || static_cast<uint32_t>(info.channels) > DECODER_MAX_CHANNELS ||
            info.sample_rate == 0 || info.sample_rate > DECODER_MAX_RATE)
            return false;
        channels_ = static_cast<uint32_t>(info.channels);
        rate_ = info.sample_rate;
        frames_ = stb_vorbis_stream_length_in_samples(vorbis_);
        // Finding the length walked the pages; decoding starts from the first one again.
        return frames_ != 0 && stb_vorbis_seek_start(vorbis_);
    }

    size_t decode(float* out, size_t count) override {
        size_t done = 0;
        while (done < count) {
            size_t want = count - done;
            // The decoder counts samples in an int.
            if (want > (1u << 20)) want = 1u << 20;
            int got = stb_vorbis_get_samples_float_interleaved(vorbis_, static_cast<int>(channels_),
                                                               out + done * channels_,
                                                               static_cast<int>(want * channels_));
            if (got <= 0) break;
            done += static_cast<size_t>(got);
        }
        for (size_t k = 0; k < done * channels_; ++k)
            out[k] = clampSample(out[k]);
        return done;
    }

    bool moveTo(uint64_t frame) override {
        return stb_vorbis_seek(vorbis_, static_cast<unsigned>(frame)) == 1;
    }

  private:
    std::unique_ptr<unsigned char[]> bytes_;
    std::unique_ptr<char[]> arena_;
    stb_vorbis* vorbis_ = nullptr;
};

} // namespace

PcmDecoder* openVorbisDecoder(const ByteSource& source) {
    VorbisDecoder* decoder = new (std::nothrow) VorbisDecoder;
    if (decoder && !decoder->open(source)) {
        delete decoder;
        return nullptr;
    }
    return decoder;
}
