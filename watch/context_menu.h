// The context menu as a flat list of entries, built anew from the settings on every right
// click so its check marks always show the current state. The shell turns the list into a
// popup menu.
#pragma once

#include "platform/platform.h"

#include <cstddef>
#include <cstdint>

struct CharaFileList;
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
    bool disabled; // shown greyed; choosing it does nothing
};

// Room for the whole context menu, the character files of the "chara" folder included.
constexpr size_t CONTEXT_MENU_CAPACITY = 160;

// Fills `out` (CONTEXT_MENU_CAPACITY entries) with the context menu for `settings` (null reads
// every setting as 0) and `watchMode`, the character files `charaFiles` (may be null) after the
// built-in characters, unusable ones greyed; returns the number of entries. The entries point
// into `charaFiles` for their texts.
size_t buildContextMenu(const WatchSettings* settings, int32_t watchMode,
                        const CharaFileList* charaFiles, MenuEntry* out);

// The tray menu: "現れる。" only while the watch is minimized, then always "おわり。".
size_t buildTrayMenu(bool minimized, MenuEntry* out);
