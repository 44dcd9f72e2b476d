// The FLAC core. libFLAC hands over one whole frame per call; the frame waits as interleaved
// floats until reads have taken it. Seeking goes through libFLAC, which uses the stream's seek
// table when there is one and bisects the file otherwise.
#include "plugins/flac/flac_decoder.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include <FLAC/stream_decoder.h>

namespace {

// The largest block a FLAC frame can hold.
constexpr uint32_t MAX_BLOCK = 65535;
// process_single calls in a row that yield no audio before a read gives up (each one consumes
// input, so a stream without frames ends long before).
constexpr int MAX_EMPTY_STEPS = 4096;
constexpr uint32_t ID3_HEADER_BYTES = 10;

class FlacDecoder : public PcmDecoder {
  public:
    ~FlacDecoder() override {
        if (decoder_) FLAC__stream_decoder_delete(decoder_);
    }

    bool open(const ByteSource& source) {
        source_ = source;
        if (!startsWithFlac()) return false;
        pending_.reset(new (std::nothrow) float[MAX_BLOCK * DECODER_MAX_CHANNELS]);
        decoder_ = FLAC__stream_decoder_new();
        if (!pending_ || !decoder_) return false;
        FLAC__stream_decoder_set_md5_checking(decoder_, false);
        if (source_.seek(source_.stream, 0, 0) != 0) return false;
        if (FLAC__stream_decoder_init_stream(decoder_, readBytes, seekBytes, tellBytes, lengthBytes,
                                             atEnd, takeFrame, takeMetadata, noteError,
                                             this) != FLAC__STREAM_DECODER_INIT_STATUS_OK)
            return false;
        if (!FLAC__stream_decoder_process_until_end_of_metadata(decoder_) || channels_ == 0)
            return false;
        if (frames_ == 0 && !countFrames()) return false;
        // A stream whose last frame cannot be reached is refused now rather than cut short later.
        return moveTo(frames_ - 1) && pendingCount_ > 0 && moveTo(0) && pendingCount_ > 0;
    }

    size_t decode(float* out, size_t count) override {
        size_t done = 0;
        int empty = 0;
        while (done < count) {
            if (pendingAt_ == pendingCount_) {
                if (!decodeNext()) break;
                if (pendingCount_ == 0) {
                    if (++empty > MAX_EMPTY_STEPS) break;
                    continue;
                }
                empty = 0;
            }
            size_t take = pendingCount_ - pendingAt_;
            if (take > count - done) take = count - done;
            std::memcpy(out + done * channels_, pending_.get() + pendingAt_ * channels_,
                        take * channels_ * sizeof(float));
            pendingAt_ += take;
            done += take;
        }
        return done;
    }

    bool moveTo(uint64_t frame) override {
        pendingAt_ = pendingCount_ = 0;
        if (FLAC__stream_decoder_seek_absolute(decoder_, frame)) return true;
        // A failed seek leaves libFLAC in an error state that only a flush clears.
        FLAC__stream_decoder_flush(decoder_);
        pendingAt_ = pendingCount_ = 0;
        return false;
    }

  private:
    // "fLaC", possibly behind ID3v2 tags; libFLAC itself would search the whole file for a frame.
    bool startsWithFlac() {
        uint64_t at = 0;
        for (;;) {
            uint8_t head[ID3_HEADER_BYTES];
            if (source_.seek(source_.stream, static_cast<int64_t>(at), 0) != 0) return false;
            if (source_.read(source_.stream, head, 4) != 4) return false;
            if (std::memcmp(head, "fLaC", 4) == 0) return true;
            if (std::memcmp(head, "ID3", 3) != 0) return false;
            if (source_.read(source_.stream, head + 4, 6) != 6) return false;
            uint64_t body = 0;
            for (int k = 6; k < 10; ++k) {
                if (head[k] & 0x80) return false;
                body = body << 7 | head[k];
            }
            // A footer repeats the header at the end of the tag.
            bool footer = (head[5] & 0x10) != 0;
            at += ID3_HEADER_BYTES + body + (footer ? ID3_HEADER_BYTES : 0);
            if (at >= source_.size) return false;
        }
    }

    // A stream that does not tell its length is counted by decoding it once.
    bool countFrames() {
        uint64_t total = 0;
        int empty = 0;
        while (decodeNext()) {
            total += pendingCount_;
            empty = pendingCount_ ? 0 : empty + 1;
            if (empty > MAX_EMPTY_STEPS) break;
        }
        // Going back to the start reads the stream information, with its zero length, again.
        bool restarted = total != 0 && FLAC__stream_decoder_reset(decoder_) &&
                         FLAC__stream_decoder_process_until_end_of_metadata(decoder_);
        frames_ = total;
        return restarted;
    }

