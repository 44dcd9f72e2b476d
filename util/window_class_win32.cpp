#include "util/window_class_win32.h"

bool registerWindowClass(HINSTANCE instance, const WindowClass& windowClass) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = windowClass.style;
    wc.lpfnWndProc = windowClass.procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = windowClass.background;
    wc.lpszClassName = windowClass.name;
    return RegisterClassExW(&wc) != 0;
}

void attachWindowState(HWND window, void* state) {
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
}

void* createParamOf(LPARAM createLParam) {
    return reinterpret_cast<const CREATESTRUCTW*>(createLParam)->lpCreateParams;
}

void* windowStateOf(HWND window) {
    return reinterpret_cast<void*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}
