// Reading the "chara" folder beside the program: which PNG files it holds, and their pictures.
#pragma once

#include "platform/platform.h"

struct BitmapInfoHeader;
struct CharaFileList;

// Lists the "chara" folder of the working directory (the program folder) into `list`, each file
// decoded to see whether a character can wear it (unless it is unchanged since the last call).
// Read anew on every call: the user may add, change or remove files at any time.
void listCharaFolder(CharaFileList* list);

// The picture of file `name` of the "chara" folder, decoded with the limits of the built-in
// pictures; null when the file is missing, too large, no valid PNG or has no visible pixel.
// Release it with freeDecodedImage.
BitmapInfoHeader* loadCharaPicture(const char16* name);
