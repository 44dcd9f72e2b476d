// The "chara" folder's characters: the list the menu shows, which pictures a character can
// wear, and where the panel goes under one.
#include "watch/chara_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "gfx/image_table.h"
#include "gfx/png_decode.h"
#include "tests/unit/watch/barcode_glyphs.h"
#include "settings/settings.h"
#include "watch/context_menu.h"
#include "watch/menu_commands.h"

namespace {

using Text = std::basic_string<char16>;

Text nameOf(int i) {
    char ascii[16];
    snprintf(ascii, sizeof ascii, "p%03d.png", i);
    return Text(ascii, ascii + strlen(ascii));
}

// A decoded picture `width` x `height` whose pixels all have alpha `alpha`.
struct Picture {
    BitmapInfoHeader* header;
    Picture(int32_t width, int32_t height, uint32_t alpha) {
        std::vector<uint8_t> png =
            pngResource(width, height, [alpha](int, int) { return alpha << 24 | 0x336699; });
        header = decodePng(png.data(), png.size());
    }
    ~Picture() { freeDecodedImage(header); }
};

TEST(CharaFiles, ListedInNameOrderUpToTheLimitWithTheirLabels) {
    CharaFileList list = {};
    addCharaFile(&list, U16("b.PNG"), 10, 1);
    addCharaFile(&list, U16("A.png"), 20, 2);
    addCharaFile(&list, U16("..\\up.png"), 30, 3);
    addCharaFile(&list, U16("notes.txt"), 40, 4);
    ASSERT_EQ(list.count, 2);
    EXPECT_EQ(Text(list.files[0].label), U16("A"));
    EXPECT_EQ(list.files[0].size, 20u);
    EXPECT_EQ(Text(list.files[1].name), U16("b.PNG"));
    EXPECT_EQ(Text(list.files[1].label), U16("b"));

    CharaFileList many = {};
    for (int i = 99; i >= 0; --i)
        addCharaFile(&many, nameOf(i).c_str(), 1, 1);
    ASSERT_EQ(many.count, CHARA_FILE_LIMIT);
    EXPECT_EQ(Text(many.files[0].name), nameOf(0));
    EXPECT_EQ(Text(many.files[CHARA_FILE_LIMIT - 1].name), nameOf(CHARA_FILE_LIMIT - 1));
}

// A file is decoded again only once its size or write time changed.
TEST(CharaFiles, AnUnchangedFileIsRecalledAndAChangedOneIsNot) {
    CharaFileList earlier = {};
    addCharaFile(&earlier, U16("cat.png"), 100, 7);
    earlier.files[0].usable = true;
    CharaFileList now = {};
    addCharaFile(&now, U16("cat.png"), 100, 7);
    addCharaFile(&now, U16("dog.png"), 100, 7);
    EXPECT_TRUE(recallCharaFile(&now.files[0], earlier));
    EXPECT_TRUE(now.files[0].usable);
    EXPECT_FALSE(recallCharaFile(&now.files[1], earlier));
    now.files[0].written = 8;
    EXPECT_FALSE(recallCharaFile(&now.files[0], earlier));
}

TEST(CharaFiles, OnlyAPictureWithAVisiblePixelCanBeWorn) {
    EXPECT_FALSE(isVisibleCharaPicture(nullptr));
    EXPECT_FALSE(isVisibleCharaPicture(Picture(8, 8, 0).header));
    EXPECT_FALSE(isVisibleCharaPicture(Picture(8, 8, 15).header)) << "below the softest band";
    EXPECT_TRUE(isVisibleCharaPicture(Picture(8, 8, 16).header));
}

// Centred on the wider part, the panel's top 12 rows over the picture's bottom; a picture lower
// than that lies on the panel alone.
TEST(CharaFiles, PanelGoesCentredUnderThePictureOverlappingItsLowestRows) {
    MemoryResources resources = barcodeResources();
    fillImageTable(resources.source());
    const BitmapInfoHeader* panel = imageSlot(SLOT_WATCH_PANEL);
    ASSERT_NE(panel, nullptr);
    CBitMap sprite;
    int32_t panelX = -1, panelY = -1;
    Picture wide(301, 100, 255);
    ASSERT_TRUE(composeCharaFileSprite(&sprite, panel, wide.header, &panelX, &panelY));
    EXPECT_EQ(sprite.width(), 301);
    EXPECT_EQ(sprite.height(), 88 + panel->height);
    EXPECT_EQ(panelX, (301 - panel->width) / 2);
    EXPECT_EQ(panelY, 88);
    EXPECT_EQ(readPixel(&sprite.info.header, nullptr, sprite.backBuffer(), 0, 87), 0xFF336699u);
    Picture low(20, 10, 255);
    ASSERT_TRUE(composeCharaFileSprite(&sprite, panel, low.header, &panelX, &panelY));
    EXPECT_EQ(panelY, 0);
    EXPECT_EQ(sprite.height(), panel->height);
    freeImageTable();
}

// After the built-in characters, in list order from 2001; a file that cannot be worn is greyed,
// and while a file character is worn no built-in one is marked.
TEST(CharaFiles, MenuListsThemAfterTheBuiltInCharacters) {
    CharaFileList list = {};
    addCharaFile(&list, U16("broken.png"), 1, 1);
    addCharaFile(&list, U16("cat.png"), 1, 1);
    list.files[1].usable = true;
    WatchSettings s = {};
    s.chara = 3;
    Text chosen = U16("cat.png");
    std::copy(chosen.begin(), chosen.end(), s.charaFile);
    std::vector<MenuEntry> entries(CONTEXT_MENU_CAPACITY);
    entries.resize(buildContextMenu(&s, 0, &list, entries.data()));
    size_t i = 0;
    while (entries[i].id != CMD_CHARACTER_LAST)
        ++i;
    EXPECT_FALSE(entries[i - 26].checked) << "built-in character 3";
    ASSERT_EQ(entries[i + 1].id, CMD_CHARA_FILE_FIRST);
    EXPECT_EQ(Text(entries[i + 1].text), U16("broken"));
    EXPECT_TRUE(entries[i + 1].disabled);
    EXPECT_EQ(entries[i + 2].id, CMD_CHARA_FILE_FIRST + 1);
    EXPECT_TRUE(entries[i + 2].checked);
    EXPECT_FALSE(entries[i + 2].disabled);
    EXPECT_EQ(entries[i + 3].kind, MenuEntryKind::SubmenuEnd);

    int32_t mode = 0;
    EXPECT_EQ(applyMenuCommand(&s, &mode, CMD_CHARA_FILE_FIRST + 1).value, 1);
    applyMenuCommand(&s, &mode, CMD_CHARACTER_FIRST + 5);
    EXPECT_EQ(s.charaFile[0], 0) << "a built-in character is worn instead of the file";
}

} // namespace
