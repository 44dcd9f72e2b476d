// The few operating-system services the portable core needs: threads, locks, events, sleeping,
// shared-read files, whole-file replacement, local time and debugger output. One implementation
// per system (platform_win32.cpp, platform_posix.cpp); no Windows type appears here.
#pragma once

#include <cstddef>
#include <cstdint>

// UTF-16 code unit: wchar_t on Windows (so shell strings pass through without copying),
// char16_t elsewhere.
#ifdef _WIN32
using char16 = wchar_t;
#define U16(s) L##s
#else
using char16 = char16_t;
#define U16(s) u##s
#endif

// Local time, with the fields and order of the Windows SYSTEMTIME record.
struct SystemTime {
    uint16_t year;
    uint16_t month;
    uint16_t dayOfWeek; // 0 = Sunday
    uint16_t day;
    uint16_t hour;
    uint16_t minute;
    uint16_t second;
    uint16_t milliseconds;
};

// Fills `out` with the current local time.
void platformLocalTime(SystemTime* out);
// Sleeps the calling thread for `ms` milliseconds (0 yields).
void platformSleep(uint32_t ms);
// Milliseconds from an arbitrary fixed start, for measuring intervals.
uint64_t platformTickMs();
// Milliseconds since the machine started, split into the time it ran (`awakeMs`) and the time it
// was suspended (`sleptMs`). Neither follows changes of the wall clock.
void platformUptime(uint64_t* awakeMs, uint64_t* sleptMs);
// Sends one line of text to the debugger output (stderr on POSIX).
void platformDebugOutput(const char* text);

// Thread priorities, named after the Windows levels the engine uses.
enum PlatformPriority {
    PRIORITY_IDLE = -15,
    PRIORITY_LOWEST = -2,
    PRIORITY_BELOW_NORMAL = -1,
    PRIORITY_NORMAL = 0,
    PRIORITY_ABOVE_NORMAL = 1,
    PRIORITY_HIGHEST = 2,
    PRIORITY_TIME_CRITICAL = 15,
};

using PlatformThreadProc = void (*)(void* arg);

// A started thread; join it exactly once.
struct PlatformThread {
    void* handle;
};

// Starts `proc(arg)` on a new thread at `priority`. False if the thread could not start.
// A priority the system refuses is ignored, the thread still runs. Thread-safe.
bool threadStart(PlatformThread* thread, PlatformThreadProc proc, void* arg,
                 PlatformPriority priority);
// Waits for the thread to end and releases it.
void threadJoin(PlatformThread* thread);
// Waits up to `ms` milliseconds for the thread to end; true (and the thread released) if it did.
// On false the thread still runs and stays joinable.
bool threadJoinFor(PlatformThread* thread, uint32_t ms);

// A recursive lock stored in place, so it can live inside caller-allocated memory.
struct PlatformLock {
    alignas(16) unsigned char storage[64];
};
void lockInit(PlatformLock* lock);
void lockDestroy(PlatformLock* lock);
void lockEnter(PlatformLock* lock);
void lockLeave(PlatformLock* lock);

// Holds a lock for one scope, so that every way out of the scope releases it.
class LockGuard {
  public:
    explicit LockGuard(PlatformLock* lock) : lock_(lock) { lockEnter(lock_); }
    ~LockGuard() { lockLeave(lock_); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

  private:
    PlatformLock* lock_;
};

// An auto-reset event stored in place: a signal wakes one waiter and then clears itself.
struct PlatformEvent {
    alignas(16) unsigned char storage[128];
};
void eventInit(PlatformEvent* event);
void eventDestroy(PlatformEvent* event);
void eventSignal(PlatformEvent* event);
// Waits up to `ms` milliseconds (PLATFORM_WAIT_FOREVER for no limit). True if signalled.
bool eventWait(PlatformEvent* event, uint32_t ms);
constexpr uint32_t PLATFORM_WAIT_FOREVER = 0xFFFFFFFFu;

// A file opened for reading while others may read and write it.
struct PlatformFile {
    void* handle;
};
enum PlatformSeek { SEEK_FROM_START = 0, SEEK_FROM_CURRENT = 1, SEEK_FROM_END = 2 };

// Opens the UTF-16 `path` for shared reading. False (and a null handle) if it cannot.
bool fileOpenRead(PlatformFile* file, const char16* path);
// Reads up to `count` bytes; returns the number read (0 at the end or on error).
size_t fileRead(PlatformFile* file, void* buffer, size_t count);
// Moves the read position; returns the new position, or -1 on error.
int64_t fileSeek(PlatformFile* file, int64_t offset, PlatformSeek origin);
// The read position, or -1 on error.
int64_t fileTell(PlatformFile* file);
// The size in bytes, or -1 on error.
int64_t fileSizeOf(PlatformFile* file);
void fileClose(PlatformFile* file);

// Size of the file at `path` as its directory entry lists it, or -1 if there is none.
int64_t pathFileSize(const char16* path);
// Writes `count` bytes to "<path>.new", flushes it and then renames it over `path` in one step, so
// that `path` names a complete file at every moment. On any failure `path` is untouched and the
// temporary file removed.
bool pathReplaceFile(const char16* path, const void* bytes, size_t count);
// Deletes the file at `path`; true if it is gone.
bool pathDeleteFile(const char16* path);
// Renames the file `from` to `to` in one step, replacing a file of that name. True when done.
bool pathRenameFile(const char16* from, const char16* to);
// Length of a NUL-terminated UTF-16 string.
size_t text16Length(const char16* text);
// Copies the current working directory, NUL-terminated and without a trailing separator (a
// root keeps its own), into `out`. Returns its length; 0 when it cannot be read or does not fit
// in `capacity` units with its terminator (then `out` is an empty string if capacity allows).
size_t platformCurrentDirectory(char16* out, size_t capacity);
