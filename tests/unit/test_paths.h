// A private temporary folder for tests that touch files, with UTF-16 paths in it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

// The platform's char16 as a pointer into a std::u16string (the same 16-bit units).
inline const char16* asText16(const std::u16string& s) {
    return reinterpret_cast<const char16*>(s.c_str());
}

class TempFolder {
  public:
    TempFolder() {
#ifdef _WIN32
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        wchar_t name[MAX_PATH];
        GetTempFileNameW(temp, L"vsk", 0, name);
        DeleteFileW(name);
        CreateDirectoryW(name, nullptr);
        folder = std::u16string(reinterpret_cast<const char16_t*>(name));
#else
        char name[] = "/tmp/vesk-test-XXXXXX";
        if (!mkdtemp(name)) abort();
        for (const char* p = name; *p; ++p)
            folder += static_cast<char16_t>(*p);
#endif
    }
    ~TempFolder() {
#ifdef _WIN32
        removeWindowsTree(std::wstring(reinterpret_cast<const wchar_t*>(folder.c_str())));
#else
        std::string command = "rm -rf '" + std::string(folder.begin(), folder.end()) + "'";
        if (system(command.c_str()) != 0) perror("rm");
#endif
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::u16string file(const std::u16string& name) const {
#ifdef _WIN32
        return folder + u"\\" + name;
#else
        return folder + u"/" + name;
#endif
    }
    const std::u16string& path() const {
        return folder;
    }

  private:
#ifdef _WIN32
    static void removeWindowsTree(const std::wstring& dir) {
        WIN32_FIND_DATAW found;
        HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &found);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                std::wstring full = dir + L"\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    removeWindowsTree(full);
                else
                    DeleteFileW(full.c_str());
            } while (FindNextFileW(h, &found));
            FindClose(h);
        }
        RemoveDirectoryW(dir.c_str());
    }
#endif
    std::u16string folder;
};
