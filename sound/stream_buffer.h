// StreamBuffer: a voice's file bytes on their way from the stream thread to the conversion
// thread, in one allocation: the header, the file name, then a ring of raw bytes.
#pragma once

#include <cstdint>

#include "sound/codec.h"

constexpr uint64_t STREAM_CAPACITY = 1536000;
constexpr uint64_t STREAM_REFILL_THRESHOLD = 384000;

struct StreamBuffer {
    CodecStream stream; // lock, file, file size
    uint64_t dataOffset;
    uint64_t capacity;
    uint64_t fill;
    uint64_t refillThreshold;
    uint64_t writePos;
    uint64_t readPos;
    char16 name[1]; // terminated; the data area starts at dataOffset from here
};

// Allocates a buffer for `path` (null when out of memory). The file is not opened.
StreamBuffer* streamBufferCreate(const char16* path, PlatformLock* lock);
// Closes the file (if open) and frees the buffer.
void streamBufferDestroy(StreamBuffer* buffer);
inline uint8_t* streamBufferData(StreamBuffer* buffer) {
    return reinterpret_cast<uint8_t*>(buffer->name) + buffer->dataOffset;
}
// Appends `count` bytes (count <= capacity - fill), wrapping, and publishes them.
void streamBufferAppend(StreamBuffer* buffer, const uint8_t* bytes, uint64_t count);
// Copies `count` bytes from `offset` bytes past the read position without consuming them.
void streamBufferPeek(StreamBuffer* buffer, uint64_t offset, uint8_t* out, uint64_t count);
// Drops `count` bytes from the read side and publishes that.
void streamBufferConsume(StreamBuffer* buffer, uint64_t count);
// Bytes held (under the lock).
uint64_t streamBufferFill(StreamBuffer* buffer);
// Empties the buffer.
void streamBufferClear(StreamBuffer* buffer);
