// SampleRing: planar 32-bit float frames in a ring, the buffer between the engine's stages. Fill
// and positions change only under the ring's lock, so one producer (writing the free part) and
// one consumer (reading the filled part) can work at the same time.
#pragma once

#include <cstdint>

#include "platform/platform.h"

struct SampleRing {
    PlatformLock* lock;
    uint8_t sampleType;
    uint8_t channels;
    uint8_t channelCapacity;
    uint8_t bytesPerSample;
    uint32_t rate;
    uint32_t maxRate;
    float rateFactor;
    float volume;
    uint64_t fill;
    uint64_t writePos;
    uint64_t readPos;
    uint64_t planeCapacity;
    uint64_t totalCapacity;
    uint8_t* data;
};

// Sets up an empty float ring of `frames` frames per plane over `data`.
void ringInit(SampleRing* ring, PlatformLock* lock, uint8_t channels, uint8_t channelCapacity,
              uint32_t rate, uint32_t maxRate, uint64_t frames, void* data);
// Plane `channel` of the ring.
inline float* ringPlane(const SampleRing* ring, unsigned channel) {
    return reinterpret_cast<float*>(ring->data + channel * ring->planeCapacity);
}
inline uint64_t ringCapacityFrames(const SampleRing* ring) {
    return ring->planeCapacity / 4;
}
// Frames held / free (reads under the lock).
uint64_t ringFilledFrames(SampleRing* ring);
uint64_t ringFreeFrames(SampleRing* ring);
// Publishes `frames` frames written at the write position.
void ringCommitWrite(SampleRing* ring, uint64_t frames);
// Drops `frames` frames (at most the fill) from the read side; returns how many were dropped.
uint64_t ringConsume(SampleRing* ring, uint64_t frames);
// Commits `frames` written frames and drops up to `drop` frames from the read side in one step,
// so that a reader never sees frames meant to be dropped. Returns the frames dropped.
uint64_t ringCommitDropping(SampleRing* ring, uint64_t frames, uint64_t drop);
// Empties the ring (positions 0).
void ringClear(SampleRing* ring);
