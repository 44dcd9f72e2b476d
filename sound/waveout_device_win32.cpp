#include "sound/waveout_device_win32.h"

#include <windows.h>

#include <mmreg.h>
#include <mmsystem.h>

#include <cstring>

static_assert(sizeof(WAVEFORMATEXTENSIBLE) == sizeof(DeviceFormat), "device format layout");

namespace {

// One engine per process, so one device: the open handle and the buffer headers.
struct WaveOut {
    HWAVEOUT handle;
    WAVEHDR headers[DEVICE_BUFFERS];
};
WaveOut g_waveOut;

// A device that finishes nothing for this long is gone (its sink removed, its server restarted):
// eight times the four periods it holds, so a busy machine is not mistaken for a lost device.
constexpr uint32_t STALL_MS = 1000;
// An open stream under a sound server is fed all the time, silence included, which costs an
// idle watch several percent of a core under Wine. Closed after this long without a voice, so a
// run of sound tests or a popup opened again at once does not restart the stream each time.
constexpr uint32_t REST_MS = 10000;
// A new stream may drop a few milliseconds within its first half second while the sound server
// settles on it; an alarm's first notes are worth that much delay.
constexpr uint32_t SETTLE_MS = 600;

// Failures of device calls go to the debugger output. True when the call succeeded.
bool report(MMRESULT result) {
    if (result == MMSYSERR_NOERROR) return true;
    char text[256];
    if (waveOutGetErrorTextA(result, text, sizeof text) == MMSYSERR_NOERROR)
        OutputDebugStringA(text);
    return false;
}

// The platform keeps an event's Windows handle at the start of its storage.
HANDLE eventHandle(PlatformEvent* event) {
    HANDLE handle;
    std::memcpy(&handle, event->storage, sizeof handle);
    return handle;
}

bool open(void*, const DeviceFormat* format, PlatformEvent* done, uint8_t* const* buffers,
          uint32_t bufferBytes) {
    WAVEFORMATEXTENSIBLE wave;
    std::memcpy(&wave, format, sizeof wave);
    MMRESULT result = waveOutOpen(&g_waveOut.handle, WAVE_MAPPER, &wave.Format,
                                  reinterpret_cast<DWORD_PTR>(eventHandle(done)), 0,
                                  CALLBACK_EVENT | WAVE_FORMAT_DIRECT | WAVE_ALLOWSYNC);
    if (!report(result)) {
        g_waveOut.handle = nullptr;
        return false;
    }
    report(waveOutReset(g_waveOut.handle));
    report(waveOutPause(g_waveOut.handle));
    for (int k = 0; k < DEVICE_BUFFERS; ++k) {
        WAVEHDR* header = &g_waveOut.headers[k];
        std::memset(header, 0, sizeof *header);
        header->lpData = reinterpret_cast<LPSTR>(buffers[k]);
        header->dwBufferLength = bufferBytes;
        report(waveOutPrepareHeader(g_waveOut.handle, header, sizeof *header));
    }
    return true;
}

bool isDone(void*, int k) {
    // The driver sets the flag from its own thread.
    volatile DWORD* flags = &g_waveOut.headers[k].dwFlags;
    return (*flags & WHDR_DONE) != 0;
}

bool write(void*, int k) {
    WAVEHDR* header = &g_waveOut.headers[k];
    return report(waveOutWrite(g_waveOut.handle, header, sizeof *header));
}

void start(void*) {
    report(waveOutRestart(g_waveOut.handle));
}

void close(void*) {
    report(waveOutReset(g_waveOut.handle));
    for (WAVEHDR& header : g_waveOut.headers)
        report(waveOutUnprepareHeader(g_waveOut.handle, &header, sizeof header));
    report(waveOutClose(g_waveOut.handle));
    g_waveOut.handle = nullptr;
}

const OutputDevice g_device = {nullptr, STALL_MS, REST_MS, SETTLE_MS, open,
                               isDone,  write,    start,   close};

} // namespace

const OutputDevice* waveOutDevice() {
    return &g_device;
}
