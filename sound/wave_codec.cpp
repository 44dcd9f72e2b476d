#include "sound/wave_codec.h"

#include <cstdlib>
#include <cstring>

#include "sound/codec.h"

namespace {

constexpr uint16_t WAVE_TAG_MPEG_LAYER3 = 0x55;
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
    bool playable; // "fmt " with channels and block align
    bool hasData;  // "data" with bytes
    bool data;
    bool cue;
    bool smpl;
};

// "fmt ": the first 14 bytes only. MPEG Layer-3 data is left to the plug-ins.
int32_t takeFormat(CodecContext* c, uint64_t* remaining, bool* playable) {
    if (*remaining < 14) return SND_OK;
    uint8_t fmt[14];
    if (!readExact(c, fmt, sizeof fmt)) return SND_E_FORMAT;
    *remaining -= 14;
    uint16_t tag = readU16(fmt);
    if (tag == WAVE_TAG_MPEG_LAYER3) return SND_E_FORMAT;
    *playable = readU16(fmt + 2) != 0 && readU16(fmt + 12) != 0 && readU32(fmt + 4) != 0;
    codecSetFormatTag(c, tag);
    codecSetChannels(c, readU16(fmt + 2));
    codecSetRate(c, readU32(fmt + 4));
    codecSetBlockAlign(c, readU16(fmt + 12));
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
        return takeFormat(c, remaining, &seen->playable);
    }
    if (std::memcmp(header, "data", 4) == 0 && !seen->data) {
        seen->data = true;
        seen->hasData = *remaining != 0 && bytesLeftInFile(c) != 0;
        if (*remaining != 0 && withFormat) {
            // A data size past the end of the file would promise frames that never come.
            uint64_t size = *remaining < bytesLeftInFile(c) ? *remaining : bytesLeftInFile(c);
            codecSetDataOffset(c, static_cast<uint64_t>(codecTellFile(c)));
            codecSetDataSize(c, size);
            codecSetSeekHook(c, waveCodecSeek);
        }
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
    // Without channels, block align, rate or sample data there is nothing to play, and the
    // length would divide by zero: such a file is not this codec's.
    if (!seen.playable || !seen.hasData) return SND_E_FORMAT;
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
