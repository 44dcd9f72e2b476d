// The watch window (class "Korvanex-100") and its owner WatchWindow, the program's one handle on
// the watch; below it, the operations the watch window's parts call on its state.
#pragma once

#include <windows.h>

#include "link/watch_info_win32.h"
#include "watch/watch_state_win32.h"

class WatchHost;
struct WatchSettings;

// Window class name other programs (and the single-instance probe) see.
extern const wchar_t* const WATCH_CLASS;
// Title of the watch window and tip of the tray icon.
extern const wchar_t* const WATCH_TITLE;
constexpr int ICON_RESOURCE = 154;

class WatchWindow {
  public:
    WatchWindow(HINSTANCE instance, WatchHost* host);
    // Releases the keyboard hook; the surfaces and a shape never handed on go with the state.
    ~WatchWindow();
    WatchWindow(const WatchWindow&) = delete;
    WatchWindow& operator=(const WatchWindow&) = delete;

    // Registers the classes, builds the surfaces, the watch and its band windows, adds the tray
    // icon and installs the keyboard hook. `settings` (may be null) is borrowed for the watch's
    // life. False means start-up failed.
    bool create(WatchSettings* settings, int showCommand);
    // The watch window, null before create.
    HWND handle() const { return state_.window; }
    // Where the watch stands, for a popup to open beside it.
    WatchInfo info() const;

  private:
    WatchState state_;
};

// Applies `fadeLevel` as the layered opacity of the watch and its band windows.
void applyFade(WatchState* watch);
// Keeps the watch inside the work area and tells the owned windows where it is.
void placeWatch(WatchState* watch);
// Sends `message` to every top-level window the watch window owns.
void notifyOwned(WatchState* watch, UINT message);
// Composes the current character into the sprite; with `apply` also reshapes, resizes and
// re-places the watch and its band windows.
void switchCharacter(WatchState* watch, bool apply);
// Brings a minimized watch window back to the foreground.
void restoreWatch(HWND window, int topmost);
