// Every picture resource of the built program, read from Vesk.exe itself.
#include "gfx/image_table.h"
#include "gfx/image_table_win32.h"

#include "gfx/bitmap.h"
#include "tests/unit/picture_sizes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The program file of the same build: the test programs live in tests/ below it.
std::wstring builtProgramPath() {
    wchar_t self[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, length);
    for (int up = 0; up < 2; ++up)
        path.erase(path.find_last_of(L"\\/"));
    return path + L"\\Vesk.exe";
}

class ProgramResources : public ::testing::Test {
  protected:
    void SetUp() override {
        module = LoadLibraryExW(builtProgramPath().c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr) << "no program file beside the tests";
    }
    void TearDown() override {
        freeImageTable();
        if (module) FreeLibrary(module);
    }
    HMODULE module = nullptr;
};

TEST_F(ProgramResources, EveryPictureHasItsSizeAndFormat) {
    for (int slot = 0; slot < IMAGE_BITMAP_SLOTS; ++slot) {
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IMAGE_BITMAP_IDS[slot]), RT_BITMAP);
        ASSERT_NE(found, nullptr) << "BITMAP " << IMAGE_BITMAP_IDS[slot];
    }
    for (int i = 0; i < IMAGE_CHARACTER_COUNT; ++i) {
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IMAGE_PNG_IDS[i]), L"PNG");
        ASSERT_NE(found, nullptr) << "PNG " << IMAGE_PNG_IDS[i];
        const uint8_t* bytes =
            static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
        ASSERT_GT(SizeofResource(module, found), 26u);
        EXPECT_EQ(bytes[24], 8) << "PNG " << IMAGE_PNG_IDS[i] << " bit depth";
        EXPECT_EQ(bytes[25], 6) << "PNG " << IMAGE_PNG_IDS[i] << " RGBA";
    }

    loadImageTable(module);
    for (int slot = 0; slot < IMAGE_TABLE_SLOTS; ++slot) {
        const BitmapInfoHeader* picture = imageSlot(slot);
        ASSERT_NE(picture, nullptr) << "slot " << slot;
        EXPECT_EQ(picture->width, expectedPictureSize(slot).width) << "slot " << slot;
        EXPECT_EQ(picture->height, expectedPictureSize(slot).height) << "slot " << slot;
        EXPECT_EQ(picture->bitCount, slot < IMAGE_BITMAP_SLOTS ? 24 : 32) << "slot " << slot;
    }
    // A second call keeps the table it has.
    const BitmapInfoHeader* panel = imageSlot(SLOT_WATCH_PANEL);
    loadImageTable(module);
    EXPECT_EQ(imageSlot(SLOT_WATCH_PANEL), panel);
}

} // namespace
