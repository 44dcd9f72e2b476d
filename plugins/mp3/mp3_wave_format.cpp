#include "plugins/mp3/mp3_wave_format.h"

#include <cstring>

namespace {

constexpr uint16_t WAVE_FORMAT_PCM = 1;
constexpr uint16_t WAVE_FORMAT_MPEGLAYER3 = 0x55;
constexpr uint16_t LAYER3_ID_MPEG = 1;
constexpr uint32_t LAYER3_PADDING_ISO = 0;

void put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
    put16(p, v & 0xFFFF);
    put16(p + 2, v >> 16);
}
uint32_t get16(const uint8_t* p) {
    return static_cast<uint32_t>(p[0] | p[1] << 8);
}
uint32_t get32(const uint8_t* p) {
    return get16(p) | get16(p + 2) << 16;
}

} // namespace

void mp3Layer3Format(const Mp3Stream& s, uint8_t* f) {
    std::memset(f, 0, MP3_LAYER3_FORMAT_BYTES);
    put16(f, WAVE_FORMAT_MPEGLAYER3);
    put16(f + 2, s.channels);
    put32(f + 4, s.rate);
    put32(f + 8, s.averageBitrate / 8);
    put16(f + 12, 1);
    put16(f + 16, MP3_LAYER3_FORMAT_BYTES - MP3_WAVE_FORMAT_BYTES);
    put16(f + 18, LAYER3_ID_MPEG);
    put32(f + 20, LAYER3_PADDING_ISO);
    // The codec sizes its input by the block: the average frame, so that VBR input is asked for
    // at the pace it is decoded.
    put16(f + 24, s.averageFrameBytes < 0xFFFF ? s.averageFrameBytes : 0xFFFF);
    put16(f + 26, 1);
}

void mp3PcmFormat(const Mp3Stream& s, uint8_t* f) {
    std::memset(f, 0, MP3_WAVE_FORMAT_BYTES);
    put16(f, WAVE_FORMAT_PCM);
    put16(f + 2, s.channels);
    put32(f + 4, s.rate);
    put32(f + 8, s.rate * 2 * s.channels);
    put16(f + 12, 2 * s.channels);
    put16(f + 14, 16);
}

bool mp3IsPcmFor(const Mp3Stream& s, const uint8_t* f) {
    return get16(f) == WAVE_FORMAT_PCM && get16(f + 2) == s.channels && get32(f + 4) == s.rate &&
           get16(f + 12) == 2 * s.channels && get16(f + 14) == 16;
}
