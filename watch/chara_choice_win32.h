// Which character the watch wears: a built-in one, or a picture of the "chara" folder.
#pragma once

#include <windows.h>

struct WatchState;

// Composes the watch sprite of the chosen character: the file character while one is chosen, the
// built-in `chara` otherwise. A file character that can no longer be worn (the file is gone or
// broken) is forgotten (`charaFile` emptied) and the built-in one composed instead.
void composeChosenSprite(WatchState* watch);

// The menu's file character `index`, as the folder lists it now: worn when usable, and the
// watch reshaped around it. An unusable or vanished file changes nothing.
void chooseCharaFile(WatchState* watch, int index);

// Tells the user, with a tray balloon on `window`, that the file character chosen last time
// could not be worn at start (gone or broken) and the built-in character is shown instead.
void tellCharaFileGone(HWND window);
