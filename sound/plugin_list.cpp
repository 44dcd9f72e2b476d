// Growth, release and registration of the plug-in list.
#include "sound/plugin_list.h"

#include <cstdlib>
#include <cstring>

#include "sound/sound_engine.h"

FormatPlugin* pluginListGrow(PluginList* list) {
    size_t bytes = (static_cast<size_t>(list->count) + 1) * sizeof(FormatPlugin);
    FormatPlugin* items = static_cast<FormatPlugin*>(std::realloc(list->items, bytes));
    if (!items) return nullptr;
    list->items = items;
    FormatPlugin* added = &items[list->count++];
    std::memset(added, 0, sizeof *added);
    return added;
}

void pluginListDropLast(PluginList* list) {
    if (list->count > 0) --list->count;
}

void pluginListClear(PluginList* list) {
    std::free(list->items);
    list->items = nullptr;
    list->count = 0;
}

uint32_t pluginListRegister(PluginList* list) {
    uint32_t registered = 0;
    for (uint32_t k = 0; k < list->count; ++k) {
        if (EngineRegisterCodec(pluginProbe, &list->items[k]) == SND_OK) ++registered;
    }
    return registered;
}
