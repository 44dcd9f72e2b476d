// The loaded plug-ins, in the order the plug-in folder listed them, and their registration as
// codecs. The list is filled once at start-up and does not change while the engine is open, so
// the codec table may point into it.
#pragma once

#include <cstdint>

#include "sound/format_plugin.h"

struct PluginList {
    uint32_t count;
    FormatPlugin* items; // owned
};

// Appends a zeroed record and returns it; null (list unchanged) when memory runs out.
FormatPlugin* pluginListGrow(PluginList* list);
// Removes the last record (after its module was released).
void pluginListDropLast(PluginList* list);
// Frees the records; the modules must have been released before.
void pluginListClear(PluginList* list);
// Registers one codec per plug-in in list order. The engine's table takes as many as it has
// room for; the rest stay loaded but are never asked. Returns how many were registered.
uint32_t pluginListRegister(PluginList* list);
