// Helpers for driving the real Vesk.exe from outside, as a user would: a fresh program folder
// per case, starting and ending the process, finding its windows and reading its files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A copy of the program in a new, empty temporary folder; removed with its files at the end.
class ProgramFolder {
  public:
    ProgramFolder();
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    const std::wstring& path() const { return folder; }
    std::wstring exe() const { return folder + L"\\Vesk.exe"; }
    std::wstring file(const wchar_t* name) const { return folder + L"\\" + name; }

  private:
    std::wstring folder;
};

// One started Vesk process; ended by force when the case is over if it still runs.
class VeskProcess {
  public:
    // Starts `exe` with `workingDir` as the current directory (its own folder when empty) and
    // `commandLine` as what it was started with (the quoted `exe` when empty).
    bool start(const std::wstring& exe, const std::wstring& workingDir = L"",
               const std::wstring& commandLine = L"");
    ~VeskProcess();

    // Waits until the process shows its watch window; null after `timeoutMs`.
    HWND waitForWatchWindow(DWORD timeoutMs = 20000);
    // Waits for the process to end; returns its exit code, or STILL_ACTIVE on time-out.
    DWORD waitForExit(DWORD timeoutMs = 20000);
    DWORD id() const { return info.dwProcessId; }
    // Ends the process at once, as the system does to a program at the end of a session, and
    // waits until it is gone.
    void kill();

  private:
    PROCESS_INFORMATION info = {};
};

// A path of the build machine as this program sees it (under Wine the host's root is Z:).
std::wstring hostPath(const char* path);
// Windows of `className` belonging to process `pid` (any process when pid is 0).
std::vector<HWND> windowsOfClass(const wchar_t* className, DWORD pid = 0);
// The bytes of a file, or an empty string when it cannot be read.
std::string readFileBytes(const std::wstring& path);
bool fileExists(const std::wstring& path);
void writeFileBytes(const std::wstring& path, const std::string& bytes);
// Names of the files in a folder (not . and ..).
std::vector<std::wstring> filesIn(const std::wstring& folder);
// Drops `paths` on `window` of process `pid` as the shell would (WM_DROPFILES with a block in
// the program's own memory); returns once the program has handled the drop.
bool dropFiles(HWND window, DWORD pid, const std::vector<std::wstring>& paths);
// Polls `condition` every 50 ms until it holds or `timeoutMs` passes.
template <typename F> bool waitFor(F condition, DWORD timeoutMs = 10000) {
    for (DWORD waited = 0;; waited += 50) {
        if (condition()) return true;
        if (waited >= timeoutMs) return false;
        Sleep(50);
    }
}
// True when `condition` still holds after `ms` milliseconds of polling; false at the first poll
// it fails, so a case that must see nothing change fails as soon as something does.
template <typename F> bool holdsFor(F condition, DWORD ms) {
    return !waitFor([&] { return !condition(); }, ms);
}
