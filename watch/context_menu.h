// The context menu as a flat list of entries, built anew from the settings on every right
// click so its check marks always show the current state. The shell turns the list into a
// popup menu.
#pragma once

#include "platform/platform.h"

#include <cstddef>
#include <cstdint>

struct WatchSettings;

enum class MenuEntryKind : uint8_t {
    Command, // a command item: id, text, check mark
    Separator,
    SubmenuBegin, // the items up to the matching SubmenuEnd form a submenu titled `text`
    SubmenuEnd,
};

struct MenuEntry {
    MenuEntryKind kind;
    uint16_t id;
    bool checked;
    const char16* text;
};

// Room for the whole context menu.
constexpr size_t CONTEXT_MENU_CAPACITY = 80;

// Fills `out` (CONTEXT_MENU_CAPACITY entries) with the context menu for `settings` (null reads
// every setting as 0) and `watchMode`; returns the number of entries.
size_t buildContextMenu(const WatchSettings* settings, int32_t watchMode, MenuEntry* out);

// The tray menu: "現れる。" only while the watch is minimized, then always "おわり。".
size_t buildTrayMenu(bool minimized, MenuEntry* out);
