// Finding, loading and releasing the plug-in DLLs.
#include "sound/plugin_loader_win32.h"

#include <windows.h>

#include "sound/plugin_info.h"
#include "sound/plugin_list.h"
#include "util/ansi_text_win32.h"

namespace {

// Process-wide: filled before WatchApp exists and released after it is gone.
PluginList g_plugins = {0, nullptr};

template <typename Fn> Fn entryPoint(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

void readTexts(FormatPlugin* plugin, PluginInfoFn info) {
    for (int k = 0; k < PLUGIN_TEXT_COUNT; ++k) {
        uint8_t buffer[PLUGIN_INFO_BYTES] = {};
        int32_t kind = info(static_cast<uint32_t>(k), buffer, PLUGIN_INFO_BYTES);
        pluginStoreText(kind, buffer, ansiToWide, plugin->texts[k]);
    }
}

// Reads the texts and entry points of a loaded DLL; false when it may not stay.
bool describePlugin(FormatPlugin* plugin, HMODULE module) {
    PluginInfoFn info = entryPoint<PluginInfoFn>(module, "kxfuncPluginInfo");
    if (!info) return false;
    readTexts(plugin, info);
    plugin->check = entryPoint<PluginCheckFn>(module, "kxfuncFormatCheck");
    plugin->seek = entryPoint<PluginFormatSeekFn>(module, "kxfuncFormatSeek");
    plugin->load = entryPoint<PluginPcmLoadFn>(module, "kxfuncFormatPcmLoad");
    plugin->remove = entryPoint<PluginDeleteFn>(module, "kxfuncFormatDelete");
    return pluginUsable(plugin);
}

// Loads the DLL at its full path. The DLLs it needs itself resolve from its own folder and the
// system's, never from the current folder. A system without the search flags (Windows 7 before
// its loader update) refuses them; it then searches the DLL's folder first the older way, and
// the entry point has already taken the current folder out of its search.
// A broken DLL must not bring up a system error box at start-up.
HMODULE loadQuietly(const wchar_t* path) {
    DWORD previous = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous);
    HMODULE module = LoadLibraryExW(
        path, nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (!module && GetLastError() == ERROR_INVALID_PARAMETER)
        module = LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    SetThreadErrorMode(previous, nullptr);
    return module;
}

void loadPlugin(const wchar_t* folder, const wchar_t* name) {
    wchar_t path[MAX_PATH];
    // A name that does not fit is not cut short: that could name another DLL.
    if (!pluginNameMatches(name, VESK_PLUGIN_SUFFIX) ||
        !pluginFilePath(path, MAX_PATH, folder, name))
        return;
    FormatPlugin* plugin = pluginListGrow(&g_plugins);
    if (!plugin) return;
    HMODULE module = loadQuietly(path);
    if (module && describePlugin(plugin, module)) {
        plugin->module = module;
        return;
    }
    if (module) FreeLibrary(module);
    pluginListDropLast(&g_plugins);
}

} // namespace

void loadPlugins(const wchar_t* folder) {
    wchar_t pattern[MAX_PATH];
    if (!pluginSearchPattern(pattern, MAX_PATH, folder, VESK_PLUGIN_SUFFIX)) return;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            loadPlugin(folder, found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

uint32_t registerPlugins() {
    return pluginListRegister(&g_plugins);
}

void unloadPlugins() {
    for (uint32_t k = 0; k < g_plugins.count; ++k)
        FreeLibrary(static_cast<HMODULE>(g_plugins.items[k].module));
    pluginListClear(&g_plugins);
}

const PluginList* loadedPlugins() {
    return &g_plugins;
}
