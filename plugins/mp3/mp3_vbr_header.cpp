#include "plugins/mp3/mp3_vbr_header.h"

#include <cstring>

namespace {

constexpr uint32_t XING_FRAMES = 1;
constexpr uint32_t XING_BYTES = 2;
constexpr uint32_t XING_TOC = 4;
constexpr uint32_t XING_QUALITY = 8;
// The VBRI record always sits 32 bytes after the header.
constexpr uint32_t VBRI_OFFSET = MP3_HEADER_BYTES + 32;
constexpr uint32_t VBRI_BYTES = 26;
// The encoder's extension: a 9-character version, then 12 bytes of settings, then the delay
// and padding as two 12-bit numbers.
constexpr uint32_t LAME_TAG_BYTES = 36;
constexpr uint32_t LAME_GAPS_AT = 21;

uint32_t readU32(const uint8_t* p) {
    return mp3HeaderWord(p);
}

// Encoders that write the extension name themselves in its first four characters.
bool knownEncoder(const uint8_t* name) {
    return std::memcmp(name, "LAME", 4) == 0 || std::memcmp(name, "Lavf", 4) == 0 ||
           std::memcmp(name, "Lavc", 4) == 0 || std::memcmp(name, "GOGO", 4) == 0;
}

bool readXing(const uint8_t* frame, uint32_t size, uint32_t at, Mp3VbrHeader* out) {
    if (size < at + 8) return false;
    const uint8_t* p = frame + at;
    if (std::memcmp(p, "Xing", 4) != 0 && std::memcmp(p, "Info", 4) != 0) return false;
    uint32_t flags = readU32(p + 4);
    uint32_t next = at + 8;
    if (flags & XING_FRAMES) {
        if (size < next + 4) return false;
        out->frames = readU32(frame + next);
        next += 4;
    }
    if (flags & XING_BYTES) next += 4;
    if (flags & XING_TOC) next += 100;
    if (flags & XING_QUALITY) next += 4;
    if (size >= next + LAME_TAG_BYTES && knownEncoder(frame + next)) {
        const uint8_t* gaps = frame + next + LAME_GAPS_AT;
        out->encoderGaps = true;
        out->delay = static_cast<uint32_t>(gaps[0]) << 4 | gaps[1] >> 4;
        out->padding = static_cast<uint32_t>(gaps[1] & 15) << 8 | gaps[2];
    }
    return true;
}

bool readVbri(const uint8_t* frame, uint32_t size, Mp3VbrHeader* out) {
    if (size < VBRI_OFFSET + VBRI_BYTES) return false;
    const uint8_t* p = frame + VBRI_OFFSET;
    if (std::memcmp(p, "VBRI", 4) != 0) return false;
    out->frames = readU32(p + 14);
    return true;
}

} // namespace

bool mp3ReadVbrHeader(const uint8_t* frame, uint32_t size, const Mp3FrameHeader& header,
                      Mp3VbrHeader* out) {
    std::memset(out, 0, sizeof *out);
    // Encoders differ in whether the record follows a checksum; it is looked for in both places.
    uint32_t xingAt = MP3_HEADER_BYTES + header.sideInfoBytes;
    if (readXing(frame, size, xingAt, out)) return true;
    std::memset(out, 0, sizeof *out);
    if (header.crc && readXing(frame, size, xingAt + 2, out)) return true;
    std::memset(out, 0, sizeof *out);
    if (readVbri(frame, size, out)) return true;
    std::memset(out, 0, sizeof *out);
    return false;
}
