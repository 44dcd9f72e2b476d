// Windows implementation of the platform services.
#include "platform/platform.h"

#include <windows.h>

#include <new>
#include <string>

static_assert(sizeof(CRITICAL_SECTION) <= sizeof(PlatformLock::storage), "lock storage");
static_assert(sizeof(HANDLE) <= sizeof(PlatformEvent::storage), "event storage");
static_assert(sizeof(SystemTime) == sizeof(SYSTEMTIME), "SystemTime mirrors SYSTEMTIME");

namespace {

struct ThreadStart {
    PlatformThreadProc proc;
    void* arg;
};

// Threads entered from the system may have a 4-byte aligned stack on 32-bit x86; the engine's
// SSE code needs 16.
__attribute__((force_align_arg_pointer)) DWORD WINAPI threadEntry(void* raw) {
    ThreadStart start = *static_cast<ThreadStart*>(raw);
    delete static_cast<ThreadStart*>(raw);
    start.proc(start.arg);
    return 0;
}

CRITICAL_SECTION* sectionOf(PlatformLock* lock) {
    return reinterpret_cast<CRITICAL_SECTION*>(lock->storage);
}

HANDLE* eventHandleOf(PlatformEvent* event) {
    return reinterpret_cast<HANDLE*>(event->storage);
}

HANDLE fileHandleOf(PlatformFile* file) {
    return static_cast<HANDLE>(file->handle);
}

bool writeAndFlush(HANDLE h, const void* bytes, size_t count) {
    const char* p = static_cast<const char*>(bytes);
    while (count > 0) {
        DWORD chunk = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
        DWORD written = 0;
        if (!WriteFile(h, p, chunk, &written, nullptr) || written == 0) return false;
        p += written;
        count -= written;
    }
    return FlushFileBuffers(h) != 0;
}

} // namespace

void platformLocalTime(SystemTime* out) {
    GetLocalTime(reinterpret_cast<SYSTEMTIME*>(out));
}

void platformSleep(uint32_t ms) {
    Sleep(ms);
}

uint64_t platformTickMs() {
    return GetTickCount64();
}

void platformUptime(uint64_t* awakeMs, uint64_t* sleptMs) {
    // The tick count runs on while the machine is suspended; the unbiased interrupt time (100 ns
    // units, same start) does not. Their difference is the time spent suspended.
    ULONGLONG unbiased = 0;
    QueryUnbiasedInterruptTime(&unbiased);
    uint64_t awake = unbiased / 10000u;
    uint64_t total = GetTickCount64();
    *awakeMs = awake;
    *sleptMs = total > awake ? total - awake : 0;
}

void platformDebugOutput(const char* text) {
    OutputDebugStringA(text);
}

bool threadStart(PlatformThread* thread, PlatformThreadProc proc, void* arg,
                 PlatformPriority priority) {
    thread->handle = nullptr;
    ThreadStart* start = new (std::nothrow) ThreadStart{proc, arg};
    if (!start) return false;
    HANDLE h = CreateThread(nullptr, 0, threadEntry, start, CREATE_SUSPENDED, nullptr);
    if (!h) {
        delete start;
        return false;
    }
    SetThreadPriority(h, static_cast<int>(priority));
    ResumeThread(h);
    thread->handle = h;
    return true;
}

void threadJoin(PlatformThread* thread) {
    WaitForSingleObject(thread->handle, INFINITE);
    CloseHandle(thread->handle);
    thread->handle = nullptr;
}

bool threadJoinFor(PlatformThread* thread, uint32_t ms) {
    if (WaitForSingleObject(thread->handle, ms) != WAIT_OBJECT_0) return false;
    CloseHandle(thread->handle);
    thread->handle = nullptr;
    return true;
}

void lockInit(PlatformLock* lock) {
    InitializeCriticalSection(sectionOf(lock));
}
void lockDestroy(PlatformLock* lock) {
    DeleteCriticalSection(sectionOf(lock));
}
void lockEnter(PlatformLock* lock) {
    EnterCriticalSection(sectionOf(lock));
}
void lockLeave(PlatformLock* lock) {
    LeaveCriticalSection(sectionOf(lock));
}

