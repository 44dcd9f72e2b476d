// CScreen takes over a control's painting and gives it back when destroyed.
#include <gtest/gtest.h>

#include "gfx/screen_win32.h"

namespace {

int observedMessages = 0;

void countMessage(void*, HWND, UINT, WPARAM, LPARAM) {
    ++observedMessages;
}

TEST(CScreen, PaintsTheControlWithItsFrontBufferAndRestoresItsProcedure) {
    HWND control = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 10, 10, 40, 30,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(control, nullptr);
    LONG_PTR ownProcedure = GetWindowLongPtrW(control, GWLP_WNDPROC);

    CScreen* screen = new CScreen;
    ASSERT_TRUE(screen->attach(control));
    EXPECT_EQ(screen->width(), 40);
    EXPECT_EQ(screen->height(), 30);
    EXPECT_EQ(screen->bytesPerPixel, 4u);
    EXPECT_NE(GetWindowLongPtrW(control, GWLP_WNDPROC), ownProcedure);

    // Draw pure red into the back buffer and present it.
    uint32_t* pixels = reinterpret_cast<uint32_t*>(screen->backBuffer());
    for (int i = 0; i < 40 * 30; ++i)
        pixels[i] = 0xFFFF0000u;
    screen->flip();
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(control);
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(255, 0, 0));
    ReleaseDC(control, dc);

    screen->observer = countMessage;
    SendMessageW(control, WM_USER + 7, 0, 0);
    EXPECT_EQ(observedMessages, 1);
    SendMessageW(control, WM_ERASEBKGND, 0, 0); // handled by the surface, not observed
    EXPECT_EQ(observedMessages, 1);

    delete screen;
    EXPECT_EQ(GetWindowLongPtrW(control, GWLP_WNDPROC), ownProcedure);
    DestroyWindow(control);
}

} // namespace
