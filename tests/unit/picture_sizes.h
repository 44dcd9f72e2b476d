// Test helper: the size of every ImageTable picture, by slot, as the program's resources must
// have them.
#pragma once

#include <cstdint>

struct PictureSize {
    int32_t width;
    int32_t height;
};

inline PictureSize expectedPictureSize(int slot) {
    static const PictureSize characters[26] = {
        {120, 176}, {157, 198}, {120, 183}, {102, 188}, {122, 178}, {132, 179}, {151, 198},
        {116, 197}, {113, 176}, {131, 188}, {97, 180},  {101, 180}, {152, 174}, {138, 200},
        {117, 169}, {120, 168}, {156, 111}, {134, 180}, {154, 181}, {131, 186}, {127, 158},
        {175, 221}, {183, 219}, {114, 219}, {108, 217}, {152, 151},
    };
    static const int32_t englishWeekdayWidths[7] = {28, 28, 36, 28, 42, 28, 28};
    if (slot == 0) return {149, 51};
    if (slot == 1) return {280, 51};
    if (slot >= 2 && slot <= 11) return {7, 12};
    if (slot >= 12 && slot <= 21) return {12, 24};
    if (slot == 22 || slot == 23) return {7, 12};
    if (slot == 24) return {12, 24};
    if (slot == 25) return {6, 24};
    if (slot >= 26 && slot <= 32) return {englishWeekdayWidths[slot - 26], 12};
    if (slot >= 33 && slot <= 39) return {28, 12};
    if (slot >= 40 && slot <= 44) return {14, 12};
    if (slot >= 45 && slot <= 51) return {29, 36};
    if (slot >= 52 && slot <= 77) return characters[slot - 52];
    return {0, 0};
}
