// Decode stage: turns a voice's file bytes (integer PCM or float, possibly after ACM
// conversion) into float frames in the voice's ring, with the channel matrix and the rate rule.
#pragma once

#include <cstdint>

struct SoundVoice;

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
