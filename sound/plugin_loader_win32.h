// Decoder plug-in DLLs from the program's "plugin" folder: loaded once at start-up, registered
// as codecs once the engine is open, released at the very end after the engine has closed.
#pragma once

#include <cstdint>

struct PluginList;

// Loads every usable "<folder>\plugin\*<suffix>.dll" (suffix X64 or X86 by build) in the order
// the folder lists them. A DLL that fails to load or to qualify is released and left out.
void loadPlugins(const wchar_t* folder);
// Registers the loaded plug-ins as codecs after the WAVE codec; returns how many the engine's
// table took.
uint32_t registerPlugins();
// Releases every plug-in DLL and the list. The engine must be closed.
void unloadPlugins();
// The plug-ins currently loaded.
const PluginList* loadedPlugins();