    // Decodes the next frame into the pending samples; false at the end of the stream or when
    // libFLAC has given up. A frame that arrived counts even if the stream ended right behind it.
    bool decodeNext() {
        pendingAt_ = pendingCount_ = 0;
        if (FLAC__stream_decoder_get_state(decoder_) == FLAC__STREAM_DECODER_END_OF_STREAM)
            return false;
        bool decoded = FLAC__stream_decoder_process_single(decoder_);
        return pendingCount_ > 0 || (decoded && FLAC__stream_decoder_get_state(decoder_) !=
                                                    FLAC__STREAM_DECODER_END_OF_STREAM);
    }

    void keepFrame(const FLAC__Frame* frame, const FLAC__int32* const buffer[]) {
        uint32_t count = frame->header.blocksize;
        uint32_t bits = frame->header.bits_per_sample;
        if (count > MAX_BLOCK || bits == 0 || bits > 32) return;
        uint32_t present = frame->header.channels < channels_ ? frame->header.channels : channels_;
        float scale = std::ldexp(1.0f, -static_cast<int>(bits - 1));
        float* out = pending_.get();
        for (uint32_t i = 0; i < count; ++i) {
            for (uint32_t c = 0; c < present; ++c)
                *out++ = clampSample(static_cast<float>(buffer[c][i]) * scale);
            for (uint32_t c = present; c < channels_; ++c)
                *out++ = 0.0f;
        }
        pendingAt_ = 0;
        pendingCount_ = count;
    }

    static FLAC__StreamDecoderReadStatus readBytes(const FLAC__StreamDecoder*, FLAC__byte buffer[],
                                                   size_t* bytes, void* self) {
        const ByteSource& s = static_cast<FlacDecoder*>(self)->source_;
        *bytes = s.read(s.stream, buffer, *bytes);
        return *bytes ? FLAC__STREAM_DECODER_READ_STATUS_CONTINUE
                      : FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM;
    }
    static FLAC__StreamDecoderSeekStatus seekBytes(const FLAC__StreamDecoder*, FLAC__uint64 offset,
                                                   void* self) {
        const ByteSource& s = static_cast<FlacDecoder*>(self)->source_;
        if (offset > s.size) return FLAC__STREAM_DECODER_SEEK_STATUS_ERROR;
        return s.seek(s.stream, static_cast<int64_t>(offset), 0) == 0
                   ? FLAC__STREAM_DECODER_SEEK_STATUS_OK
                   : FLAC__STREAM_DECODER_SEEK_STATUS_ERROR;
    }
    static FLAC__StreamDecoderTellStatus tellBytes(const FLAC__StreamDecoder*, FLAC__uint64* offset,
                                                   void* self) {
        const ByteSource& s = static_cast<FlacDecoder*>(self)->source_;
        int64_t at = s.tell(s.stream);
        if (at < 0) return FLAC__STREAM_DECODER_TELL_STATUS_ERROR;
        *offset = static_cast<FLAC__uint64>(at);
        return FLAC__STREAM_DECODER_TELL_STATUS_OK;
    }
    static FLAC__StreamDecoderLengthStatus lengthBytes(const FLAC__StreamDecoder*,
                                                       FLAC__uint64* length, void* self) {
        *length = static_cast<FlacDecoder*>(self)->source_.size;
        return FLAC__STREAM_DECODER_LENGTH_STATUS_OK;
    }
    static FLAC__bool atEnd(const FLAC__StreamDecoder*, void* self) {
        const ByteSource& s = static_cast<FlacDecoder*>(self)->source_;
        int64_t at = s.tell(s.stream);
        return at < 0 || static_cast<uint64_t>(at) >= s.size;
    }
    static FLAC__StreamDecoderWriteStatus takeFrame(const FLAC__StreamDecoder*,
                                                    const FLAC__Frame* frame,
                                                    const FLAC__int32* const buffer[], void* self) {
        static_cast<FlacDecoder*>(self)->keepFrame(frame, buffer);
        return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
    }
    static void takeMetadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* metadata,
                             void* self) {
        if (metadata->type != FLAC__METADATA_TYPE_STREAMINFO) return;
        FlacDecoder* d = static_cast<FlacDecoder*>(self);
        const FLAC__StreamMetadata_StreamInfo& info = metadata->data.stream_info;
        if (info.channels == 0 || info.channels > DECODER_MAX_CHANNELS || info.sample_rate == 0 ||
            info.sample_rate > DECODER_MAX_RATE)
            return;
        d->channels_ = info.channels;
        d->rate_ = info.sample_rate;
        d->frames_ = info.total_samples;
    }
    // libFLAC finds the next frame by itself after damage; what is lost is never played.
    static void noteError(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void*) {}

    ByteSource source_{};
    FLAC__StreamDecoder* decoder_ = nullptr;
    std::unique_ptr<float[]> pending_;
    size_t pendingAt_ = 0;
    size_t pendingCount_ = 0;
};

} // namespace

PcmDecoder* openFlacDecoder(const ByteSource& source) {
    FlacDecoder* decoder = new (std::nothrow) FlacDecoder;
    if (decoder && !decoder->open(source)) {
        delete decoder;
        return nullptr;
    }
    return decoder;
}
