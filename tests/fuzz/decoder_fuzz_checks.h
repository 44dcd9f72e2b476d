// What every decoder core must hold to on any input: a refusal, or a stream within its
// declared bounds that reads, seeks and ends without going past its length or full scale.
#pragma once

#include <cstdlib>
#include <memory>

#include "tests/fuzz/memory_source.h"

// Frames a fuzz run decodes at most, so that a stream claiming hours stays quick.
constexpr size_t FUZZ_MAX_FRAMES = 1 << 18;
constexpr size_t FUZZ_CHUNK = 1000;

inline size_t readChecked(PcmDecoder* d, float* buffer, size_t limit) {
    size_t total = 0;
    while (total < limit) {
        size_t got = d->read(buffer, FUZZ_CHUNK);
        if (got > FUZZ_CHUNK) std::abort();
        for (size_t k = 0; k < got * d->channels(); ++k)
            if (!(buffer[k] >= -1.0f && buffer[k] <= 1.0f)) std::abort();
        total += got;
        if (got < FUZZ_CHUNK) break;
    }
    return total;
}

inline void checkDecoder(PcmDecoder* (*open)(const ByteSource&), const uint8_t* data, size_t size) {
    MemoryFile file{data, size, 0};
    std::unique_ptr<PcmDecoder> d(open(memorySource(&file)));
    if (!d) return;
    if (d->channels() == 0 || d->channels() > DECODER_MAX_CHANNELS || d->rate() == 0 ||
        d->rate() > DECODER_MAX_RATE || d->frames() == 0)
        std::abort();
    static float buffer[FUZZ_CHUNK * DECODER_MAX_CHANNELS];
    size_t read = readChecked(d.get(), buffer, FUZZ_MAX_FRAMES);
    if (read > d->frames()) std::abort();
    if (d->seek(d->frames() / 2)) readChecked(d.get(), buffer, FUZZ_CHUNK * 4);
    if (!d->seek(d->frames()) || d->read(buffer, FUZZ_CHUNK) != 0) std::abort();
    if (d->seek(d->frames() + 1)) std::abort();
    if (d->seek(0)) readChecked(d.get(), buffer, FUZZ_CHUNK);
}
