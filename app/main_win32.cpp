// Entry point: one running watch per logon, working in its own folder.
#include <windows.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "app/watch_app_win32.h"
#include "gfx/image_table.h"
#include "gfx/image_table_win32.h"
#include "sound/plugin_loader_win32.h"
#include "util/ansi_text_win32.h"
#include "util/file_util.h"
#include "util/path_util.h"
#include "util/text_convert.h"

namespace {

// Plug-ins are loaded by full path only; no DLL may come from the current folder. The call
// exists from Windows 8 on (and on 7 with an update), so it is looked up rather than linked.
void restrictDllSearch() {
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    SetDirectories set = reinterpret_cast<SetDirectories>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (set) set(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
}

// Makes the program's own folder the working directory, so Setting.xml and Alarm.xml are
// found beside the program whatever folder it was started from.
void enterProgramFolder() {
    if (__argc < 1 || !__argv || !__argv[0]) return;
    char programPath[260];
    snprintf(programPath, sizeof programPath, "%s", __argv[0]);
    wchar_t* wide = ansiToWide(programPath);
    if (!wide) return;
    wchar_t folder[PATH_UNITS];
    if (directoryOf(wide, folder, PATH_UNITS) > 0) SetCurrentDirectoryW(folder);
    freeText(wide);
}

// Decoder plug-ins come from the "plugin" folder beside the program, which is now the
// working directory.
void loadProgramPlugins() {
    wchar_t folder[PATH_UNITS];
    DWORD length = GetCurrentDirectoryW(PATH_UNITS, folder);
    if (length > 0 && length < PATH_UNITS) loadPlugins(folder);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    if (FindWindowW(WATCH_CLASS, nullptr)) return 0;
    restrictDllSearch();
    setlocale(LC_ALL, "Japanese");
    enterProgramFolder();
    loadProgramPlugins();
    loadImageTable(instance);

    WatchApp* app = new (std::nothrow) WatchApp(instance);
    if (!app) return 0;
    if (!app->create(showCommand)) {
        app->destroy();
        delete app;
        return 0;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    app->destroy();
    delete app;
    freeImageTable();
    unloadPlugins();
    return 0;
}
