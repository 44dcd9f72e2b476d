// Decoder plug-ins in the real program: the DLLs of its plugin folder are loaded at start-up,
// a broken one is left out without a word, and the program still ends cleanly. The folder is
// the program's own however it was started, and its settings are saved there too.
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

// A copy of the program with the test plug-in in `folder`, made with the folders it lies in
// below the existing `base`.
bool installProgram(const std::wstring& base, const std::wstring& folder) {
    for (size_t at = folder.find(L'\\', base.size() + 1); at != std::wstring::npos;
         at = folder.find(L'\\', at + 1))
        CreateDirectoryW(folder.substr(0, at).c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring plugins = folder + L"\\plugin";
    CreateDirectoryW(plugins.c_str(), nullptr);
    std::wstring suffix = VESK_PLUGIN_SUFFIX;
    return CopyFileW(hostPath(VESK_EXE_PATH).c_str(), (folder + L"\\Vesk.exe").c_str(), FALSE) &&
           CopyFileW(hostPath(DELTAPCM_PLUGIN).c_str(),
                     (plugins + L"\\DeltaPcm" + suffix + L".dll").c_str(), FALSE);
}

TEST(Plugins, StartedByNameFromElsewhereItUsesItsOwnFolderEvenAJapaneseOrLongOne) {
    ProgramFolder base;
    ProgramFolder elsewhere;
    DeleteFileW(elsewhere.exe().c_str());
    std::wstring japanese = base.path() + L"\\目覚まし時計";
    // A folder too long to hold the program's files in classic 260-unit paths, so the program
    // works in it by its short name; the program file's path itself stays just short enough for
    // Wine to start it.
    std::wstring deep = japanese + L"\\" + std::wstring(100, L'a') + L"\\";
    deep += std::wstring(248 - deep.size(), L'b');
    std::wstring expected = L"deltapcm" + std::wstring(VESK_PLUGIN_SUFFIX) + L".dll";
    std::transform(expected.begin(), expected.end(), expected.begin(), towlower);
    for (const std::wstring& folder : {japanese, deep}) {
        SCOPED_TRACE(testing::Message() << "program folder of " << folder.size() << " units");
        ASSERT_TRUE(installProgram(base.path(), folder));
        VeskProcess vesk;
        // Started by its bare name from another current folder, as a command prompt would.
        ASSERT_TRUE(vesk.start(folder + L"\\Vesk.exe", elsewhere.path(), L"Vesk.exe"));
        HWND watch = vesk.waitForWatchWindow();
        ASSERT_NE(watch, nullptr);
        EXPECT_TRUE(loaded(modulesOf(vesk.id()), expected.c_str()));
        PostMessageW(watch, WM_CLOSE, 0, 0);
        EXPECT_EQ(vesk.waitForExit(), 0u);
        EXPECT_TRUE(fileExists(folder + L"\\Setting.xml"));
        EXPECT_TRUE(filesIn(elsewhere.path()).empty());
    }
}

} // namespace
