// Window-placement operations of the shell: work area, moves that never activate or reorder,
// centring and topmost. A null window makes the moves do nothing.
#pragma once

#include <windows.h>

// The desktop minus the taskbar, when the taskbar is docked to one edge.
void computeWorkArea(RECT* out);
void moveWindowTo(HWND window, int x, int y);
// Moves to (x, y) but keeps the whole window inside `area` where it fits.
void moveWindowClamped(HWND window, int x, int y, const RECT* area);
void resizeWindow(HWND window, int width, int height);
// Centres on `reference` (the desktop when null), measured from the reference's own origin.
int centerWindow(HWND window, HWND reference);
// The cursor in screen coordinates, or relative to `window`'s top-left when one is given.
int cursorPosIn(HWND window, POINT* out);
void setTopmost(HWND window, int topmost);
