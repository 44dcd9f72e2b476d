#include "sound/wave_codec.h"

#include <cstdlib>
#include <cstring>

#include "sound/codec.h"
#include "sound/decode_stage.h"

namespace {

constexpr uint32_t CUE_RECORD_BYTES = 24;
constexpr uint32_t SMPL_MIN_BYTES = 60;

uint32_t readU32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t readU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

bool readExact(CodecContext* c, void* buffer, size_t count) {
    return codecReadBytes(c, buffer, count) == count;
}

// Bytes between the read position and the end of the file: no size read from the file may
// exceed them.
uint64_t bytesLeftInFile(CodecContext* c) {
    int64_t at = codecTellFile(c);
    uint64_t size = codecFileSize(c);
    return at >= 0 && static_cast<uint64_t>(at) < size ? size - static_cast<uint64_t>(at) : 0;
}

struct ChunksSeen {
    bool fmt;
    bool playable; // "fmt " of a kind the engine decodes
    bool data;
    bool cue;
    bool smpl;
    uint16_t blockAlign;
    uint64_t dataOffset;
    uint64_t dataSize; // bounded by the file
};

constexpr uint64_t FMT_PLAIN_BYTES = 14;
constexpr uint64_t FMT_EXTENSIBLE_BYTES = 40;
constexpr uint16_t FMT_EXTENSION_BYTES = 22;
// What every subformat identifier carries behind its two-byte format tag.
constexpr uint8_t SUBFORMAT_TAIL[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// The format tag the samples are in: an extensible format's subformat, or 0 when it names
// none this codec knows or its extension is cut short.
uint16_t sampleTagOf(const uint8_t* fmt, uint64_t size) {
    uint16_t tag = readU16(fmt);
    if (tag != FORMAT_TAG_EXTENSIBLE) return tag;
    if (size < FMT_EXTENSIBLE_BYTES || readU16(fmt + 16) < FMT_EXTENSION_BYTES) return 0;
    if (std::memcmp(fmt + 26, SUBFORMAT_TAIL, sizeof SUBFORMAT_TAIL) != 0) return 0;
    return readU16(fmt + 24);
}

// "fmt ": the fixed fields, and for an extensible format its channel mask and subformat.
// Sample data the engine cannot decode (compressed, MPEG Layer-3, odd sample sizes) is refused
// here, so that a plug-in gets the file.
int32_t takeFormat(CodecContext* c, uint64_t* remaining, ChunksSeen* seen) {
    if (*remaining < FMT_PLAIN_BYTES) return SND_OK;
    uint8_t fmt[FMT_EXTENSIBLE_BYTES] = {};
    uint64_t size = *remaining < sizeof fmt ? *remaining : sizeof fmt;
    if (!readExact(c, fmt, size)) return SND_E_FORMAT;
    *remaining -= size;
    uint16_t tag = sampleTagOf(fmt, size);
    uint16_t channels = readU16(fmt + 2);
    uint32_t rate = readU32(fmt + 4);
    uint16_t blockAlign = readU16(fmt + 12);
    if (rate == 0 || !decodeSupports(tag, channels, blockAlign)) return SND_E_FORMAT;
    seen->playable = true;
    seen->blockAlign = blockAlign;
    codecSetFormatTag(c, tag);
    codecSetChannels(c, channels);
    codecSetRate(c, rate);
    codecSetBlockAlign(c, blockAlign);
    if (readU16(fmt) == FORMAT_TAG_EXTENSIBLE) codecSetChannelMask(c, readU32(fmt + 20));
    return SND_OK;
}

// "cue ": the smallest and largest cue positions become the loop region. The count is checked
// against the chunk's bytes before anything is allocated.
int32_t takeCue(CodecContext* c, uint64_t* remaining) {
    uint8_t countBytes[4];
    if (!readExact(c, countBytes, 4)) return SND_E_FORMAT;
    *remaining -= 4;
    uint64_t count = readU32(countBytes);
    uint64_t bytes = count * CUE_RECORD_BYTES;
    if (bytes > *remaining) return SND_OK;
    if (bytes > bytesLeftInFile(c)) return SND_E_FORMAT; // truncated chunk
    uint8_t* records = static_cast<uint8_t*>(std::malloc(bytes ? bytes : 1));
    if (!records) return SND_OK;
    if (!readExact(c, records, bytes)) {
        std::free(records);
        return SND_E_FORMAT;
    }
    *remaining -= bytes;
    uint32_t smallest = 0xFFFFFFFFu;
    uint32_t largest = 0;
    for (uint64_t k = 0; k < count; ++k) {
        uint32_t position = readU32(records + k * CUE_RECORD_BYTES + 4);
        if (position < smallest) smallest = position;
        if (position > largest) largest = position;
    }
    std::free(records);
    if (count > 0 && smallest != largest) codecSetLoopRegion(c, smallest, largest);
    return SND_OK;
}

// "smpl": the first sample loop, when the chunk lists any.
int32_t takeSampler(CodecContext* c, uint64_t* remaining) {
    if (*remaining > bytesLeftInFile(c)) return SND_E_FORMAT; // truncated chunk
    uint8_t* chunk = static_cast<uint8_t*>(std::malloc(*remaining));
    if (!chunk) return SND_OK;
    if (!readExact(c, chunk, *remaining)) {
        std::free(chunk);
        return SND_E_FORMAT;
    }
    *remaining = 0;
    uint32_t loops = readU32(chunk + 7 * 4);
    if (loops != 0) codecSetLoopRegion(c, readU32(chunk + 11 * 4), readU32(chunk + 12 * 4));
    std::free(chunk);
    return SND_OK;
}

int32_t takeChunk(CodecContext* c, const uint8_t* header, ChunksSeen* seen, uint64_t* remaining) {
    const bool withFormat = codecIsProbeWithFormat(c) != 0;
    if (std::memcmp(header, "fmt ", 4) == 0 && !seen->fmt) {
        seen->fmt = true;
        return takeFormat(c, remaining, seen);
    }
    if (std::memcmp(header, "data", 4) == 0 && !seen->data) {
        seen->data = true;
        // A data size past the end of the file would promise frames that never come.
        uint64_t left = bytesLeftInFile(c);
        seen->dataOffset = static_cast<uint64_t>(codecTellFile(c));
        seen->dataSize = *remaining < left ? *remaining : left;
        return SND_OK;
    }
    if (std::memcmp(header, "cue ", 4) == 0 && !seen->cue) {
        seen->cue = true;
        return withFormat && *remaining > 28 ? takeCue(c, remaining) : SND_OK;
    }
    if (std::memcmp(header, "smpl", 4) == 0 && !seen->smpl) {
        seen->smpl = true;
        return withFormat && *remaining >= SMPL_MIN_BYTES ? takeSampler(c, remaining) : SND_OK;
    }
    return SND_OK;
}

} // namespace

int32_t waveCodecProbe(CodecContext* c, uint32_t reserved) {
    (void)reserved;
    uint8_t riff[12];
    if (!readExact(c, riff, sizeof riff)) return SND_E_FORMAT;
    if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0)
        return SND_E_FORMAT;
    ChunksSeen seen{};
    uint8_t header[8];
    while (readExact(c, header, sizeof header)) {
        uint64_t size = readU32(header + 4);
        uint64_t remaining = size;
        int32_t result = takeChunk(c, header, &seen, &remaining);
        if (result != SND_OK) return result;
        // The pad byte of an odd-sized chunk, also when the chunk was read to its end.
        remaining += size & 1;
        if (remaining != 0 && codecSeekFile(c, static_cast<int64_t>(remaining), 1) < 0) break;
    }
    // Without a decodable format or whole frames of sample data there is nothing to play: such
    // a file is not this codec's. A trailing part frame would shift every frame after a rewind.
    if (!seen.playable) return SND_E_FORMAT;
    uint64_t wholeFrames = seen.dataSize - seen.dataSize % seen.blockAlign;
    if (wholeFrames == 0) return SND_E_FORMAT;
    codecSetDataOffset(c, seen.dataOffset);
    codecSetDataSize(c, wholeFrames);
    codecSetSeekHook(c, waveCodecSeek);
    return codecOpenAcmStream(c);
}

int32_t waveCodecSeek(CodecContext* c, uint64_t* frame, uint64_t* byte) {
    uint64_t target = 0;
    uint32_t blockAlign = 0;
    codecGetTarget(c, &target);
    codecGetBlockAlign(c, &blockAlign);
    *frame = target;
    *byte = target * blockAlign;
    return 1;
}
