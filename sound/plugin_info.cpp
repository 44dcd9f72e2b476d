// Plug-in admission rules: information texts, the version check, the entry-point rules and the
// file names of the plug-in folder.
#include "sound/plugin_info.h"

#include <cstring>

#include "util/text_convert.h"

namespace {

bool isHighSurrogate(char16 unit) {
    return static_cast<uint16_t>(unit) >= 0xD800 && static_cast<uint16_t>(unit) <= 0xDBFF;
}

// Ends the text at `length` units, moving back over a high surrogate whose partner was cut.
void terminateAt(char16* out, size_t length) {
    if (length > 0 && isHighSurrogate(out[length - 1])) --length;
    out[length] = 0;
}

void copyWide(char16 out[PLUGIN_TEXT_UNITS], const char16* text) {
    size_t n = 0;
    while (n < PLUGIN_TEXT_UNITS - 1 && text[n])
        out[n] = text[n], ++n;
    terminateAt(out, n);
}

// The buffer read as little-endian UTF-16; it need not be aligned or terminated.
void copyRaw(char16 out[PLUGIN_TEXT_UNITS], const uint8_t* buffer) {
    size_t n = 0;
    for (; n < PLUGIN_TEXT_UNITS - 1; ++n) {
        uint16_t unit = static_cast<uint16_t>(buffer[2 * n] | buffer[2 * n + 1] << 8);
        if (unit == 0) break;
        out[n] = static_cast<char16>(unit);
    }
    terminateAt(out, n);
}

char16 asciiLower(char16 c) {
    return c >= U16('A') && c <= U16('Z') ? static_cast<char16>(c - U16('A') + U16('a')) : c;
}

// Appends `text` at `*length`; false when it and the terminator do not fit.
bool append(char16* out, size_t capacity, size_t* length, const char16* text) {
    size_t n = text16Length(text);
    if (*length + n >= capacity) return false;
    std::memcpy(out + *length, text, n * sizeof(char16));
    *length += n;
    out[*length] = 0;
    return true;
}

bool joinPath(char16* out, size_t capacity, const char16* const* parts, int count) {
    if (capacity == 0) return false;
    out[0] = 0;
    size_t length = 0;
    for (int k = 0; k < count; ++k) {
        if (!append(out, capacity, &length, parts[k])) {
            out[0] = 0;
            return false;
        }
    }
    return true;
}

} // namespace

void pluginStoreText(int32_t kind, const uint8_t buffer[PLUGIN_INFO_BYTES], TextToWideFn ansi,
                     char16 out[PLUGIN_TEXT_UNITS]) {
    out[0] = 0;
    if (kind < 0) return;
    if (kind <= 1) {
        char text[PLUGIN_INFO_BYTES + 1];
        std::memcpy(text, buffer, PLUGIN_INFO_BYTES);
        text[PLUGIN_INFO_BYTES] = 0; // the plug-in may have filled the whole buffer
        char16* wide = kind == 0 ? (ansi ? ansi(text) : nullptr) : utf8ToWide(text);
        if (wide) {
            copyWide(out, wide);
            freeText(wide);
            return;
        }
    }
    copyRaw(out, buffer);
}

bool pluginVersionAccepted(const char16* text) {
    const char16* s = text;
    while (*s == U16(' ') || *s == U16('\t'))
        ++s;
    if (*s == U16('+')) ++s;
    uint32_t value = 0;
    bool digits = false;
    for (; *s >= U16('0') && *s <= U16('9'); ++s) {
        digits = true;
        // Past the version's size the exact value no longer matters; stop before overflowing.
        if (value > PLUGIN_INTERFACE_VERSION) return false;
        value = value * 10 + static_cast<uint32_t>(*s - U16('0'));
    }
    return digits && value == PLUGIN_INTERFACE_VERSION;
}

bool pluginUsable(const FormatPlugin* plugin) {
    return pluginVersionAccepted(plugin->texts[PLUGIN_TEXT_VERSION]) && plugin->check &&
           (!plugin->load || plugin->remove);
}

bool pluginSearchPattern(char16* out, size_t capacity, const char16* folder, const char16* suffix) {
    const char16* parts[] = {folder, U16("\\plugin\\*"), suffix, U16(".dll")};
    return joinPath(out, capacity, parts, 4);
}

bool pluginFilePath(char16* out, size_t capacity, const char16* folder, const char16* name) {
    const char16* parts[] = {folder, U16("\\plugin\\"), name};
    return joinPath(out, capacity, parts, 3);
}

bool pluginNameMatches(const char16* name, const char16* suffix) {
    static const char16 extension[] = U16(".dll");
    size_t nameLength = text16Length(name);
    size_t suffixLength = text16Length(suffix);
    size_t tailLength = suffixLength + 4;
    if (nameLength < tailLength) return false;
    const char16* tail = name + nameLength - tailLength;
    for (size_t k = 0; k < tailLength; ++k) {
        char16 expected = k < suffixLength ? suffix[k] : extension[k - suffixLength];
        if (asciiLower(tail[k]) != asciiLower(expected)) return false;
    }
    return true;
}
