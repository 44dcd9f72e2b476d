// Character layouts.
#include "watch/character_table.h"

const CharacterRecord CharacterTable[CHARACTER_COUNT] = {
    {0, 0, 0, 0, 0},   {0, 0, 17, 0, 40}, {0, 0, 1, 0, 0},   {0, 0, 2, 0, 0},   {0, 0, 4, 0, 0},
    {0, 0, 3, 0, 0},   {0, 0, 9, 0, 0},   {0, 0, 10, 0, 0},  {0, 0, 11, 0, 0},  {0, 0, 12, 0, 0},
    {12, 0, 11, 0, 0}, {0, 0, 5, 0, 0},   {0, 0, 6, 0, 0},   {0, 0, 8, 0, 0},   {0, 0, 7, 0, 0},
    {0, 0, 13, 0, 0},  {0, 0, 14, 0, 0},  {0, 0, 15, 0, 0},  {0, 0, 16, 0, 0},  {15, 0, 16, 0, 0},
    {0, 0, 18, 0, 0},  {18, 0, 1, 0, 0},  {0, 0, 19, 0, 0},  {0, 0, 20, 0, 0},  {0, 0, 21, 0, 25},
    {0, 0, 26, 0, 20}, {0, 0, 22, 0, 50}, {0, 0, 23, 0, 50}, {24, 4, 0, 0, 50}, {0, 0, 25, 0, 50},
};

const CharacterRecord& characterRecord(int32_t chara) {
    if (chara < 0 || chara >= CHARACTER_COUNT) return CharacterTable[0];
    return CharacterTable[chara];
}