void eventInit(PlatformEvent* event) {
    *eventHandleOf(event) = CreateEventW(nullptr, FALSE, FALSE, nullptr);
}
void eventDestroy(PlatformEvent* event) {
    CloseHandle(*eventHandleOf(event));
}
void eventSignal(PlatformEvent* event) {
    SetEvent(*eventHandleOf(event));
}

bool eventWait(PlatformEvent* event, uint32_t ms) {
    return WaitForSingleObject(*eventHandleOf(event), ms) == WAIT_OBJECT_0;
}

bool fileOpenRead(PlatformFile* file, const char16* path) {
    HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    file->handle = h == INVALID_HANDLE_VALUE ? nullptr : h;
    return file->handle != nullptr;
}

size_t fileRead(PlatformFile* file, void* buffer, size_t count) {
    size_t done = 0;
    while (done < count) {
        DWORD chunk = count - done > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count - done);
        DWORD got = 0;
        if (!ReadFile(fileHandleOf(file), static_cast<char*>(buffer) + done, chunk, &got,
                      nullptr) ||
            got == 0)
            break;
        done += got;
    }
    return done;
}

int64_t fileSeek(PlatformFile* file, int64_t offset, PlatformSeek origin) {
    LARGE_INTEGER distance, position;
    distance.QuadPart = offset;
    if (!SetFilePointerEx(fileHandleOf(file), distance, &position, static_cast<DWORD>(origin)))
        return -1;
    return position.QuadPart;
}

int64_t fileTell(PlatformFile* file) {
    return fileSeek(file, 0, SEEK_FROM_CURRENT);
}

int64_t fileSizeOf(PlatformFile* file) {
    LARGE_INTEGER size;
    return GetFileSizeEx(fileHandleOf(file), &size) ? size.QuadPart : -1;
}

void fileClose(PlatformFile* file) {
    if (file->handle) CloseHandle(fileHandleOf(file));
    file->handle = nullptr;
}

int64_t pathFileSize(const char16* path) {
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW(path, &found);
    if (h == INVALID_HANDLE_VALUE) return -1;
    FindClose(h);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
    return (static_cast<int64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

namespace {

constexpr int REPLACE_RETRIES = 10;
constexpr DWORD REPLACE_RETRY_MS = 20;

// Puts the written temporary file in the place of `path` by one rename that overwrites: the name
// holds the old file or the new one at every moment, never none. ReplaceFileW may remove the old
// file before it renames the new one (Wine's does), and a reader or a crash in between then finds
// no file at all.
bool placeNewFile(const wchar_t* path, const wchar_t* temp) {
    return MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

} // namespace

bool pathReplaceFile(const char16* path, const void* bytes, size_t count) {
    std::wstring temp = std::wstring(path) + L".new";
    HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = writeAndFlush(h, bytes, count);
    ok = CloseHandle(h) && ok;
    // Another program reading the old file for a moment (a backup, a virus scanner, an editor
    // peeking) makes the replacement fail; a few short retries keep such a save from being lost,
    // while a file locked for good still fails within a fifth of a second.
    for (int attempt = 0; ok; ++attempt) {
        if (placeNewFile(path, temp.c_str())) break;
        if (attempt == REPLACE_RETRIES)
            ok = false;
        else
            Sleep(REPLACE_RETRY_MS);
    }
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
}

bool pathDeleteFile(const char16* path) {
    return DeleteFileW(path) != 0;
}

bool pathRenameFile(const char16* from, const char16* to) {
    return MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

size_t text16Length(const char16* text) {
    return wcslen(text);
}

size_t platformCurrentDirectory(char16* out, size_t capacity) {
    if (capacity == 0) return 0;
    out[0] = 0;
    // The result counts the terminator only when the buffer was too small.
    DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(capacity), out);
    if (length == 0 || length >= capacity) {
        out[0] = 0;
        return 0;
    }
    return length;
}
