#include "watch/chara_choice_win32.h"

#include <cstdlib>
#include <cstring>

#include "gfx/bitmap.h"
#include "gfx/image_table.h"
#include "gfx/png_decode.h"
#include "settings/settings.h"
#include "watch/chara_files.h"
#include "watch/chara_folder_win32.h"
#include "watch/tray_icon_win32.h"
#include "watch/watch_state_win32.h"
#include "watch/watch_window_win32.h"

namespace {

bool composeFileSprite(WatchState* watch, const char16* name) {
    BitmapInfoHeader* picture = loadCharaPicture(name);
    if (!picture) return false;
    bool composed = composeCharaFileSprite(watch->spriteSurface.get(), imageSlot(SLOT_WATCH_PANEL),
                                           picture, &watch->panelX, &watch->panelY);
    freeDecodedImage(picture);
    return composed;
}

} // namespace

void composeChosenSprite(WatchState* watch) {
    WatchSettings* s = watch->settings;
    if (s && s->charaFile[0] && composeFileSprite(watch, s->charaFile)) return;
    if (s) s->charaFile[0] = 0;
    composeCharacterSprite(watch->spriteSurface.get(), s ? s->chara : 0, &watch->panelX,
                           &watch->panelY);
}

void chooseCharaFile(WatchState* watch, int index) {
    if (!watch->settings) return;
    CharaFileList* list = static_cast<CharaFileList*>(calloc(1, sizeof(CharaFileList)));
    if (!list) return;
    listCharaFolder(list);
    if (index >= 0 && index < list->count && list->files[index].usable) {
        memcpy(watch->settings->charaFile, list->files[index].name, sizeof list->files[index].name);
        switchCharacter(watch, true);
    }
    free(list);
}

void tellCharaFileGone(HWND window) {
    showTrayBalloon(window, WATCH_TITLE,
                    L"chara フォルダーのキャラクター画像を読み込めないため、"
                    L"標準のキャラクターに戻しました。");
}
