// An MPEG layer III stream inside a file: where its audio frames lie, how long it plays once the
// encoder's delay and padding are cut, and where to restart decoding for a seek. The tags around
// the stream (ID3v2 before, ID3v1 and APE after) and the information frame are not audio.
#pragma once

#include <cstddef>
#include <cstdint>

struct Mp3Source {
    void* context;
    // Reads up to `size` bytes at `offset`; returns the bytes read.
    size_t (*readAt)(void* context, uint64_t offset, void* buffer, size_t size);
    uint64_t size;
};

enum Mp3Result {
    MP3_OK,
    MP3_NOT_MP3,
    MP3_FREE_FORMAT, // frames without a bit rate: their sizes cannot be known, so they are refused
    MP3_EMPTY,
    MP3_NO_MEMORY,
};

// Longest stream indexed: about 27 hours at 44.1 kHz. The walk ends there.
constexpr uint32_t MP3_MAX_FRAMES = 1u << 22;

struct Mp3Stream {
    uint32_t version; // 10, 20 or 25 (MPEG-1, 2, 2.5)
    uint32_t rate;
    uint32_t channels;
    uint32_t samplesPerFrame;
    uint64_t dataOffset; // first audio frame in the file
    uint64_t dataSize;   // bytes of whole audio frames from there
    uint32_t frameCount;
    uint32_t* frameOffsets; // frameCount offsets from dataOffset; malloc'd, see mp3StreamFree
    uint64_t leadFrames;    // decoded frames before the first frame of the audio itself
    uint64_t totalFrames;   // frames of the audio itself
    uint32_t averageFrameBytes;
    uint32_t averageBitrate;
};

// Finds the stream in `source`. With `walk` false it only confirms the first frames (no index,
// no length); with `walk` true it follows every frame to the end, which also finds where a
// truncated or damaged file stops being playable.
Mp3Result mp3OpenStream(const Mp3Source* source, bool walk, Mp3Stream* out);
void mp3StreamFree(Mp3Stream* stream);

// Where to restart decoding so that frame `target` of the audio comes out exactly: a few frames
// early, so that the decoder has the bytes earlier frames lend and the overlap of the frame
// before. `frame` counts decoded frames (lead included); `byte` is from dataOffset.
void mp3SeekPoint(const uint32_t* frameOffsets, uint32_t frameCount, uint32_t samplesPerFrame,
                  uint64_t leadFrames, uint64_t target, uint64_t* frame, uint64_t* byte);
