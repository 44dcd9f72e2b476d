#include "watch/chara_folder_win32.h"

#include <windows.h>

#include <cstdlib>
#include <cwchar>

#include "gfx/png_decode.h"
#include "settings/settings.h"
#include "util/file_util.h"
#include "watch/chara_files.h"

namespace {

const wchar_t* const CHARA_FOLDER = L"chara\\";

// "chara\<name>", relative to the working directory. False when it does not fit.
bool charaPath(const char16* name, wchar_t* out) {
    size_t folder = wcslen(CHARA_FOLDER), length = wcslen(name);
    if (folder + length >= PATH_UNITS) return false;
    wcscpy(out, CHARA_FOLDER);
    wcscat(out, name);
    return true;
}

// The last listing: a picture whose file has not changed since is not decoded again, so that a
// folder of large pictures does not hold up every menu. User-interface thread only, as the menu.
CharaFileList g_lastListing;

bool isUsable(const char16* name) {
    BitmapInfoHeader* picture = loadCharaPicture(name);
    freeDecodedImage(picture);
    return picture != nullptr;
}

uint64_t joined(DWORD high, DWORD low) {
    return uint64_t(high) << 32 | low;
}

} // namespace

BitmapInfoHeader* loadCharaPicture(const char16* name) {
    wchar_t path[PATH_UNITS];
    if (!isCharaFileName(name) || !charaPath(name, path)) return nullptr;
    char* bytes = nullptr;
    uint32_t count = 0;
    if (readFileBytes(path, CHARA_FILE_BYTES, &bytes, &count) != FILE_READ_OK) return nullptr;
    BitmapInfoHeader* picture = decodePng(reinterpret_cast<const uint8_t*>(bytes), count);
    free(bytes);
    if (!isVisibleCharaPicture(picture)) {
        freeDecodedImage(picture);
        return nullptr;
    }
    return picture;
}

void listCharaFolder(CharaFileList* list) {
    list->count = 0;
    wchar_t pattern[PATH_UNITS];
    if (!charaPath(L"*.png", pattern)) return;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        addCharaFile(
            list, found.cFileName, joined(found.nFileSizeHigh, found.nFileSizeLow),
            joined(found.ftLastWriteTime.dwHighDateTime, found.ftLastWriteTime.dwLowDateTime));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    // Only the files that made the list are decoded, each once while it stays the same.
    for (int i = 0; i < list->count; ++i) {
        CharaFile& file = list->files[i];
        if (!recallCharaFile(&file, g_lastListing)) file.usable = isUsable(file.name);
    }
    g_lastListing = *list;
}
