// The user's own characters: PNG files in the "chara" folder beside the program, listed in the
// character submenu after the built-in characters, in file-name order.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "util/file_util.h"

struct BitmapInfoHeader;
class CBitMap;

// Files listed at most; further ones, in file-name order, are left out.
constexpr int CHARA_FILE_LIMIT = 64;
// A picture file is read only up to this size.
constexpr uint32_t CHARA_FILE_BYTES = 32u << 20;
// The watch panel overlaps the lowest rows of a file character's picture.
constexpr int32_t CHARA_PANEL_OVERLAP = 12;

struct CharaFile {
    char16 name[PATH_UNITS];  // file name in the folder
    char16 label[PATH_UNITS]; // the name without its extension, as the menu shows it
    uint64_t size;            // size and last write time as the folder listed them: a file
    uint64_t written;         // that shows the same again need not be decoded again
    bool usable;              // a valid PNG within the size limit with a visible pixel
};

// The listed files, in file-name order.
struct CharaFileList {
    CharaFile files[CHARA_FILE_LIMIT];
    int count;
};

// Takes a file the folder holds into its place in `list`, not yet known to be usable; past the
// limit the last in order drops out. Names `isCharaFileName` refuses are left out.
void addCharaFile(CharaFileList* list, const char16* name, uint64_t size, uint64_t written);
// Takes over `usable` from the same file (name, size and write time) in `earlier`; false when
// it is not there and must be decoded.
bool recallCharaFile(CharaFile* file, const CharaFileList& earlier);

// True for a decoded picture a character can wear: at least one pixel opaque enough for the
// watch's softest band to show it. Null is not.
bool isVisibleCharaPicture(const BitmapInfoHeader* picture);

// Rebuilds `sprite` as `picture` with `panel` below it: both centred on the wider of the two, the
// panel's top CHARA_PANEL_OVERLAP rows above the picture's bottom edge. Reports where the
// panel's top-left corner lies. False, the sprite left empty, when it cannot be allocated.
bool composeCharaFileSprite(CBitMap* sprite, const BitmapInfoHeader* panel,
                            const BitmapInfoHeader* picture, int32_t* panelX, int32_t* panelY);
