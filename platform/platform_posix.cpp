// POSIX implementation of the platform services, for the native build of the core.
#include "platform/platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <new>
#include <pthread.h>
#include <string>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

static_assert(sizeof(pthread_mutex_t) <= sizeof(PlatformLock::storage), "lock storage");

namespace {

// Event state lives in the caller's storage: a mutex, a condition and the signalled flag.
struct PosixEvent {
    pthread_mutex_t mutex;
    pthread_cond_t cond;
    bool signalled;
};
static_assert(sizeof(PosixEvent) <= sizeof(PlatformEvent::storage), "event storage");

struct ThreadStart {
    PlatformThreadProc proc;
    void* arg;
};

void* threadEntry(void* raw) {
    ThreadStart start = *static_cast<ThreadStart*>(raw);
    delete static_cast<ThreadStart*>(raw);
    start.proc(start.arg);
    return nullptr;
}

pthread_mutex_t* mutexOf(PlatformLock* lock) {
    return reinterpret_cast<pthread_mutex_t*>(lock->storage);
}

PosixEvent* eventOf(PlatformEvent* event) {
    return reinterpret_cast<PosixEvent*>(event->storage);
}

// UTF-16 path to the UTF-8 the file system takes. Unpaired surrogates become U+FFFD.
std::string utf8Path(const char16* path) {
    std::string out;
    for (size_t i = 0; path[i]; ++i) {
        uint32_t c = path[i];
        if (c >= 0xD800 && c <= 0xDBFF && path[i + 1] >= 0xDC00 && path[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (path[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Length of the UTF-8 sequence at `s` with its code point in `*code`; 0 if it is not one.
int decodeUtf8(const unsigned char* s, uint32_t* code) {
    int length = s[0] < 0x80             ? 1
                 : (s[0] & 0xE0) == 0xC0 ? 2
                 : (s[0] & 0xF0) == 0xE0 ? 3
                 : (s[0] & 0xF8) == 0xF0 ? 4
                                         : 0;
    if (length == 0) return 0;
    uint32_t c = length == 1 ? s[0] : s[0] & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((s[i] & 0xC0) != 0x80) return 0;
        c = (c << 6) | (s[i] & 0x3F);
    }
    if (c > 0x10FFFF) return 0;
    *code = c;
    return length;
}

// A UTF-8 path from the file system as UTF-16; bytes that are not UTF-8 become U+FFFD.
std::u16string utf16Path(const char* path) {
    std::u16string out;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(path);
    while (*s) {
        uint32_t c = 0xFFFD;
        int length = decodeUtf8(s, &c);
        s += length ? length : 1;
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

int fdOf(PlatformFile* file) {
    return static_cast<int>(reinterpret_cast<intptr_t>(file->handle)) - 1;
}

bool writeAll(int fd, const unsigned char* bytes, size_t count) {
    while (count > 0) {
        ssize_t n = write(fd, bytes, count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n;
        count -= static_cast<size_t>(n);
    }
    return true;
}

uint64_t clockMs(clockid_t clock) {
    timespec t;
    clock_gettime(clock, &t);
    return static_cast<uint64_t>(t.tv_sec) * 1000u + static_cast<uint64_t>(t.tv_nsec) / 1000000u;
}

} // namespace

void platformLocalTime(SystemTime* out) {
    timeval now;
    gettimeofday(&now, nullptr);
    tm local;
    localtime_r(&now.tv_sec, &local);
    out->year = static_cast<uint16_t>(local.tm_year + 1900);
    out->month = static_cast<uint16_t>(local.tm_mon + 1);
    out->dayOfWeek = static_cast<uint16_t>(local.tm_wday);
    out->day = static_cast<uint16_t>(local.tm_mday);
    out->hour = static_cast<uint16_t>(local.tm_hour);
    out->minute = static_cast<uint16_t>(local.tm_min);
    out->second = static_cast<uint16_t>(local.tm_sec);
    out->milliseconds = static_cast<uint16_t>(now.tv_usec / 1000);
}

void platformSleep(uint32_t ms) {
    if (ms == 0) {
        sched_yield();
        return;
    }
    timespec t{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

uint64_t platformTickMs() {
    return clockMs(CLOCK_MONOTONIC);
}

void platformUptime(uint64_t* awakeMs, uint64_t* sleptMs) {
    // The monotonic clock stops while the machine is suspended; the boot-time clock does not.
    uint64_t awake = clockMs(CLOCK_MONOTONIC);
    uint64_t total = clockMs(CLOCK_BOOTTIME);
    *awakeMs = awake;
    *sleptMs = total > awake ? total - awake : 0;
}

void platformDebugOutput(const char* text) {
    fputs(text, stderr);
}

bool threadStart(PlatformThread* thread, PlatformThreadProc proc, void* arg,
                 PlatformPriority priority) {
    (void)priority; // Raising priority needs privileges a test machine lacks; threads run normal.
    thread->handle = nullptr;
    ThreadStart* start = new (std::nothrow) ThreadStart{proc, arg};
    if (!start) return false;
    pthread_t id;
    if (pthread_create(&id, nullptr, threadEntry, start) != 0) {
        delete start;
        return false;
    }
    static_assert(sizeof(pthread_t) <= sizeof(void*), "pthread_t fits a handle");
    std::memcpy(&thread->handle, &id, sizeof id);
    return true;
}

void threadJoin(PlatformThread* thread) {
    pthread_t id;
    std::memcpy(&id, &thread->handle, sizeof id);
    pthread_join(id, nullptr);
    thread->handle = nullptr;
}

bool threadJoinFor(PlatformThread* thread, uint32_t ms) {
    pthread_t id;
    std::memcpy(&id, &thread->handle, sizeof id);
    timespec until;
    clock_gettime(CLOCK_REALTIME, &until);
    until.tv_sec += static_cast<time_t>(ms / 1000);
    until.tv_nsec += static_cast<long>(ms % 1000) * 1000000L;
    if (until.tv_nsec >= 1000000000L) {
        until.tv_sec += 1;
        until.tv_nsec -= 1000000000L;
    }
    if (pthread_timedjoin_np(id, nullptr, &until) != 0) return false;
    thread->handle = nullptr;
    return true;
}

void lockInit(PlatformLock* lock) {
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(mutexOf(lock), &attr);
    pthread_mutexattr_destroy(&attr);
}

void lockDestroy(PlatformLock* lock) {
    pthread_mutex_destroy(mutexOf(lock));
}
void lockEnter(PlatformLock* lock) {
    pthread_mutex_lock(mutexOf(lock));
}
void lockLeave(PlatformLock* lock) {
    pthread_mutex_unlock(mutexOf(lock));
}

void eventInit(PlatformEvent* event) {
    PosixEvent* e = new (event->storage) PosixEvent;
    pthread_mutex_init(&e->mutex, nullptr);
    pthread_condattr_t attr;
    pthread_condattr_init(&attr);
    pthread_condattr_setclock(&attr, CLOCK_MONOTONIC);
    pthread_cond_init(&e->cond, &attr);
    pthread_condattr_destroy(&attr);
    e->signalled = false;
}

void eventDestroy(PlatformEvent* event) {
    PosixEvent* e = eventOf(event);
    pthread_cond_destroy(&e->cond);
    pthread_mutex_destroy(&e->mutex);
}

void eventSignal(PlatformEvent* event) {
    PosixEvent* e = eventOf(event);
    pthread_mutex_lock(&e->mutex);
    e->signalled = true;
    pthread_cond_signal(&e->cond);
    pthread_mutex_unlock(&e->mutex);
}

bool eventWait(PlatformEvent* event, uint32_t ms) {
    PosixEvent* e = eventOf(event);
    timespec deadline;
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += ms / 1000;
    deadline.tv_nsec += static_cast<long>(ms % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000L;
    }
    pthread_mutex_lock(&e->mutex);
    int rc = 0;
    while (!e->signalled && rc == 0) {
        if (ms == PLATFORM_WAIT_FOREVER)
            pthread_cond_wait(&e->cond, &e->mutex);
        else
            rc = pthread_cond_timedwait(&e->cond, &e->mutex, &deadline);
    }
    bool woke = e->signalled;
    e->signalled = false;
    pthread_mutex_unlock(&e->mutex);
    return woke;
}

bool fileOpenRead(PlatformFile* file, const char16* path) {
    int fd = open(utf8Path(path).c_str(), O_RDONLY | O_CLOEXEC);
    file->handle = fd < 0 ? nullptr : reinterpret_cast<void*>(static_cast<intptr_t>(fd) + 1);
    return fd >= 0;
}

size_t fileRead(PlatformFile* file, void* buffer, size_t count) {
    size_t done = 0;
    while (done < count) {
        ssize_t n = read(fdOf(file), static_cast<char*>(buffer) + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

int64_t fileSeek(PlatformFile* file, int64_t offset, PlatformSeek origin) {
    int whence = origin == SEEK_FROM_START     ? SEEK_SET
                 : origin == SEEK_FROM_CURRENT ? SEEK_CUR
                                               : SEEK_END;
    return lseek(fdOf(file), offset, whence);
}

int64_t fileTell(PlatformFile* file) {
    return lseek(fdOf(file), 0, SEEK_CUR);
}

int64_t fileSizeOf(PlatformFile* file) {
    struct stat st;
    return fstat(fdOf(file), &st) == 0 ? st.st_size : -1;
}

void fileClose(PlatformFile* file) {
    if (file->handle) close(fdOf(file));
    file->handle = nullptr;
}

int64_t pathFileSize(const char16* path) {
    struct stat st;
    if (stat(utf8Path(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return st.st_size;
}

bool pathReplaceFile(const char16* path, const void* bytes, size_t count) {
    std::string target = utf8Path(path);
    std::string temp = target + ".new";
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = writeAll(fd, static_cast<const unsigned char*>(bytes), count) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok && rename(temp.c_str(), target.c_str()) == 0) return true;
    unlink(temp.c_str());
    return false;
}

bool pathDeleteFile(const char16* path) {
    return unlink(utf8Path(path).c_str()) == 0;
}

bool pathRenameFile(const char16* from, const char16* to) {
    return rename(utf8Path(from).c_str(), utf8Path(to).c_str()) == 0;
}

size_t text16Length(const char16* text) {
    size_t n = 0;
    while (text[n])
        ++n;
    return n;
}

size_t platformCurrentDirectory(char16* out, size_t capacity) {
    if (capacity == 0) return 0;
    out[0] = 0;
    char bytes[4096];
    if (!getcwd(bytes, sizeof bytes)) return 0;
    std::u16string text = utf16Path(bytes);
    if (text.size() >= capacity) return 0;
    for (size_t i = 0; i < text.size(); ++i)
        out[i] = text[i];
    out[text.size()] = 0;
    return text.size();
}
