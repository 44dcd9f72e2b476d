// Fuzzes what a plug-in reports about itself: any result code and any 128 buffer bytes must give
// a terminated text of at most 63 units that never ends inside a surrogate pair, and a version
// check that reads nothing past the terminator.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "sound/plugin_info.h"
#include "util/text_convert.h"

namespace {

// The system code page stand-in: bytes as Latin-1.
char16* latin1ToWide(const char* text) {
    size_t n = std::strlen(text);
    if (n == 0) return nullptr;
    char16* out = static_cast<char16*>(std::malloc((n + 1) * sizeof(char16)));
    if (!out) return nullptr;
    for (size_t k = 0; k <= n; ++k)
        out[k] = static_cast<char16>(static_cast<unsigned char>(text[k]));
    return out;
}

bool isHigh(uint16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLow(uint16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// UTF-16 text is kept as it came: a prefix of the buffer's units that never ends between the
// two halves of a pair.
void checkRawText(const uint8_t* buffer, const char16* out, size_t length) {
    uint16_t units[PLUGIN_INFO_BYTES / 2 + 1] = {};
    for (size_t k = 0; k < PLUGIN_INFO_BYTES / 2; ++k)
        units[k] = static_cast<uint16_t>(buffer[2 * k] | buffer[2 * k + 1] << 8);
    for (size_t k = 0; k < length; ++k)
        if (static_cast<uint16_t>(out[k]) != units[k]) std::abort();
    if (length > 0 && isHigh(units[length - 1]) && isLow(units[length])) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    int32_t kind = static_cast<int8_t>(data[0]);
    uint8_t buffer[PLUGIN_INFO_BYTES] = {};
    std::memcpy(buffer, data + 1, size - 1 < sizeof buffer ? size - 1 : sizeof buffer);
    char16 out[PLUGIN_TEXT_UNITS + 1];
    out[PLUGIN_TEXT_UNITS] = U16('!'); // a guard the store must never reach
    pluginStoreText(kind, buffer, latin1ToWide, out);
    if (out[PLUGIN_TEXT_UNITS] != U16('!')) std::abort();
    size_t length = 0;
    while (length < PLUGIN_TEXT_UNITS && out[length])
        ++length;
    if (length == PLUGIN_TEXT_UNITS) std::abort();
    if (kind >= 2) checkRawText(buffer, out, length);
    pluginVersionAccepted(out);
    return 0;
}
