#include "sound/stream_buffer.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

StreamBuffer* streamBufferCreate(const char16* path, PlatformLock* lock) {
    size_t length = text16Length(path);
    // The name with its terminator, rounded up to 32 bytes, keeps the data area aligned.
    uint64_t dataOffset = (2 * static_cast<uint64_t>(length) + 33) & ~static_cast<uint64_t>(31);
    size_t bytes = offsetof(StreamBuffer, name) + dataOffset + STREAM_CAPACITY;
    StreamBuffer* buffer = static_cast<StreamBuffer*>(std::calloc(1, bytes));
    if (!buffer) return nullptr;
    buffer->stream.lock = lock;
    buffer->dataOffset = dataOffset;
    buffer->capacity = STREAM_CAPACITY;
    buffer->refillThreshold = STREAM_REFILL_THRESHOLD;
    std::memcpy(buffer->name, path, (length + 1) * sizeof(char16));
    return buffer;
}

void streamBufferDestroy(StreamBuffer* buffer) {
    if (!buffer) return;
    if (buffer->stream.file.handle) fileClose(&buffer->stream.file);
    std::free(buffer);
}

void streamBufferAppend(StreamBuffer* buffer, const uint8_t* bytes, uint64_t count) {
    uint8_t* data = streamBufferData(buffer);
    uint64_t first = buffer->capacity - buffer->writePos;
    if (first > count) first = count;
    std::memcpy(data + buffer->writePos, bytes, first);
    std::memcpy(data, bytes + first, count - first);
    LockGuard hold(buffer->stream.lock);
    buffer->writePos = (buffer->writePos + count) % buffer->capacity;
    buffer->fill += count;
}

void streamBufferPeek(StreamBuffer* buffer, uint64_t offset, uint8_t* out, uint64_t count) {
    const uint8_t* data = streamBufferData(buffer);
    uint64_t start = (buffer->readPos + offset) % buffer->capacity;
    uint64_t first = buffer->capacity - start;
    if (first > count) first = count;
    std::memcpy(out, data + start, first);
    std::memcpy(out + first, data, count - first);
}

void streamBufferConsume(StreamBuffer* buffer, uint64_t count) {
    LockGuard hold(buffer->stream.lock);
    if (count > buffer->fill) count = buffer->fill;
    buffer->readPos = (buffer->readPos + count) % buffer->capacity;
    buffer->fill -= count;
}

uint64_t streamBufferFill(StreamBuffer* buffer) {
    LockGuard hold(buffer->stream.lock);
    uint64_t fill = buffer->fill;
    return fill;
}

void streamBufferClear(StreamBuffer* buffer) {
    LockGuard hold(buffer->stream.lock);
    buffer->fill = 0;
    buffer->writePos = 0;
    buffer->readPos = 0;
}
