// Splitting UTF-16 paths into folder and file name; '\' and '/' both separate.
#pragma once

#include <cstddef>

#include "platform/platform.h"

// Length of the folder part of `path` (a drive root keeps its separator: "C:\"). With a null
// `out` only the length is returned. Returns 0 and writes nothing if `capacity` <= length.
size_t directoryOf(const char16* path, char16* out, size_t capacity);
// Length of the file-name part of `path` (a separator at index 0 stays part of the name). With
// a null `out` only the length is returned. Returns 0 if `capacity` <= length.
size_t fileNameOf(const char16* path, char16* out, size_t capacity);
