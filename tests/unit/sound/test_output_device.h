// An output device for tests: it plays a queued buffer only when asked, records the bytes it
// played and signals the engine like a sound card would, so engine runs are deterministic.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "sound/output_device.h"

class TestOutputDevice {
  public:
    TestOutputDevice();
    const OutputDevice* device() const { return &ops_; }

    // Makes the device rest like a sound card's (see OutputDevice); call before EngineOpen.
    void setRest(uint32_t restMs, uint32_t settleMs) {
        ops_.restMs = restMs;
        ops_.settleMs = settleMs;
    }
    // Makes the next open fail, as a machine without sound would.
    void failNextOpen() { failOpen_ = true; }
    // While set, opens fail and writes report a failure, as when the device is unplugged.
    void setGone(bool gone);
    // Plays the next queued buffer: appends its bytes to `played` (if given), hands it back to
    // the engine and waits until the engine has queued it again. False on timeout.
    bool playPeriod(std::vector<uint8_t>* played);
    // Plays `count` periods; false if one timed out.
    bool playPeriods(int count, std::vector<uint8_t>* played);

    bool isOpen();
    bool started();
    DeviceFormat format();
    uint32_t bufferBytes();
    int writes();
    int opens();

  private:
    static bool open(void* self, const DeviceFormat* format, PlatformEvent* done,
                     uint8_t* const* buffers, uint32_t bufferBytes);
    static bool isDone(void* self, int k);
    static bool write(void* self, int k);
    static void start(void* self);
    static void close(void* self);

    OutputDevice ops_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool failOpen_ = false;
    bool gone_ = false;
    bool open_ = false;
    bool started_ = false;
    DeviceFormat format_{};
    PlatformEvent* done_ = nullptr;
    uint8_t* buffers_[DEVICE_BUFFERS] = {};
    uint32_t bufferBytes_ = 0;
    bool queued_[DEVICE_BUFFERS] = {};
    int next_ = 0;
    int writes_ = 0;
    int opens_ = 0;
};
