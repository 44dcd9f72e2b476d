#include "app/chara_choice_win32.h"

#include <cstdlib>
#include <cstring>

#include "app/tray_icon_win32.h"
#include "app/watch_app_win32.h"
#include "app/watch_window_win32.h"
#include "gfx/bitmap.h"
#include "gfx/image_table.h"
#include "gfx/png_decode.h"
#include "settings/settings.h"
#include "watch/chara_files.h"
#include "watch/chara_folder_win32.h"

namespace {

bool composeFileSprite(WatchApp* app, const char16* name) {
    BitmapInfoHeader* picture = loadCharaPicture(name);
    if (!picture) return false;
    bool composed = composeCharaFileSprite(app->spriteSurface, imageSlot(SLOT_WATCH_PANEL), picture,
                                           &app->panelX, &app->panelY);
    freeDecodedImage(picture);
    return composed;
}

} // namespace

void composeChosenSprite(WatchApp* app) {
    WatchSettings* s = app->settings;
    if (s && s->charaFile[0] && composeFileSprite(app, s->charaFile)) return;
    if (s) s->charaFile[0] = 0;
    composeCharacterSprite(app->spriteSurface, s ? s->chara : 0, &app->panelX, &app->panelY);
}

void chooseCharaFile(WatchApp* app, int index) {
    if (!app->settings) return;
    CharaFileList* list = static_cast<CharaFileList*>(calloc(1, sizeof(CharaFileList)));
    if (!list) return;
    listCharaFolder(list);
    if (index >= 0 && index < list->count && list->files[index].usable) {
        memcpy(app->settings->charaFile, list->files[index].name, sizeof list->files[index].name);
        switchCharacter(app, true);
    }
    free(list);
}

void tellCharaFileGone(WatchApp* app) {
    showTrayBalloon(app->watchWindow, WATCH_TITLE,
                    L"chara フォルダーのキャラクター画像を読み込めないため、"
                    L"標準のキャラクターに戻しました。");
}
