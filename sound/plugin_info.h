// What decides whether a DLL in the plug-in folder becomes a plug-in: the file names searched
// for, the information texts it reports and the entry points it must export.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"
#include "sound/format_plugin.h"

// Bytes of the buffer handed to the information export.
constexpr uint32_t PLUGIN_INFO_BYTES = 128;

// Converts NUL-terminated text in some 8-bit encoding to a heap string released with freeText;
// null when it cannot.
using TextToWideFn = char16* (*)(const char* text);

// Stores information text in `out` as the export's result says: negative = none (empty),
// 0 = the system code page (through `ansi`), 1 = UTF-8, 2 or more = UTF-16. Text that fails
// to convert is kept as the raw buffer read as UTF-16. Longer text is cut to fit, always
// terminated and never inside a surrogate pair.
void pluginStoreText(int32_t kind, const uint8_t buffer[PLUGIN_INFO_BYTES], TextToWideFn ansi,
                     char16 out[PLUGIN_TEXT_UNITS]);
// Whether an information text reads as the interface version: the leading decimal number
// ("0100" and "100 beta" are 100).
bool pluginVersionAccepted(const char16* text);
// Whether a loaded DLL may stay: the right version, a check entry point, and a delete entry
// point whenever it decodes for itself.
bool pluginUsable(const FormatPlugin* plugin);

// "<folder>\plugin\*<suffix>.dll"; false (and `out` empty) when it does not fit `capacity`.
bool pluginSearchPattern(char16* out, size_t capacity, const char16* folder, const char16* suffix);
// "<folder>\plugin\<name>"; false (and `out` empty) when it does not fit `capacity`.
bool pluginFilePath(char16* out, size_t capacity, const char16* folder, const char16* name);
// Whether `name` ends in "<suffix>.dll" (ASCII letters in any case). The directory search may
// also match a file through its short name; only the full name counts.
bool pluginNameMatches(const char16* name, const char16* suffix);
