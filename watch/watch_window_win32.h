// The watch window (class "Korvanex-100"): its procedure and the operations other parts of
// the shell call on it.
#pragma once

#include <windows.h>

struct WatchApp;

LRESULT CALLBACK watchWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Applies `fadeLevel` as the layered opacity of the watch and its band windows.
void applyFade(WatchApp* app);
// Keeps the watch inside the work area and tells the owned windows where it is.
void placeWatch(WatchApp* app);
// Sends `message` to every top-level window the watch window owns.
void notifyOwned(WatchApp* app, UINT message);
// Composes the current character into the sprite; with `apply` also reshapes, resizes and
// re-places the watch and its band windows.
void switchCharacter(WatchApp* app, bool apply);
// Brings a minimized watch window back to the foreground.
void restoreWatch(HWND window, int topmost);
