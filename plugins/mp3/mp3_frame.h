// MPEG audio layer III frame headers: what one 32-bit header word says about its frame.
#pragma once

#include <cstdint>

constexpr uint32_t MP3_HEADER_BYTES = 4;

enum Mp3HeaderKind {
    MP3_HEADER_NONE,        // not a layer III header
    MP3_HEADER_FREE_FORMAT, // a layer III header without a bit rate: its size is not knowable
    MP3_HEADER_FRAME,
};

struct Mp3FrameHeader {
    uint32_t version; // 10 = MPEG-1, 20 = MPEG-2, 25 = MPEG-2.5
    uint32_t rate;
    uint32_t channels;
    uint32_t bitrate; // bits per second
    uint32_t frameBytes;
    uint32_t samples;       // per channel, in this frame
    uint32_t sideInfoBytes; // after the header (and its checksum, if any)
    bool crc;
};

// Reads the big-endian header word at `bytes`.
uint32_t mp3HeaderWord(const uint8_t* bytes);
Mp3HeaderKind mp3ParseHeader(uint32_t word, Mp3FrameHeader* out);
// Whether two headers belong to one stream: same version, rate and channel count.
bool mp3SameStream(const Mp3FrameHeader& a, const Mp3FrameHeader& b);
