// What every window of the shell does alike: registering its class, keeping its state in the
// window from creation on, finding that state again, and telling a handled message's answer
// apart from one left to the default procedure (any LRESULT, -1 included, is a real answer).
#pragma once

#include <windows.h>

struct WindowClass {
    const wchar_t* name;
    WNDPROC procedure;
    UINT style;
    HBRUSH background; // null: the window paints its whole background itself
};

// Registers `windowClass` for `instance`, with the arrow cursor. False on failure.
bool registerWindowClass(HINSTANCE instance, const WindowClass& windowClass);

// The state a window keeps: on WM_CREATE taken from the creation parameter (`createLParam`).
void attachWindowState(HWND window, void* state);
void* createParamOf(LPARAM createLParam);
void* windowStateOf(HWND window);

// Takes the state passed to CreateWindowExW on WM_CREATE and keeps it in the window; null (and
// nothing kept) when none was passed.
template <typename State> State* attachOnCreate(HWND window, LPARAM createLParam) {
    State* state = static_cast<State*>(createParamOf(createLParam));
    if (state) attachWindowState(window, state);
    return state;
}

// The state kept in `window`, or null before creation, after detaching, or for none.
template <typename State> State* stateOf(HWND window) {
    return static_cast<State*>(windowStateOf(window));
}

// A window procedure's answer to one message, or none: then the default procedure answers.
struct MessageAnswer {
    bool handled;
    LRESULT result;
};

constexpr MessageAnswer answer(LRESULT result) {
    return MessageAnswer{true, result};
}
constexpr MessageAnswer NOT_HANDLED = MessageAnswer{false, 0};
