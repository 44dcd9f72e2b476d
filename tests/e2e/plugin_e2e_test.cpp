// Decoder plug-ins in the real program: the DLLs of its plugin folder are loaded at start-up,
// a broken one is left out without a word, and the program still ends cleanly.
#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <cwctype>

#include "tests/e2e/e2e_support.h"

namespace {

// Lower-case names of the modules loaded in process `pid`.
std::vector<std::wstring> modulesOf(DWORD pid) {
    std::vector<std::wstring> names;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE) return names;
    MODULEENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32FirstW(snapshot, &entry); more;
         more = Module32NextW(snapshot, &entry)) {
        std::wstring name = entry.szModule;
        std::transform(name.begin(), name.end(), name.begin(), towlower);
        names.push_back(name);
    }
    CloseHandle(snapshot);
    return names;
}

bool loaded(const std::vector<std::wstring>& modules, const wchar_t* name) {
    return std::find(modules.begin(), modules.end(), name) != modules.end();
}

TEST(Plugins, PluginFolderDllsAreLoadedAndABrokenOneIsLeftOut) {
    ProgramFolder folder;
    std::wstring plugins = folder.file(L"plugin");
    CreateDirectoryW(plugins.c_str(), nullptr);
    std::wstring suffix = VESK_PLUGIN_SUFFIX;
    ASSERT_TRUE(CopyFileW(hostPath(DELTAPCM_PLUGIN).c_str(),
                          (plugins + L"\\DeltaPcm" + suffix + L".dll").c_str(), FALSE));
    writeFileBytes(plugins + L"\\Broken" + suffix + L".dll", "not a library");

    VeskProcess vesk;
    ASSERT_TRUE(vesk.start(folder.exe()));
    HWND watch = vesk.waitForWatchWindow();
    ASSERT_NE(watch, nullptr);
    std::vector<std::wstring> modules = modulesOf(vesk.id());
    std::wstring expected = L"deltapcm" + suffix + L".dll";
    std::transform(expected.begin(), expected.end(), expected.begin(), towlower);
    EXPECT_TRUE(loaded(modules, expected.c_str()));
    PostMessageW(watch, WM_CLOSE, 0, 0);
    EXPECT_EQ(vesk.waitForExit(), 0u);
}

} // namespace
