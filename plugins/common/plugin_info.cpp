// The information export every plug-in of ours shares: its name, description and file patterns
// from the plug-in's PLUGIN_TEXTS, the interface version and the author.
#include "plugins/common/plugin_info.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "sound/plugin_records.h"

#define PLUGIN_EXPORT extern "C" __declspec(dllexport)

namespace {

bool putText(void* buffer, uint32_t size, const void* text, size_t bytes) {
    if (!buffer || bytes > size) return false;
    std::memcpy(buffer, text, bytes);
    return true;
}

template <typename Char> size_t textBytes(const Char* text) {
    size_t n = 0;
    while (text[n])
        ++n;
    return (n + 1) * sizeof(Char);
}

} // namespace

PLUGIN_EXPORT int32_t PLUGIN_CALL kxfuncPluginInfo(uint32_t index, void* buffer, uint32_t size) {
    static const char version[] = "100";
    static const wchar_t author[] = L"Vesk";
    switch (index) {
    case 0:
        return putText(buffer, size, PLUGIN_TEXTS.name, textBytes(PLUGIN_TEXTS.name)) ? 0 : -1;
    case 1:
        return putText(buffer, size, PLUGIN_TEXTS.description, textBytes(PLUGIN_TEXTS.description))
                   ? 1
                   : -1;
    case 2:
        return putText(buffer, size, PLUGIN_TEXTS.extensions, textBytes(PLUGIN_TEXTS.extensions))
                   ? 2
                   : -1;
    case 3:
        return putText(buffer, size, version, sizeof version) ? 0 : -1;
    case 5:
        return putText(buffer, size, author, sizeof author) ? 2 : -1;
    default:
        return -1;
    }
}
