#include "util/text_convert.h"

#include <cstdlib>

namespace {

// Decodes one UTF-8 sequence at `s`; returns its length, or 0 if it is not valid UTF-8.
int decodeUtf8(const unsigned char* s, uint32_t* code) {
    if (s[0] < 0x80) {
        *code = s[0];
        return 1;
    }
    int length = (s[0] & 0xE0) == 0xC0   ? 2
                 : (s[0] & 0xF0) == 0xE0 ? 3
                 : (s[0] & 0xF8) == 0xF0 ? 4
                                         : 0;
    if (length == 0) return 0;
    uint32_t c = s[0] & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((s[i] & 0xC0) != 0x80) return 0;
        c = (c << 6) | (s[i] & 0x3F);
    }
    static const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    *code = c;
    return length;
}

// Decodes one UTF-16 code point at `s`; returns units used, or 0 for an unpaired surrogate.
int decodeUtf16(const char16* s, uint32_t* code) {
    uint32_t c = static_cast<uint16_t>(s[0]);
    if (c < 0xD800 || c > 0xDFFF) {
        *code = c;
        return 1;
    }
    uint32_t low = static_cast<uint16_t>(s[1]);
    if (c > 0xDBFF || low < 0xDC00 || low > 0xDFFF) return 0;
    *code = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
    return 2;
}

int utf8Length(uint32_t c) {
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

} // namespace

char16* utf8ToWide(const char* text) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    size_t units = 0;
    for (size_t i = 0; s[i];) {
        uint32_t c = 0;
        int n = decodeUtf8(s + i, &c);
        if (n == 0) return nullptr;
        units += c >= 0x10000 ? 2 : 1;
        i += static_cast<size_t>(n);
    }
    if (units == 0) return nullptr;
    char16* out = static_cast<char16*>(malloc((units + 1) * sizeof(char16)));
    if (!out) return nullptr;
    size_t o = 0;
    for (size_t i = 0; s[i];) {
        uint32_t c = 0;
        i += static_cast<size_t>(decodeUtf8(s + i, &c));
        if (c >= 0x10000) {
            out[o++] = static_cast<char16>(0xD800 + ((c - 0x10000) >> 10));
            out[o++] = static_cast<char16>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out[o++] = static_cast<char16>(c);
        }
    }
    out[o] = 0;
    return out;
}

char* wideToUtf8(const char16* text) {
    size_t bytes = 0;
    for (size_t i = 0; text[i];) {
        uint32_t c = 0;
        int n = decodeUtf16(text + i, &c);
        if (n == 0) return nullptr;
        bytes += static_cast<size_t>(utf8Length(c));
        i += static_cast<size_t>(n);
    }
    if (bytes == 0) return nullptr;
    char* out = static_cast<char*>(malloc(bytes + 1));
    if (!out) return nullptr;
    size_t o = 0;
    for (size_t i = 0; text[i];) {
        uint32_t c = 0;
        i += static_cast<size_t>(decodeUtf16(text + i, &c));
        int n = utf8Length(c);
        static const unsigned char lead[] = {0, 0, 0xC0, 0xE0, 0xF0};
        for (int k = n - 1; k > 0; --k) {
            out[o + static_cast<size_t>(k)] = static_cast<char>(0x80 | (c & 0x3F));
            c >>= 6;
        }
        out[o] = static_cast<char>(n == 1 ? c : (lead[n] | c));
        o += static_cast<size_t>(n);
    }
    out[o] = 0;
    return out;
}

void freeText(void* text) {
    free(text);
}
