// Fuzzes the WAVE codec's probe and the decode stage behind it: any bytes, probed with and
// without a FormatInfo, must neither crash nor describe data outside the file, and what the
// probe accepts decodes into a ring of any channel count as finite samples.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "sound/codec.h"
#include "sound/decode_stage.h"
#include "sound/engine_internal.h"
#include "sound/wave_codec.h"

namespace {

// The probe reads through the file services, so the input goes to a file in memory-backed
// storage where there is some.
std::string inputPath() {
    const char* folder = std::getenv("TMPDIR");
    FILE* probe = std::fopen("/dev/shm/.vesk-probe", "wb");
    if (probe) {
        std::fclose(probe);
        std::remove("/dev/shm/.vesk-probe");
        folder = "/dev/shm";
    }
    return std::string(folder ? folder : "/tmp") + "/vesk-fuzz-wave-" + std::to_string(getpid());
}

std::u16string widen(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

int32_t probeOnce(const std::u16string& path, uint64_t size, FormatInfo* format) {
    CodecStream stream{};
    if (!fileOpenRead(&stream.file, path.c_str())) return SND_E_FILE;
    stream.fileSize = size;
    CodecContext context{};
    context.mode = CODEC_MODE_PROBE;
    context.stream = &stream;
    context.format = format;
    int32_t result = waveCodecProbe(&context, 0);
    fileClose(&stream.file);
    return result;
}

constexpr uint64_t RING_FRAMES = 512;
constexpr uint32_t RING_RATE = 48000;

// Decodes the accepted data into a ring of `outputs` channels until the data are used up,
// checking every sample the stage writes.
void decodeAll(const FormatInfo& format, const uint8_t* data, unsigned outputs) {
    static PlatformLock lock;
    static bool lockReady = false;
    if (!lockReady) lockInit(&lock);
    lockReady = true;
    static float planes[8 * RING_FRAMES];
    SoundVoice voice{};
    voice.format = format;
    voice.buffer = streamBufferCreate(u"fuzz", &lock);
    if (!voice.buffer) return;
    uint64_t bytes = format.dataSize < STREAM_CAPACITY ? format.dataSize : STREAM_CAPACITY;
    streamBufferAppend(voice.buffer, data + format.dataOffset, bytes);
    ringInit(&voice.ring, &lock, static_cast<uint8_t>(outputs), static_cast<uint8_t>(outputs),
             format.rate < RING_RATE ? format.rate : RING_RATE, RING_RATE, RING_FRAMES, planes);
    for (;;) {
        uint64_t frames = decodeVoice(&voice);
        if (frames == 0) break;
        for (unsigned o = 0; o < outputs; ++o) {
            const float* plane = ringPlane(&voice.ring, o);
            for (uint64_t k = 0; k < RING_FRAMES; ++k)
                if (!(plane[k] >= -8192.0f && plane[k] <= 8192.0f)) std::abort();
        }
        ringCommitWrite(&voice.ring, frames);
        ringConsume(&voice.ring, frames);
    }
    streamBufferDestroy(voice.buffer);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = inputPath();
    static const std::u16string path16 = widen(path);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    int32_t bare = probeOnce(path16, size, nullptr);
    FormatInfo format{};
    int32_t full = probeOnce(path16, size, &format);
    if (full == SND_OK) {
        if (format.dataOffset + format.dataSize > size) std::abort();
        if (format.channels == 0 || format.blockAlign == 0 || format.dataSize == 0) std::abort();
        if (format.formatTag == 0x55) std::abort();
        decodeAll(format, data, 1 + size % 8);
    }
    // Loop chunks are read only with a FormatInfo; a truncated one refuses the file then.
    if (full == SND_OK && bare != SND_OK) std::abort();
    formatInfoReset(&format);
    return 0;
}
