#include "watch/watch_window_win32.h"
#include "tests/e2e/e2e_support.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>

namespace {

// How long a drop may take the program (it opens the file and a popup) before it counts as lost.
constexpr UINT DROP_ANSWER_MS = 10000;

void removeTree(const std::wstring& folder) {
    for (const std::wstring& name : filesIn(folder)) {
        std::wstring full = folder + L"\\" + name;
        if (GetFileAttributesW(full.c_str()) & FILE_ATTRIBUTE_DIRECTORY)
            removeTree(full);
        else
            DeleteFileW(full.c_str());
    }
    RemoveDirectoryW(folder.c_str());
}

struct ClassSearch {
    const wchar_t* className;
    DWORD pid;
    std::vector<HWND>* found;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM lParam) {
    ClassSearch* search = reinterpret_cast<ClassSearch*>(lParam);
    wchar_t name[64];
    GetClassNameW(window, name, 64);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (lstrcmpW(name, search->className) == 0 && (search->pid == 0 || owner == search->pid))
        search->found->push_back(window);
    return TRUE;
}

} // namespace

ProgramFolder::ProgramFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static unsigned counter = 0;
    wchar_t name[64];
    swprintf(name, 64, L"vesk-e2e-%lu-%u", GetCurrentProcessId(), ++counter);
    folder = std::wstring(temp) + name;
    CreateDirectoryW(folder.c_str(), nullptr);
    CopyFileW(hostPath(VESK_EXE_PATH).c_str(), exe().c_str(), FALSE);
}

ProgramFolder::~ProgramFolder() {
    removeTree(folder);
}

bool VeskProcess::start(const std::wstring& exe, const std::wstring& workingDir,
                        const std::wstring& startedAs) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring commandLine = startedAs.empty() ? L"\"" + exe + L"\"" : startedAs;
    std::wstring dir = workingDir;
    if (dir.empty()) dir = exe.substr(0, exe.find_last_of(L'\\'));
    return CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          dir.c_str(), &startup, &info) != 0;
}

void VeskProcess::kill() {
    if (!info.hProcess) return;
    TerminateProcess(info.hProcess, 99);
    WaitForSingleObject(info.hProcess, 5000);
}

VeskProcess::~VeskProcess() {
    if (!info.hProcess) return;
    if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info.hProcess, 99);
        WaitForSingleObject(info.hProcess, 5000);
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
}

HWND VeskProcess::waitForWatchWindow(DWORD timeoutMs) {
    HWND window = nullptr;
    waitFor(
        [&] {
            std::vector<HWND> found = windowsOfClass(WATCH_CLASS, info.dwProcessId);
            window = found.empty() ? nullptr : found[0];
            return window != nullptr;
        },
        timeoutMs);
    return window;
}

DWORD VeskProcess::waitForExit(DWORD timeoutMs) {
    if (WaitForSingleObject(info.hProcess, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
}

std::wstring hostPath(const char* host) {
    std::wstring path;
    if (host[0] == '/') path = L"Z:";
    for (const char* c = host; *c; ++c)
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    return path;
}

std::vector<HWND> windowsOfClass(const wchar_t* className, DWORD pid) {
    std::vector<HWND> found;
    ClassSearch search{className, pid, &found};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
    return found;
}

std::string readFileBytes(const std::wstring& path) {
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return std::string();
    std::string bytes;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, n);
    fclose(f);
    return bytes;
}

bool fileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void writeFileBytes(const std::wstring& path, const std::string& bytes) {
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

std::vector<std::wstring> filesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(h, &found));
    FindClose(h);
    return names;
}

// Puts a DROPFILES block naming `paths` into the program's own memory and hands it over as
// WM_DROPFILES, as a drop from the shell arrives. A block made in this process would mean
// nothing to the program's DragQueryFile. The program's DragFinish cannot free a block made this
// way, so it is freed here once the program has handled the drop: left behind, every drop would
// cost the program a page for good, and a soak of many drops would show it as a leak.
bool dropFiles(HWND window, DWORD pid, const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const std::wstring& p : paths)
        list += p + L'\0';
    list += L'\0';
    std::vector<char> block(sizeof(DROPFILES) + list.size() * sizeof(wchar_t), 0);
    DROPFILES* header = reinterpret_cast<DROPFILES*>(block.data());
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    memcpy(block.data() + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return false;
    void* remote =
        VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    bool written =
        remote && WriteProcessMemory(process, remote, block.data(), block.size(), nullptr);
    DWORD_PTR answer = 0;
    bool handled =
        written && SendMessageTimeoutW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0,
                                       SMTO_NORMAL, DROP_ANSWER_MS, &answer) != 0;
    // A drop still being handled keeps its block; it is freed only once the program is done.
    if (remote && (handled || !written)) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return handled;
}
