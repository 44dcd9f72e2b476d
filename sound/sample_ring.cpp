#include "sound/sample_ring.h"

#include "sound/sound_engine.h"

void ringInit(SampleRing* ring, PlatformLock* lock, uint8_t channels, uint8_t channelCapacity,
              uint32_t rate, uint32_t maxRate, uint64_t frames, void* data) {
    ring->lock = lock;
    ring->sampleType = SAMPLE_TYPE_FLOAT;
    ring->channels = channels;
    ring->channelCapacity = channelCapacity;
    ring->bytesPerSample = 4;
    ring->rate = rate;
    ring->maxRate = maxRate;
    ring->rateFactor = 1.0f;
    ring->volume = 1.0f;
    ring->fill = 0;
    ring->writePos = 0;
    ring->readPos = 0;
    ring->planeCapacity = frames * 4;
    ring->totalCapacity = ring->planeCapacity * channelCapacity;
    ring->data = static_cast<uint8_t*>(data);
}

uint64_t ringFilledFrames(SampleRing* ring) {
    LockGuard hold(ring->lock);
    uint64_t fill = ring->fill;
    return fill / 4;
}

uint64_t ringFreeFrames(SampleRing* ring) {
    LockGuard hold(ring->lock);
    uint64_t free = ring->planeCapacity - ring->fill;
    return free / 4;
}

void ringCommitWrite(SampleRing* ring, uint64_t frames) {
    LockGuard hold(ring->lock);
    ring->writePos = (ring->writePos + frames * 4) % ring->planeCapacity;
    ring->fill += frames * 4;
}

uint64_t ringConsume(SampleRing* ring, uint64_t frames) {
    LockGuard hold(ring->lock);
    if (frames * 4 > ring->fill) frames = ring->fill / 4;
    ring->readPos = (ring->readPos + frames * 4) % ring->planeCapacity;
    ring->fill -= frames * 4;
    return frames;
}

uint64_t ringCommitDropping(SampleRing* ring, uint64_t frames, uint64_t drop) {
    lockEnter(ring->lock);
    ring->writePos = (ring->writePos + frames * 4) % ring->planeCapacity;
    ring->fill += frames * 4;
    if (drop * 4 > ring->fill) drop = ring->fill / 4;
    ring->readPos = (ring->readPos + drop * 4) % ring->planeCapacity;
    ring->fill -= drop * 4;
    lockLeave(ring->lock);
    return drop;
}

void ringClear(SampleRing* ring) {
    LockGuard hold(ring->lock);
    ring->fill = 0;
    ring->writePos = 0;
    ring->readPos = 0;
}
