// Entry point: one running watch per logon, working in its own folder.
#include <windows.h>

#include <clocale>
#include <new>

#include "app/program_folder_win32.h"
#include "app/watch_app_win32.h"
#include "gfx/image_table.h"
#include "gfx/image_table_win32.h"
#include "sound/plugin_loader_win32.h"
#include "util/text_convert.h"

namespace {

// Plug-ins are loaded by full path only; no DLL may come from the current folder. The call
// exists from Windows 8 on (and on 7 with an update), so it is looked up rather than linked.
// Without it the current folder is at least taken out of the search.
void restrictDllSearch() {
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    SetDirectories set = reinterpret_cast<SetDirectories>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (!set || !set(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS)) SetDllDirectoryW(L"");
}

enum class FolderStart { Entered, Unknown, Refused };

// Makes the program's own folder the working directory, so Setting.xml and Alarm.xml are
// found beside the program whatever folder it was started from, and loads the decoder plug-ins
// from the "plugin" folder there. Without a known folder no plug-in is loaded. A folder that is
// known but cannot be entered refuses the start: the settings would land in a stranger's folder.
FolderStart enterProgramFolder() {
    wchar_t* folder = programFolder();
    if (!folder) return FolderStart::Unknown;
    wchar_t* entered = enterFolder(folder);
    freeText(folder);
    if (!entered) return FolderStart::Refused;
    loadPlugins(entered);
    freeText(entered);
    return FolderStart::Entered;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    if (FindWindowW(WATCH_CLASS, nullptr)) return 0;
    restrictDllSearch();
    setlocale(LC_ALL, "Japanese");
    if (enterProgramFolder() == FolderStart::Refused) return 0;
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
