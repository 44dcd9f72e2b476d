// Mix and output stages of the output thread: add voice rings into the mix ring, then turn the
// mix ring into one device buffer. Neither allocates.
#pragma once

#include <cstdint>

#include "sound/sample_ring.h"
#include "sound/sample_tap.h"

// Clears the free part of the mix ring; returns its free frames F, fixed for this period.
uint64_t mixBeginPeriod(SampleRing* mix);
// Adds up to `budget` frames of `voice` (gain = its volume) into the F frames at the mix ring's
// write position; feeds `tap` if given; consumes and returns the voice frames read.
uint64_t mixVoiceRing(SampleRing* mix, uint64_t frames, SampleRing* voice, uint64_t budget,
                      SampleTap* tap);
// Converts the mix ring (gain = its volume) into `bytes` of device frames of `channels` x
// `bits` (16, 24 or 32 = float); frames that cannot be produced are silence. Consumes what it
// read from the mix ring.
void outputStage(SampleRing* mix, uint8_t* out, uint32_t bytes, unsigned channels, unsigned bits);

// One sample as the output stage stores it (v already clamped to [-1, 1]).
inline int32_t outputSample16(float v) {
    return static_cast<int32_t>(v * 32767.0f);
}
inline int32_t outputSample24(float v) {
    return static_cast<int32_t>(v * 8388607.0f);
}
