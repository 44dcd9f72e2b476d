// Drives a running Vesk from outside for the sound scripts, one action per run:
//   watch_remote wait-watch        waits until the watch window is up (exit 1 after 60 s)
//   watch_remote drop FILE         drops FILE on the watch: a popup plays it once
//   watch_remote popups            prints how many popups are open
//   watch_remote quit              quits and prints the milliseconds until the process ended
//                                  (exit 1 when it did not end within 10 s)
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/e2e/e2e_support.h"
#include "watch/menu_commands.h"

namespace {

HWND watchWindow(DWORD* pid) {
    std::vector<HWND> found = windowsOfClass(L"Korvanex-100");
    if (found.empty()) return nullptr;
    GetWindowThreadProcessId(found[0], pid);
    return found[0];
}

int waitWatch() {
    DWORD pid = 0;
    return waitFor([&] { return watchWindow(&pid) != nullptr; }, 60000) ? 0 : 1;
}

int drop(const wchar_t* file) {
    DWORD pid = 0;
    HWND watch = watchWindow(&pid);
    if (!watch) return 1;
    return dropFiles(watch, pid, {file}) ? 0 : 1;
}

int quit() {
    DWORD pid = 0;
    HWND watch = watchWindow(&pid);
    if (!watch) return 1;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!process) return 1;
    DWORD start = GetTickCount();
    PostMessageW(watch, WM_COMMAND, CMD_QUIT, 0);
    bool ended = WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
    CloseHandle(process);
    std::printf("%lu\n", GetTickCount() - start);
    return ended ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring action = argc > 1 ? argv[1] : L"";
    if (action == L"wait-watch") return waitWatch();
    if (action == L"drop" && argc > 2) return drop(argv[2]);
    if (action == L"popups") {
        std::printf("%u\n", unsigned(windowsOfClass(L"ALARM-CLASS").size()));
        return 0;
    }
    if (action == L"quit") return quit();
    std::fprintf(stderr, "usage: watch_remote wait-watch | drop FILE | popups | quit\n");
    return 2;
}
