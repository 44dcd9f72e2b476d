#include "plugins/mp3/mp3_frame.h"

namespace {

// Kilobits per second by bit-rate index 1..14; index 0 is free format, 15 is invalid.
const uint16_t BITRATE_V1[15] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
const uint16_t BITRATE_V2[15] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
const uint32_t RATE_V1[3] = {44100, 48000, 32000};

} // namespace

uint32_t mp3HeaderWord(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
           static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
}

Mp3HeaderKind mp3ParseHeader(uint32_t word, Mp3FrameHeader* out) {
    uint32_t sync = word >> 21;
    uint32_t versionBits = (word >> 19) & 3;
    uint32_t layerBits = (word >> 17) & 3;
    uint32_t bitrateIndex = (word >> 12) & 15;
    uint32_t rateIndex = (word >> 10) & 3;
    uint32_t padding = (word >> 9) & 1;
    uint32_t mode = (word >> 6) & 3;
    uint32_t emphasis = word & 3;
    // Layer bits 01 mean layer III; version 01 and emphasis 10 are reserved.
    if (sync != 0x7FF || versionBits == 1 || layerBits != 1 || rateIndex == 3 || emphasis == 2 ||
        bitrateIndex == 15)
        return MP3_HEADER_NONE;
    if (bitrateIndex == 0) return MP3_HEADER_FREE_FORMAT;

    bool mpeg1 = versionBits == 3;
    Mp3FrameHeader h;
    h.version = mpeg1 ? 10 : versionBits == 2 ? 20 : 25;
    h.rate = RATE_V1[rateIndex] >> (mpeg1 ? 0 : versionBits == 2 ? 1 : 2);
    h.channels = mode == 3 ? 1 : 2;
    h.bitrate = (mpeg1 ? BITRATE_V1 : BITRATE_V2)[bitrateIndex] * 1000u;
    h.samples = mpeg1 ? 1152 : 576;
    h.frameBytes = h.samples / 8 * h.bitrate / h.rate + padding;
    h.crc = ((word >> 16) & 1) == 0;
    if (mpeg1)
        h.sideInfoBytes = h.channels == 1 ? 17 : 32;
    else
        h.sideInfoBytes = h.channels == 1 ? 9 : 17;
    // The smallest real frame still holds its header, checksum and side information.
    if (h.frameBytes < MP3_HEADER_BYTES + (h.crc ? 2 : 0) + h.sideInfoBytes) return MP3_HEADER_NONE;
    *out = h;
    return MP3_HEADER_FRAME;
}

bool mp3SameStream(const Mp3FrameHeader& a, const Mp3FrameHeader& b) {
    return a.version == b.version && a.rate == b.rate && a.channels == b.channels;
}
