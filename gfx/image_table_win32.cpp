// Resource lookup for the ImageTable.
#include "gfx/image_table_win32.h"

#include "gfx/image_table.h"

namespace {

const uint8_t* findResourceBytes(HINSTANCE module, uint16_t id, const wchar_t* type, size_t* size) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!found) return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return nullptr;
    const void* bytes = LockResource(loaded);
    if (!bytes) return nullptr;
    *size = SizeofResource(module, found);
    return static_cast<const uint8_t*>(bytes);
}

const uint8_t* findBitmap(void* context, uint16_t id, size_t* size) {
    return findResourceBytes(static_cast<HINSTANCE>(context), id, RT_BITMAP, size);
}

const uint8_t* findPng(void* context, uint16_t id, size_t* size) {
    return findResourceBytes(static_cast<HINSTANCE>(context), id, L"PNG", size);
}

} // namespace

void loadImageTable(HINSTANCE module) {
    ImageResources resources = {module, findBitmap, findPng};
    fillImageTable(resources);
}
