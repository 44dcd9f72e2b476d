#include "sound/sample_tap.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

// The tap thread: deliver the latest block each time the mixer signals.
void tapThread(void* arg) {
    SampleTap* tap = static_cast<SampleTap*>(arg);
    for (;;) {
        eventWait(&tap->event, PLATFORM_WAIT_FOREVER);
        TapBlock block;
        {
            LockGuard hold(&tap->lock);
            if (!(tap->run & 1)) return;
            if (!tap->callback) continue;
            float* const* bank = tap->banks[tap->currentBank];
            for (int c = 0; c < tap->channels; ++c)
                std::memcpy(tap->delivery[c], bank[c], static_cast<size_t>(tap->frames) * 4);
            tap->block.frames = tap->frames;
            tap->currentBank ^= 1;
            tap->frames = 0;
            block = tap->block;
        }
        tap->callback(tap->user, &block);
    }
}

} // namespace

SampleTap* tapCreate(TapCallback callback, void* user, int32_t channels, int32_t rate,
                     int32_t bankFrames) {
    if (channels < 1) channels = 1;
    if (channels > 8) channels = 8;
    if (bankFrames < 1) return nullptr;
    size_t planeBytes = static_cast<size_t>(bankFrames) * 4;
    size_t header = (sizeof(SampleTap) + 15) & ~static_cast<size_t>(15);
    uint8_t* block = static_cast<uint8_t*>(
        std::calloc(1, header + 3 * static_cast<size_t>(channels) * planeBytes));
    if (!block) return nullptr;
    SampleTap* tap = reinterpret_cast<SampleTap*>(block);
    float* samples = reinterpret_cast<float*>(block + header);
    for (int c = 0; c < channels; ++c) {
        tap->banks[0][c] = samples + static_cast<size_t>(c) * bankFrames;
        tap->banks[1][c] = samples + static_cast<size_t>(channels + c) * bankFrames;
        tap->delivery[c] = samples + static_cast<size_t>(2 * channels + c) * bankFrames;
    }
    tap->callback = callback;
    tap->user = user;
    tap->channels = channels;
    tap->rate = rate;
    tap->bankFrames = bankFrames;
    tap->run = 1;
    tap->block.sampleType = SAMPLE_TYPE_FLOAT;
    tap->block.channels = channels;
    tap->block.rate = rate;
    tap->block.planes = tap->delivery;
    lockInit(&tap->lock);
    eventInit(&tap->event);
    if (!threadStart(&tap->thread, tapThread, tap, PRIORITY_BELOW_NORMAL)) {
        eventDestroy(&tap->event);
        lockDestroy(&tap->lock);
        std::free(block);
        return nullptr;
    }
    return tap;
}

void tapDestroy(SampleTap* tap) {
    if (!tap) return;
    {
        LockGuard hold(&tap->lock);
        tap->run = 0;
    }
    eventSignal(&tap->event);
    threadJoin(&tap->thread);
    eventDestroy(&tap->event);
    lockDestroy(&tap->lock);
    std::free(tap);
}

void tapBegin(SampleTap* tap) {
    lockEnter(&tap->lock);
    tap->frames = 0;
}

void tapEnd(SampleTap* tap) {
    lockLeave(&tap->lock);
    eventSignal(&tap->event);
}
