#include "test_output_device.h"

#include <chrono>

namespace {
constexpr auto WAIT_LIMIT = std::chrono::seconds(5);
}

TestOutputDevice::TestOutputDevice() {
    ops_.self = this;
    ops_.stallMs = 0;
    ops_.restMs = 0;
    ops_.settleMs = 0;
    ops_.open = open;
    ops_.isDone = isDone;
    ops_.write = write;
    ops_.start = start;
    ops_.close = close;
}

bool TestOutputDevice::open(void* self, const DeviceFormat* format, PlatformEvent* done,
                            uint8_t* const* buffers, uint32_t bufferBytes) {
    TestOutputDevice* d = static_cast<TestOutputDevice*>(self);
    std::lock_guard<std::mutex> hold(d->mutex_);
    if (d->failOpen_ || d->gone_) {
        d->failOpen_ = false;
        return false;
    }
    d->open_ = true;
    d->started_ = false;
    d->format_ = *format;
    d->done_ = done;
    for (int k = 0; k < DEVICE_BUFFERS; ++k) {
        d->buffers_[k] = buffers[k];
        d->queued_[k] = false;
    }
    d->bufferBytes_ = bufferBytes;
    d->next_ = 0;
    d->writes_ = 0;
    ++d->opens_;
    d->changed_.notify_all();
    return true;
}

void TestOutputDevice::setGone(bool gone) {
    std::lock_guard<std::mutex> hold(mutex_);
    gone_ = gone;
}

bool TestOutputDevice::isDone(void* self, int k) {
    TestOutputDevice* d = static_cast<TestOutputDevice*>(self);
    std::lock_guard<std::mutex> hold(d->mutex_);
    return !d->queued_[k];
}

bool TestOutputDevice::write(void* self, int k) {
    TestOutputDevice* d = static_cast<TestOutputDevice*>(self);
    std::lock_guard<std::mutex> hold(d->mutex_);
    if (d->gone_) return false;
    d->queued_[k] = true;
    ++d->writes_;
    d->changed_.notify_all();
    return true;
}

void TestOutputDevice::start(void* self) {
    TestOutputDevice* d = static_cast<TestOutputDevice*>(self);
    std::lock_guard<std::mutex> hold(d->mutex_);
    d->started_ = true;
}

void TestOutputDevice::close(void* self) {
    TestOutputDevice* d = static_cast<TestOutputDevice*>(self);
    std::lock_guard<std::mutex> hold(d->mutex_);
    d->open_ = false;
    d->started_ = false;
    d->changed_.notify_all();
}

bool TestOutputDevice::playPeriod(std::vector<uint8_t>* played) {
    std::unique_lock<std::mutex> hold(mutex_);
    int k = next_;
    if (!changed_.wait_for(hold, WAIT_LIMIT, [&] { return !open_ || queued_[k]; }) || !open_)
        return false;
    if (played) played->insert(played->end(), buffers_[k], buffers_[k] + bufferBytes_);
    queued_[k] = false;
    next_ = (k + 1) % DEVICE_BUFFERS;
    PlatformEvent* done = done_;
    hold.unlock();
    eventSignal(done);
    hold.lock();
    return changed_.wait_for(hold, WAIT_LIMIT, [&] { return !open_ || queued_[k]; }) && open_;
}

bool TestOutputDevice::playPeriods(int count, std::vector<uint8_t>* played) {
    for (int i = 0; i < count; ++i)
        if (!playPeriod(played)) return false;
    return true;
}

bool TestOutputDevice::isOpen() {
    std::lock_guard<std::mutex> hold(mutex_);
    return open_;
}
bool TestOutputDevice::started() {
    std::lock_guard<std::mutex> hold(mutex_);
    return started_;
}
DeviceFormat TestOutputDevice::format() {
    std::lock_guard<std::mutex> hold(mutex_);
    return format_;
}
uint32_t TestOutputDevice::bufferBytes() {
    std::lock_guard<std::mutex> hold(mutex_);
    return bufferBytes_;
}
int TestOutputDevice::writes() {
    std::lock_guard<std::mutex> hold(mutex_);
    return writes_;
}
int TestOutputDevice::opens() {
    std::lock_guard<std::mutex> hold(mutex_);
    return opens_;
}
