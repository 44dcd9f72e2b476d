// The host's stream services over bytes in memory, so the decoder cores can be fuzzed and
// measured without files.
#pragma once

#include <cstdint>
#include <cstring>

#include "plugins/common/pcm_decoder.h"

struct MemoryFile {
    const uint8_t* data;
    uint64_t size;
    uint64_t at;
};

inline size_t memoryRead(void* stream, void* buffer, size_t size) {
    MemoryFile* f = static_cast<MemoryFile*>(stream);
    uint64_t left = f->at < f->size ? f->size - f->at : 0;
    size_t n = size < left ? size : static_cast<size_t>(left);
    if (n) std::memcpy(buffer, f->data + f->at, n);
    f->at += n;
    return n;
}

inline int32_t memorySeek(void* stream, int64_t offset, uint32_t origin) {
    MemoryFile* f = static_cast<MemoryFile*>(stream);
    int64_t base = origin == 0   ? 0
                   : origin == 1 ? static_cast<int64_t>(f->at)
                                 : static_cast<int64_t>(f->size);
    if (origin > 2 || base + offset < 0) return -1;
    f->at = static_cast<uint64_t>(base + offset);
    return 0;
}

inline int64_t memoryTell(void* stream) {
    return static_cast<int64_t>(static_cast<MemoryFile*>(stream)->at);
}

inline ByteSource memorySource(MemoryFile* file) {
    return ByteSource{file, memoryRead, memorySeek, memoryTell, file->size};
}
