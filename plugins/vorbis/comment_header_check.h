// A look at a Vorbis stream's comment header before the decoder reads it. The decoder sizes its
// memory from the counts and lengths in that header and fails unsafely when they lie, so every
// one of them is checked against the bytes the header really has.
#pragma once

#include <cstddef>
#include <cstdint>

// True when the comment header (the packet starting on the stream's second page) is complete
// and not too large, and its lengths fit inside it; `packetBytes` then receives the packet's size.
bool commentHeaderIsSound(const uint8_t* data, size_t size, size_t* packetBytes);
