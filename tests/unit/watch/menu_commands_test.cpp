// The context menu's entries and check marks, and what each command does to the settings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/settings.h"
#include "watch/character_names.h"
#include "watch/context_menu.h"
#include "watch/menu_commands.h"
#include "watch/watch_mode.h"

namespace {

using Text = std::basic_string<char16>;

WatchSettings defaults() {
    WatchSettings s = {};
    s.topmost = 1;
    s.chara = 1;
    s.playCount = 1;
    s.playerTime = 1;
    s.hammingWindow = 1;
    s.peak = 1;
    s.volume = 100;
    s.snooze = 5;
    return s;
}

std::vector<MenuEntry> contextMenu(const WatchSettings* s, int32_t watchMode) {
    std::vector<MenuEntry> entries(CONTEXT_MENU_CAPACITY);
    entries.resize(buildContextMenu(s, watchMode, nullptr, entries.data()));
    return entries;
}

// The texts of the checked command items, in menu order.
std::vector<Text> checkedTexts(const std::vector<MenuEntry>& entries) {
    std::vector<Text> texts;
    for (const MenuEntry& e : entries)
        if (e.kind == MenuEntryKind::Command && e.checked) texts.push_back(e.text);
    return texts;
}

const MenuEntry* find(const std::vector<MenuEntry>& entries, const Text& text) {
    for (const MenuEntry& e : entries)
        if (e.text && text == e.text) return &e;
    return nullptr;
}

TEST(ContextMenu, TopLevelOrderWithSubmenusAndSeparators) {
    WatchSettings s = defaults();
    std::vector<MenuEntry> entries = contextMenu(&s, 0);
    std::vector<Text> top;
    int depth = 0;
    for (const MenuEntry& e : entries) {
        if (e.kind == MenuEntryKind::SubmenuEnd) {
            --depth;
            continue;
        }
        if (depth == 0) top.push_back(e.kind == MenuEntryKind::Separator ? Text(U16("-")) : e.text);
        if (e.kind == MenuEntryKind::SubmenuBegin) ++depth;
    }
    EXPECT_EQ(depth, 0);
    const std::vector<Text> expected = {
        U16("年月日表記"), U16("時間表記"), U16("常に前面に表示"), U16("ウォッチモード"),
        U16("アバター"),   U16("-"),        U16("サウンドテスト"), U16("ビジュアライザー"),
        U16("スヌーズ"),   U16("-"),        U16("アラーム設定"),   U16("ボリューム"),
        U16("-"),          U16("隠れる。"), U16("おわり。")};
    EXPECT_EQ(top, expected);
    EXPECT_LE(entries.size(), CONTEXT_MENU_CAPACITY);
}

TEST(ContextMenu, DefaultSettingsMarkTheirItems) {
    WatchSettings s = defaults();
    const std::vector<Text> expected = {
        U16("Y年M月D日(曜日)"), U16("24時間"),       U16("常に前面に表示"),
        characterName(1),       U16("残り時間表示"), U16("ハミング窓"),
        U16("ピーク残像"),      U16("5分"),          U16("100%")};
    EXPECT_EQ(checkedTexts(contextMenu(&s, 0)), expected);
}

TEST(ContextMenu, PlayerTimeZeroMarksElapsedAndEndlessLoopIsMarkedAtZeroPlays) {
    WatchSettings s = defaults();
    s.playerTime = 0;
    s.playCount = 0;
    std::vector<MenuEntry> entries = contextMenu(&s, 0);
    EXPECT_TRUE(find(entries, U16("再生時間表示"))->checked);
    EXPECT_FALSE(find(entries, U16("残り時間表示"))->checked);
    EXPECT_TRUE(find(entries, U16("無限ループ再生"))->checked);
    EXPECT_EQ(find(entries, U16("再生時間表示"))->id, CMD_PLAYER_TIME);
    EXPECT_EQ(find(entries, U16("残り時間表示"))->id, CMD_PLAYER_TIME);
}

TEST(ContextMenu, HandEditedVolumeMarksNoVolumeItem) {
    WatchSettings s = defaults();
    s.volume = 30;
    std::vector<MenuEntry> entries = contextMenu(&s, 0);
    for (const char16* item : {U16("100%"), U16("75%"), U16("50%"), U16("25%"), U16("ミュート")})
        EXPECT_FALSE(find(entries, item)->checked);
}

TEST(ContextMenu, WithoutSettingsEveryConditionReadsZero) {
    std::vector<MenuEntry> entries = contextMenu(nullptr, WATCH_MODE_FOLLOWING);
    const std::vector<Text> expected = {
        U16("Y年M月D日(曜日)"), U16("24時間"),         U16("ウォッチモード"), U16("なし"),
        U16("再生時間表示"),    U16("無限ループ再生"), U16("ミュート")};
    EXPECT_EQ(checkedTexts(entries), expected);
}

TEST(ContextMenu, ThirtyCharacterEntriesInIndexOrder) {
    WatchSettings s = defaults();
    s.chara = 29;
    std::vector<MenuEntry> entries = contextMenu(&s, 0);
    size_t i = 0;
    while (!(entries[i].kind == MenuEntryKind::SubmenuBegin &&
             Text(U16("アバター")) == entries[i].text))
        ++i;
    for (int c = 0; c < 30; ++c) {
        const MenuEntry& e = entries[i + 1 + c];
        EXPECT_EQ(e.id, CMD_CHARACTER_FIRST + c);
        EXPECT_EQ(Text(e.text), Text(characterName(c)));
        EXPECT_EQ(e.checked, c == 29);
    }
    EXPECT_EQ(entries[i + 31].kind, MenuEntryKind::SubmenuEnd);
}

TEST(TrayMenu, AppearOnlyWhileMinimized) {
    MenuEntry entries[2];
    ASSERT_EQ(buildTrayMenu(false, entries), 1u);
    EXPECT_EQ(entries[0].id, CMD_QUIT);
    ASSERT_EQ(buildTrayMenu(true, entries), 2u);
    EXPECT_EQ(entries[0].id, CMD_APPEAR);
    EXPECT_EQ(Text(entries[0].text), Text(U16("現れる。")));
    EXPECT_EQ(Text(entries[1].text), Text(U16("おわり。")));
}

TEST(MenuCommands, FormatsAndTogglesChangeTheirSetting) {
    struct Case {
        uint16_t id;
        int32_t WatchSettings::*field;
        int32_t before, after;
    };
    const Case cases[] = {
        {CMD_DATE_MDY, &WatchSettings::dateFormat, 0, 3},
        {CMD_DATE_JAPANESE, &WatchSettings::dateFormat, 2, 0},
        {CMD_TIME_12_FROM_0, &WatchSettings::timeFormat, 0, 2},
        {CMD_PLAYER_TIME, &WatchSettings::playerTime, 1, 0},
        {CMD_PLAYER_TIME, &WatchSettings::playerTime, 5, 0},
        {CMD_ENDLESS_LOOP, &WatchSettings::playCount, 1, 0},
        {CMD_ENDLESS_LOOP, &WatchSettings::playCount, 0, 1},
        {CMD_HAMMING_WINDOW, &WatchSettings::hammingWindow, 0, 1},
        {CMD_PEAK, &WatchSettings::peak, 1, 0},
        {CMD_SMOOTH, &WatchSettings::smooth, 0, 1},
        {CMD_SNOOZE_15, &WatchSettings::snooze, 5, 15},
        {CMD_SNOOZE_5, &WatchSettings::snooze, 30, 5},
    };
    for (const Case& c : cases) {
        WatchSettings s = defaults();
        s.*c.field = c.before;
        int32_t mode = 0;
        CommandOutcome out = applyMenuCommand(&s, &mode, c.id);
        EXPECT_EQ(s.*c.field, c.after) << c.id;
        EXPECT_EQ(out.action, CommandAction::None) << c.id;
    }
}

TEST(MenuCommands, TopmostTogglesAndWithoutSettingsAlwaysAsksForTop) {
    WatchSettings s = defaults();
    int32_t mode = 0;
    CommandOutcome out = applyMenuCommand(&s, &mode, CMD_TOPMOST);
    EXPECT_EQ(out.action, CommandAction::SetTopmost);
    EXPECT_EQ(out.value, 0);
    EXPECT_EQ(s.topmost, 0);
    out = applyMenuCommand(nullptr, &mode, CMD_TOPMOST);
    EXPECT_EQ(out.value, 1);
}

TEST(MenuCommands, WatchModeShowsTheNoticeOnlyWhenSwitchedOnAndAsked) {
    WatchSettings s = defaults();
    int32_t mode = WATCH_MODE_OFF;
    EXPECT_EQ(applyMenuCommand(&s, &mode, CMD_WATCH_MODE).action, CommandAction::ShowNotice);
    EXPECT_EQ(mode, WATCH_MODE_ON);
    EXPECT_EQ(s.watch, 1);
    mode = WATCH_MODE_FOLLOWING;
    EXPECT_EQ(applyMenuCommand(&s, &mode, CMD_WATCH_MODE).action, CommandAction::None);
    EXPECT_EQ(mode, WATCH_MODE_OFF);
    EXPECT_EQ(s.watch, 0);
    s.doNotAskAgain = 1;
    EXPECT_EQ(applyMenuCommand(&s, &mode, CMD_WATCH_MODE).action, CommandAction::None);
    EXPECT_EQ(mode, WATCH_MODE_ON);
    mode = WATCH_MODE_OFF;
    EXPECT_EQ(applyMenuCommand(nullptr, &mode, CMD_WATCH_MODE).action, CommandAction::ShowNotice);
    EXPECT_EQ(mode, WATCH_MODE_ON);
}

TEST(MenuCommands, VolumesAndCharactersAndWindowCommands) {
    const int32_t volumes[] = {100, 75, 50, 25, 0};
    for (uint16_t id = CMD_VOLUME_100; id <= CMD_MUTE; ++id) {
        WatchSettings s = defaults();
        int32_t mode = 0;
        CommandOutcome out = applyMenuCommand(&s, &mode, id);
        EXPECT_EQ(out.action, CommandAction::SetVolume);
        EXPECT_EQ(out.value, volumes[id - CMD_VOLUME_100]);
        EXPECT_EQ(s.volume, out.value);
        EXPECT_EQ(applyMenuCommand(nullptr, &mode, id).value, out.value);
    }
    WatchSettings s = defaults();
    int32_t mode = 0;
    EXPECT_EQ(applyMenuCommand(&s, &mode, CMD_CHARACTER_LAST).action,
              CommandAction::SwitchCharacter);
    EXPECT_EQ(s.chara, 29);
    EXPECT_TRUE(isCharacterCommand(CMD_CHARACTER_FIRST));
    EXPECT_FALSE(isCharacterCommand(1047));
    EXPECT_EQ(applyMenuCommand(&s, &mode, CMD_HIDE).action, CommandAction::Hide);
    EXPECT_EQ(applyMenuCommand(&s, &mode, CMD_APPEAR).action, CommandAction::Appear);
    EXPECT_EQ(applyMenuCommand(&s, &mode, CMD_QUIT).action, CommandAction::Quit);
    EXPECT_EQ(applyMenuCommand(&s, &mode, CMD_ALARM_SETTINGS).action, CommandAction::AlarmSettings);
}

TEST(MenuCommands, UnusedIdsChangeNothing) {
    for (uint32_t id : {1012u, 1047u, 1000u, 1056u, 0u}) {
        WatchSettings s = defaults();
        WatchSettings before = s;
        int32_t mode = 0;
        EXPECT_EQ(applyMenuCommand(&s, &mode, id).action, CommandAction::None) << id;
        EXPECT_EQ(memcmp(&s, &before, sizeof s), 0) << id;
        EXPECT_EQ(mode, 0);
    }
}

} // namespace
