// Composing the character sprite: pictures and panel laid out into one 32-bit surface.
#include "watch/watch_face.h"

#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "gfx/image_table.h"
#include "watch/character_table.h"

#include <algorithm>
#include <cstdlib>

namespace {

// A picture's size; a missing picture counts as 0 × 0.
struct Size {
    int32_t w;
    int32_t h;
};

Size sizeOf(const BitmapInfoHeader* picture) {
    if (!picture) return Size{0, 0};
    return Size{int32_t(std::abs(int64_t(picture->width))),
                int32_t(std::abs(int64_t(picture->height)))};
}

// Where each part of the sprite goes.
struct SpriteLayout {
    int32_t width, height;
    int32_t panelX, panelY;
    int32_t companionX, companionY;
    int32_t mainX, mainY;
};

SpriteLayout layoutSprite(Size panel, Size companion, bool hasCompanion, int32_t companionLeft,
                          Size main, bool hasMain, int32_t mainX, int32_t panelDrop) {
    SpriteLayout l = {};
    int32_t pair = companion.w + main.w;
    bool panelWider = panel.w > pair;
    l.width = panelWider ? panel.w : pair;
    l.panelX = panelWider ? 0 : pair - panel.w;
    if (mainX != 0 && l.width < mainX + main.w) {
        l.width = mainX + main.w;
        l.panelX = 0;
    }
    int32_t mainOffset = 0;
    if (hasCompanion && hasMain) {
        l.companionX = panelWider ? panel.w - main.w - companion.w : 0;
        mainOffset = panelWider ? panel.w - main.w : companion.w;
        // The shorter picture is lowered so that both stand on the same line.
        if (main.h >= companion.h) {
            l.companionY = main.h - companion.h;
        } else {
            l.mainY = companion.h - main.h;
        }
        l.panelX >>= 1;
    } else {
        l.companionX = companionLeft == 0 ? (l.width >> 1) - (companion.w >> 1) : 0;
        mainOffset = mainX != 0 ? 0 : (l.width >> 1) - (main.w >> 1);
    }
    l.mainX = mainX + mainOffset;
    int32_t standing = std::max(companion.h, main.h) + panelDrop;
    l.height = panel.h > standing ? panel.h : standing;
    l.panelY = panel.h > standing ? 0 : standing - panel.h;
    return l;
}

} // namespace

bool composeSprite(CBitMap* sprite, const BitmapInfoHeader* panel,
                   const BitmapInfoHeader* companion, int32_t companionLeft,
                   const BitmapInfoHeader* mainImage, int32_t mainX, int32_t panelDrop,
                   int32_t* panelX, int32_t* panelY) {
    SpriteLayout l =
        layoutSprite(sizeOf(panel), sizeOf(companion), companion != nullptr, companionLeft,
                     sizeOf(mainImage), mainImage != nullptr, mainX, panelDrop);
    sprite->release();
    if (!sprite->create(32, l.width, l.height)) return false;
    blitImage(sprite, l.companionX, l.companionY, companion, nullptr, 1.0f, BLIT_SKIP_TRANSPARENT);
    blitImage(sprite, l.mainX, l.mainY, mainImage, nullptr, 1.0f, BLIT_SKIP_TRANSPARENT);
    blitImage(sprite, l.panelX, l.panelY, panel, nullptr, 1.0f, BLIT_SKIP_TRANSPARENT);
    *panelX = l.panelX;
    *panelY = l.panelY;
    return true;
}

bool composeCharacterSprite(CBitMap* sprite, int32_t chara, int32_t* panelX, int32_t* panelY) {
    const CharacterRecord& row = characterRecord(chara);
    return composeSprite(sprite, imageSlot(SLOT_WATCH_PANEL), characterImage(row.companionImage),
                         row.companionLeft, characterImage(row.mainImage), row.mainX, row.panelDrop,
                         panelX, panelY);
}
