// Whole-file reading and writing for the settings and alarm files. Paths are UTF-16, at most
// 260 units.
#pragma once

#include <cstdint>

#include "platform/platform.h"

constexpr int PATH_UNITS = 260;

// Size of the file as its directory entry lists it (low 32 bits); 0 if there is no such file.
uint32_t fileSize(const char16* path);
// Reads the whole file into `buffer`. Returns the bytes read; 0 if the file does not exist or
// is larger than `capacity` (then nothing is read).
uint32_t readWholeFile(const char16* path, void* buffer, uint32_t capacity);
// Replaces the file's contents with `bytes` without ever truncating the old copy first: the new
// text goes to "<path>.new", which then takes the old one's place in one rename, so the name
// holds a complete file at every moment. True when the new file is in place; on false the old
// file is unchanged. A file another program holds open for a moment is retried briefly.
bool writeWholeFile(const char16* path, const void* bytes, uint32_t count);
// Deletes the file.
void deleteFile(const char16* path);

// What reading a whole file found.
enum FileRead {
    FILE_READ_OK,        // `*bytes` holds the file
    FILE_READ_NONE,      // no such file, or an empty one: nothing to lose
    FILE_READ_TOO_LARGE, // larger than the limit; not read
    FILE_READ_FAILED,    // there, but it could not be read (locked, no permission, out of memory)
};
// Reads the whole file, of at most `limit` bytes, into a new buffer that the caller frees with
// free(). `*bytes` and `*count` are set only for FILE_READ_OK.
FileRead readFileBytes(const char16* path, uint32_t limit, char** bytes, uint32_t* count);

// Copies of a file the program could not take, kept so that the next save does not destroy what
// the user wrote: "<path>.bad" is the newest, then "<path>.2.bad" up to "<path>.5.bad".
constexpr int BAD_COPIES = 5;
// Writes `bytes` as "<path>.bad", first moving the earlier copies one number up (the oldest
// falls off). False, with nothing overwritten, when a name does not fit PATH_UNITS, an earlier
// copy cannot be moved or the write fails.
bool keepBadCopy(const char16* path, const void* bytes, uint32_t count);

// The name a save writes before it renames the file into place: "<path>.new". A crash between
// the two leaves the complete new text there. False when the name does not fit PATH_UNITS.
bool newCopyPath(const char16* path, char16* out);
// Puts "<path>.new" in the place of `path` in one step. True when done.
bool adoptNewCopy(const char16* path);
