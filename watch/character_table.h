// The 30 character layouts of the menu: which character pictures stand behind the panel and
// where. Indexed by the `chara` setting.
#pragma once

#include <cstdint>

struct CharacterRecord {
    int32_t companionImage; // image number 1..26 drawn first, 0 for none
    int32_t companionLeft;  // non-zero: a lone companion stands at x 0 instead of centred
    int32_t mainImage;      // image number 1..26 drawn second, 0 for none
    int32_t mainX;          // non-zero: x of the main image, the sprite widened to hold it
    int32_t panelDrop;      // how far the panel's bottom lies below the pictures' bottom
};

constexpr int CHARACTER_COUNT = 30;

extern const CharacterRecord CharacterTable[CHARACTER_COUNT];

// The row for `chara`; a value outside the table (only a hand-edited settings file has one)
// selects row 0, the bare panel.
const CharacterRecord& characterRecord(int32_t chara);
