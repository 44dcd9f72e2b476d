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
// text goes to a temporary file that then takes the old one's place. True when the new file is
// in place; on false the old file is unchanged.
bool writeWholeFile(const char16* path, const void* bytes, uint32_t count);
// Deletes the file.
void deleteFile(const char16* path);
// Writes `bytes` beside `path` as "<path>.bad": a file the program could not take is kept there
// so that the next save does not destroy what the user wrote. False when the longer name does
// not fit PATH_UNITS or the write fails.
bool keepBadCopy(const char16* path, const void* bytes, uint32_t count);
