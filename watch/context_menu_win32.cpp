#include "watch/context_menu_win32.h"

#include "settings/settings.h"
#include "watch/chara_choice_win32.h"
#include "watch/watch_state_win32.h"
#include "watch/watch_host_win32.h"
#include "util/window_placement_win32.h"
#include "watch/chara_files.h"
#include "watch/chara_folder_win32.h"
#include "watch/context_menu.h"
#include "watch/menu_commands.h"
#include "link/watch_messages.h"
#include "watch/watch_mode.h"
#include "watch/watch_mode_win32.h"
#include "watch/watch_window_win32.h"
#include "util/owned_handle_win32.h"

#include <cstdlib>
#include <utility>

namespace {

constexpr int MENU_DEPTH = 4;

// Hangs a filled submenu into its parent, which then owns it; one the parent refused is freed.
void appendSubmenu(HMENU parent, OwnedMenu* submenu, const char16* title) {
    if (AppendMenuW(parent, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu->get()),
                    title))
        submenu->release();
    else
        submenu->reset();
}

// Turns the entry list into popup menus. A submenu is filled before it is appended to its
// parent, so an open submenu waits on a small stack with its title; one never closed is freed.
OwnedMenu menuFromEntries(const MenuEntry* entries, size_t count) {
    OwnedMenu stack[MENU_DEPTH];
    const char16* titles[MENU_DEPTH];
    int depth = 0;
    stack[0].reset(CreatePopupMenu());
    if (!stack[0]) return OwnedMenu();
    for (size_t i = 0; i < count; ++i) {
        const MenuEntry& e = entries[i];
        HMENU menu = stack[depth].get();
        switch (e.kind) {
        case MenuEntryKind::Command:
            AppendMenuW(menu,
                        MF_STRING | (e.checked ? MF_CHECKED : MF_UNCHECKED) |
                            (e.disabled ? MF_GRAYED : MF_ENABLED),
                        e.id, e.text);
            break;
        case MenuEntryKind::Separator:
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            break;
        case MenuEntryKind::SubmenuBegin:
            if (depth + 1 >= MENU_DEPTH) break;
            stack[++depth].reset(CreatePopupMenu());
            titles[depth] = e.text;
            break;
        case MenuEntryKind::SubmenuEnd:
            if (depth == 0) break;
            appendSubmenu(stack[depth - 1].get(), &stack[depth], titles[depth]);
            --depth;
            break;
        }
    }
    return std::move(stack[0]);
}

void hideWatch(HWND window) {
    setTopmost(window, 0);
    ShowWindow(window, SW_MINIMIZE);
    ShowWindow(window, SW_HIDE);
}

void startQuit(HWND window, WatchState* watch) {
    SetTimer(window, TIMER_FADE_OUT, 1, nullptr);
    notifyOwned(watch, WM_OWNER_CLOSING);
}

void carryOut(HWND window, WatchState* watch, CommandOutcome outcome) {
    switch (outcome.action) {
    case CommandAction::SetTopmost:
        setTopmost(window, outcome.value);
        break;
    case CommandAction::ShowNotice:
        showWatchModeNotice(watch);
        break;
    case CommandAction::SetVolume:
        watch->host->setVolume(outcome.value);
        break;
    case CommandAction::SwitchCharacter:
        switchCharacter(watch, true);
        break;
    case CommandAction::ChooseCharaFile:
        chooseCharaFile(watch, outcome.value);
        break;
    case CommandAction::Hide:
        hideWatch(window);
        break;
    case CommandAction::Appear:
        restoreWatch(window, watch->settings ? watch->settings->topmost : 0);
        break;
    case CommandAction::Quit:
        startQuit(window, watch);
        break;
    case CommandAction::AlarmSettings:
        watch->host->editAlarms();
        break;
    case CommandAction::None:
        break;
    }
}

} // namespace

void showContextMenu(HWND window, WatchState* watch, int x, int y) {
    MenuEntry entries[CONTEXT_MENU_CAPACITY];
    // The folder is read each time: files the user added since show up at once. Without memory
    // for the list the menu still opens, with the built-in characters alone.
    HeapBlock<CharaFileList> files(static_cast<CharaFileList*>(calloc(1, sizeof(CharaFileList))));
    if (files) listCharaFolder(files.get());
    size_t count = buildContextMenu(watch->settings, watch->watchMode, files.get(), entries);
    OwnedMenu menu = menuFromEntries(entries, count);
    if (!menu) return;
    TrackPopupMenu(menu.get(), 0, x, y, 0, window, nullptr);
}

void showTrayMenu(HWND window) {
    MenuEntry entries[2];
    size_t count = buildTrayMenu(IsIconic(window) != 0, entries);
    OwnedMenu menu = menuFromEntries(entries, count);
    if (!menu) return;
    POINT cursor;
    GetCursorPos(&cursor);
    // Without being the foreground window the menu would not close when the user clicks
    // elsewhere.
    SetForegroundWindow(window);
    TrackPopupMenu(menu.get(), 0, cursor.x, cursor.y, 0, window, nullptr);
    menu.reset();
    PostMessageW(window, WM_NULL, 0, 0);
}

LRESULT runMenuCommand(HWND window, WatchState* watch, WPARAM wParam, LPARAM lParam) {
    uint32_t id = LOWORD(wParam);
    int32_t modeBefore = watch->watchMode;
    CommandOutcome outcome = applyMenuCommand(watch->settings, &watch->watchMode, id);
    if ((modeBefore == WATCH_MODE_OFF) != (watch->watchMode == WATCH_MODE_OFF)) {
        syncWatchModeTimer(window, watch->watchMode);
    }
    carryOut(window, watch, outcome);
    if (!isCharacterCommand(id)) {
        InvalidateRect(window, nullptr, TRUE);
        notifyOwned(watch, WM_SETTINGS_CHANGED);
    }
    return DefWindowProcW(window, WM_COMMAND, wParam, lParam);
}
