// SampleTap: hands the frames the mixer consumed from one voice to a callback on the tap's own
// thread, so analysis never runs on the output thread.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "sound/sound_engine.h"

struct SampleTap {
    PlatformLock lock;
    PlatformEvent event;
    PlatformThread thread;
    uint32_t run; // bit 0: keep running (read and written under the lock)
    TapCallback callback;
    void* user;
    int32_t channels;
    int32_t rate;
    int32_t bankFrames; // capacity of one bank, in frames
    int32_t frames;     // frames in the current bank
    int32_t currentBank;
    float* banks[2][8];
    float* delivery[8];
    TapBlock block;
};

// Creates a tap for `channels` channels at `rate` with banks of `bankFrames` frames and starts
// its thread; null when memory or the thread cannot be had.
SampleTap* tapCreate(TapCallback callback, void* user, int32_t channels, int32_t rate,
                     int32_t bankFrames);
// Stops the thread and frees the tap. Null is allowed.
void tapDestroy(SampleTap* tap);
// Mixer side: start a new block, append one frame (one sample per channel, `count` channels),
// then wake the tap thread. Call between tapBegin and tapEnd only.
void tapBegin(SampleTap* tap);
inline void tapAppend(SampleTap* tap, const float* frame, unsigned count) {
    if (tap->frames >= tap->bankFrames) return;
    float* const* bank = tap->banks[tap->currentBank];
    for (unsigned c = 0; c < count && c < static_cast<unsigned>(tap->channels); ++c)
        bank[c][tap->frames] = frame[c];
    ++tap->frames;
}
void tapEnd(SampleTap* tap);
