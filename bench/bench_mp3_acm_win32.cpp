// The whole MP3 decode under Windows (or Wine) as the engine does it: the Mp3 plug-in's parse,
// then the system's layer III codec through the host's conversion services, fed the frame bytes
// in the engine's steps (source bytes for 4096 output frames at a time). Prints the best of five
// runs per file in multiples of real time. Usage: bench_mp3_acm.exe file.mp3...
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "plugins/mp3/mp3_stream.h"
#include "plugins/mp3/mp3_wave_format.h"
#include "sound/acm_services_win32.h"

namespace {

constexpr uint32_t STEP_FRAMES = 4096;
constexpr int RUNS = 5;

std::vector<uint8_t> readFile(const char* path) {
    std::vector<uint8_t> bytes;
    FILE* f = std::fopen(path, "rb");
    if (!f) return bytes;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(f);
    return bytes;
}

size_t readAt(void* context, uint64_t offset, void* buffer, size_t size) {
    const std::vector<uint8_t>* file = static_cast<const std::vector<uint8_t>*>(context);
    if (offset >= file->size()) return 0;
    size_t n = file->size() - offset < size ? file->size() - offset : size;
    std::memcpy(buffer, file->data() + offset, n);
    return n;
}

double now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One parse and decode of `file`; the decoded frames, or 0 on failure.
uint64_t decodeOnce(std::vector<uint8_t>& file, uint32_t* rate) {
    const AcmServices* acm = acmServices();
    Mp3Source source = {&file, readAt, file.size()};
    Mp3Stream s;
    if (mp3OpenStream(&source, true, &s) != MP3_OK) return 0;
    uint8_t layer3[MP3_LAYER3_FORMAT_BYTES];
    uint8_t pcm[MP3_WAVE_FORMAT_BYTES];
    mp3Layer3Format(s, layer3);
    mp3PcmFormat(s, pcm);
    void* stream = acm->open(layer3, pcm);
    uint64_t frames = 0;
    if (stream) {
        std::vector<uint8_t> out(STEP_FRAMES * 2 * s.channels);
        uint64_t at = s.dataOffset;
        uint64_t end = s.dataOffset + s.dataSize;
        uint32_t want = 0;
        while (at < end && acm->sourceSize(stream, static_cast<uint32_t>(out.size()), &want)) {
            uint32_t give = end - at < want ? static_cast<uint32_t>(end - at) : want;
            uint32_t used = 0, made = 0;
            if (!acm->convert(stream, file.data() + at, give, out.data(),
                              static_cast<uint32_t>(out.size()), &used, &made) ||
                used == 0)
                break;
            at += used;
            frames += made / (2 * s.channels);
        }
        acm->close(stream);
    }
    *rate = s.rate;
    mp3StreamFree(&s);
    return frames;
}

} // namespace

int main(int argc, char** argv) {
    for (int k = 1; k < argc; ++k) {
        std::vector<uint8_t> file = readFile(argv[k]);
        double best = 0.0;
        uint64_t frames = 0;
        uint32_t rate = 0;
        for (int run = 0; run < RUNS; ++run) {
            double start = now();
            frames = decodeOnce(file, &rate);
            double seconds = now() - start;
            if (run == 0 || seconds < best) best = seconds;
        }
        if (frames == 0 || rate == 0) {
            std::printf("%s: not decoded\n", argv[k]);
            continue;
        }
        double audio = static_cast<double>(frames) / rate;
        std::printf("%s: %.2f s of audio decoded in %.1f ms, %.0f x real time\n", argv[k], audio,
                    best * 1000.0, audio / best);
    }
    return 0;
}
