// Fuzzes the MP3 plug-in's stream finder: any bytes, opened with and without the frame walk,
// must neither crash nor describe frames outside the file, and every seek must restart inside
// the stream at or before the frame asked for.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "plugins/mp3/mp3_stream.h"

namespace {

struct Memory {
    const uint8_t* data;
    size_t size;
};

size_t readAt(void* context, uint64_t offset, void* buffer, size_t size) {
    const Memory* m = static_cast<const Memory*>(context);
    if (offset >= m->size) return 0;
    size_t n = m->size - offset < size ? m->size - offset : size;
    std::memcpy(buffer, m->data + offset, n);
    return n;
}

void checkSeeks(const Mp3Stream& s) {
    const uint64_t targets[] = {0, 1, s.totalFrames / 3, s.totalFrames - 1, s.totalFrames * 2};
    for (uint64_t target : targets) {
        uint64_t frame = 0;
        uint64_t byte = 0;
        mp3SeekPoint(s.frameOffsets, s.frameCount, s.samplesPerFrame, s.leadFrames, target, &frame,
                     &byte);
        if (byte >= s.dataSize || frame % s.samplesPerFrame != 0) std::abort();
        if (target < s.totalFrames && frame > target + s.leadFrames) std::abort();
    }
}

void checkWalked(const Mp3Stream& s, size_t size) {
    if (s.dataOffset > size || s.dataSize > size - s.dataOffset || s.frameCount == 0) std::abort();
    if (s.samplesPerFrame != 1152 && s.samplesPerFrame != 576) std::abort();
    for (uint32_t k = 1; k < s.frameCount; ++k)
        if (s.frameOffsets[k] <= s.frameOffsets[k - 1]) std::abort();
    if (s.frameOffsets[s.frameCount - 1] >= s.dataSize) std::abort();
    uint64_t decoded = static_cast<uint64_t>(s.frameCount) * s.samplesPerFrame;
    if (s.totalFrames == 0 || s.totalFrames + s.leadFrames > decoded) std::abort();
    checkSeeks(s);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Memory memory = {data, size};
    Mp3Source source = {&memory, readAt, size};
    Mp3Stream stream;
    if (mp3OpenStream(&source, false, &stream) == MP3_OK && stream.dataOffset > size) std::abort();
    mp3StreamFree(&stream);
    if (mp3OpenStream(&source, true, &stream) == MP3_OK) checkWalked(stream, size);
    mp3StreamFree(&stream);
    return 0;
}
