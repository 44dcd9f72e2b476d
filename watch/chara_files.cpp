#include "watch/chara_files.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "settings/settings.h"
#include "watch/alpha_bands.h"

namespace {

char16 folded(char16 c) {
    return c >= 'A' && c <= 'Z' ? char16(c - 'A' + 'a') : c;
}

// File-name order: code units compared with ASCII letters folded, as the folder shows them.
bool comesBefore(const char16* a, const char16* b) {
    for (;; ++a, ++b) {
        char16 x = folded(*a), y = folded(*b);
        if (x != y || x == 0) return x < y;
    }
}

int32_t extent(int32_t dimension) {
    return dimension < 0 ? -dimension : dimension;
}

} // namespace

void addCharaFile(CharaFileList* list, const char16* name, uint64_t size, uint64_t written) {
    if (!isCharaFileName(name)) return;
    int at = 0;
    while (at < list->count && comesBefore(list->files[at].name, name))
        ++at;
    if (at >= CHARA_FILE_LIMIT) return;
    int moved = std::min(list->count, CHARA_FILE_LIMIT - 1) - at;
    memmove(&list->files[at + 1], &list->files[at], size_t(moved) * sizeof(CharaFile));
    CharaFile& file = list->files[at];
    size_t length = text16Length(name);
    memcpy(file.name, name, (length + 1) * sizeof(char16));
    memcpy(file.label, name, (length - 4) * sizeof(char16)); // without ".png"
    file.label[length - 4] = 0;
    file.size = size;
    file.written = written;
    file.usable = false;
    list->count = std::min(list->count + 1, CHARA_FILE_LIMIT);
}

bool recallCharaFile(CharaFile* file, const CharaFileList& earlier) {
    for (int i = 0; i < earlier.count; ++i) {
        const CharaFile& known = earlier.files[i];
        if (known.size != file->size || known.written != file->written ||
            memcmp(known.name, file->name, sizeof known.name) != 0)
            continue;
        file->usable = known.usable;
        return true;
    }
    return false;
}

bool isVisibleCharaPicture(const BitmapInfoHeader* picture) {
    if (!picture || picture->bitCount != 32) return false;
    int32_t width = extent(picture->width), height = extent(picture->height);
    const uint8_t* pixels = reinterpret_cast<const uint8_t*>(picture) + picture->size;
    uint8_t softest = alphaBand(0).low;
    for (int64_t i = 0; i < int64_t(width) * height; ++i)
        if (pixels[i * 4 + 3] >= softest) return true;
    return false;
}

bool composeCharaFileSprite(CBitMap* sprite, const BitmapInfoHeader* panel,
                            const BitmapInfoHeader* picture, int32_t* panelX, int32_t* panelY) {
    int32_t panelW = panel ? extent(panel->width) : 0, panelH = panel ? extent(panel->height) : 0;
    int32_t pictureW = extent(picture->width), pictureH = extent(picture->height);
    int32_t width = std::max(panelW, pictureW);
    int32_t top = std::max(pictureH - CHARA_PANEL_OVERLAP, 0);
    int32_t height = std::max(pictureH, top + panelH);
    sprite->release();
    if (!sprite->create(32, width, height)) return false;
    blitImage(sprite, (width - pictureW) / 2, 0, picture, nullptr, 1.0f, BLIT_SKIP_TRANSPARENT);
    int32_t left = (width - panelW) / 2;
    blitImage(sprite, left, top, panel, nullptr, 1.0f, BLIT_SKIP_TRANSPARENT);
    *panelX = left;
    *panelY = top;
    return true;
}
