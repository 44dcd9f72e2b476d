// Decode stage: turns a voice's file bytes (integer PCM or float, possibly after ACM
// conversion) into float frames in the voice's ring, with the channel matrix and the rate rule.
#pragma once

#include <cstdint>

struct SoundVoice;

// Whether the stage decodes samples of format `tag` (integer PCM, float, A-law or µ-law) in
// frames of `blockAlign` bytes over `channels` channels (1 to 8).
bool decodeSupports(uint32_t tag, uint32_t channels, uint32_t blockAlign);

// Decodes into the free part of the voice's ring without publishing; returns the frames written
// at the ring's write position. Runs on the conversion thread.
uint64_t decodeVoice(SoundVoice* voice);

// One sample of each supported source width, as the decode stage reads them.
inline float decodeSample8(uint8_t b) {
    return static_cast<float>(b) / 128.0f - 1.0f;
}
inline float decodeSample16(int16_t v) {
    return static_cast<float>(v) / 32768.0f;
}
inline float decodeSample24(uint32_t u) {
    return 1.0f - static_cast<float>(u ^ 0x7FFFFFu) / 8388608.0f;
}
inline float decodeSample32(int32_t v) {
    return static_cast<float>(v) / 2147483648.0f;
}
// Float samples as they are, except that what is not a number becomes silence and infinities
// a finite peak: sums of them must stay numbers all the way to the device.
inline float decodeSampleFloat(double v) {
    constexpr double LIMIT = 1024.0;
    if (v >= -LIMIT && v <= LIMIT) return static_cast<float>(v);
    return v > 0 ? static_cast<float>(LIMIT) : v < 0 ? -static_cast<float>(LIMIT) : 0.0f;
}
// Telephone companding: the 16-bit value each A-law or µ-law byte stands for, over 32768.
inline float decodeSampleALaw(uint8_t b) {
    uint8_t a = b ^ 0x55;
    int exponent = (a >> 4) & 7;
    int mantissa = a & 0x0F;
    int magnitude =
        exponent == 0 ? (mantissa << 4) + 8 : ((mantissa << 4) + 0x108) << (exponent - 1);
    return static_cast<float>((a & 0x80) ? magnitude : -magnitude) / 32768.0f;
}
inline float decodeSampleMuLaw(uint8_t b) {
    uint8_t u = static_cast<uint8_t>(~b);
    int exponent = (u >> 4) & 7;
    int mantissa = u & 0x0F;
    int magnitude = (((mantissa << 3) + 0x84) << exponent) - 0x84;
    return static_cast<float>((u & 0x80) ? -magnitude : magnitude) / 32768.0f;
}
