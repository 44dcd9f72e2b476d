// The engine's view of a sound output: open it with a format and DEVICE_BUFFERS buffers of one
// period each, queue a buffer once it is filled, and learn through an event when a queued buffer
// has been played. The Windows waveOut device implements it; tests use a device that plays on
// demand.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// The device format, field for field the 40-byte extensible wave format record.
struct DeviceFormat {
    uint16_t formatTag;
    uint16_t channels;
    uint32_t samplesPerSec;
    uint32_t avgBytesPerSec;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
    uint16_t cbSize;
    uint16_t validBitsPerSample;
    uint32_t channelMask;
    uint8_t subFormat[16];
};
static_assert(sizeof(DeviceFormat) == 40, "extensible wave format layout");

constexpr uint16_t DEVICE_FORMAT_EXTENSIBLE = 0xFFFE;

// Sub-format identifiers (GUID bytes in memory order) for integer PCM and IEEE float samples.
extern const uint8_t DEVICE_SUBTYPE_PCM[16];
extern const uint8_t DEVICE_SUBTYPE_IEEE_FLOAT[16];

// Buffers kept queued on the device, one period each. Four periods (125 ms at 48 kHz) ride out
// a scheduler stall on a loaded machine that two would not; an alarm does not mind the latency.
constexpr int DEVICE_BUFFERS = 4;

struct OutputDevice {
    void* self;
    // How long the device may go without finishing a buffer before the engine takes it for lost
    // (unplugged, its server gone); 0 for a device that plays only on demand.
    uint32_t stallMs;
    // How long the device stays open with no voice before the engine closes it to rest, so an
    // idle program costs nothing; it is opened again when a voice is. 0 keeps it open.
    uint32_t restMs;
    // How long a freshly started stream may take to settle (a sound server's start can drop a
    // few milliseconds): the engine plays silence that long before the voices go on.
    uint32_t settleMs;
    // Opens the device paused, with `buffers` (DEVICE_BUFFERS of `bufferBytes` each);
    // `done` is signalled whenever the device finishes a buffer. False when there is no device
    // or it refuses the format; reports its own failure text to the debugger output.
    bool (*open)(void* self, const DeviceFormat* format, PlatformEvent* done,
                 uint8_t* const* buffers, uint32_t bufferBytes);
    // True when buffer k has been played (or never queued) and may be refilled.
    bool (*isDone)(void* self, int k);
    // Queues buffer k, whole, behind the others. False when the device failed.
    bool (*write)(void* self, int k);
    // Starts playing what is queued.
    void (*start)(void* self);
    // Stops at once, drops what is queued and closes the device.
    void (*close)(void* self);
};
