// The wave format records that describe an MP3 stream to the system's layer III codec, written
// byte by byte so that they need no Windows header and no packing.
#pragma once

#include <cstdint>

#include "plugins/mp3/mp3_stream.h"

constexpr uint32_t MP3_WAVE_FORMAT_BYTES = 18;
// The layer III record: the wave format, then id, flags, block size, frames per block and codec
// delay.
constexpr uint32_t MP3_LAYER3_FORMAT_BYTES = MP3_WAVE_FORMAT_BYTES + 12;

void mp3Layer3Format(const Mp3Stream& s, uint8_t* format);
// 16-bit PCM of the stream's rate and channels: what the codec is asked to suggest from.
void mp3PcmFormat(const Mp3Stream& s, uint8_t* format);
// Whether `format` (as the codec suggested it) is that 16-bit PCM.
bool mp3IsPcmFor(const Mp3Stream& s, const uint8_t* format);
