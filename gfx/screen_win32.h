// CScreen: a CBitMap bound to an existing child window, which it paints with its front buffer
// by subclassing the window's procedure. Also the presentation call every window uses.
#pragma once

#include <windows.h>

#include "gfx/bitmap.h"

// Copies the whole front buffer to `dc` at (0, 0). An empty surface presents nothing.
void presentSurface(HDC dc, const CBitMap& surface);
// Copies only `area` (client coordinates, clipped to the surface) of the front buffer: a paint
// that was asked for part of the window converts and sends only that part.
void presentSurfaceArea(HDC dc, const CBitMap& surface, const RECT& area);

using ScreenObserver = void (*)(void* context, HWND window, UINT message, WPARAM wParam,
                                LPARAM lParam);

class CScreen : public CBitMap {
  public:
    CScreen() = default;
    // Puts the window's own procedure back before the pixels are freed.
    ~CScreen() override;

    // Takes over the window's painting and creates a 32-bit surface of the window's size.
    bool attach(HWND target);

    void* observerContext = nullptr;
    ScreenObserver observer = nullptr;
    HWND window = nullptr;
    WNDPROC previousProcedure = nullptr;
};
