#include "watch/context_menu.h"

#include "settings/settings.h"
#include "watch/chara_files.h"
#include "watch/character_names.h"
#include "watch/character_table.h"
#include "watch/menu_commands.h"

namespace {

// Appends entries in order; the capacity is fixed by the menu's known shape.
struct MenuWriter {
    MenuEntry* out;
    size_t count;

    void command(uint16_t id, const char16* text, bool checked, bool disabled = false) {
        out[count++] = MenuEntry{MenuEntryKind::Command, id, checked, text, disabled};
    }
    void separator() {
        out[count++] = MenuEntry{MenuEntryKind::Separator, 0, false, nullptr, false};
    }
    void begin(const char16* text) {
        out[count++] = MenuEntry{MenuEntryKind::SubmenuBegin, 0, false, text, false};
    }
    void end() { out[count++] = MenuEntry{MenuEntryKind::SubmenuEnd, 0, false, nullptr, false}; }
};

// The settings the menu reads, all 0 without a settings record.
WatchSettings readable(const WatchSettings* settings) {
    WatchSettings values = {};
    if (settings) values = *settings;
    return values;
}

void addFormats(MenuWriter& m, const WatchSettings& s) {
    m.begin(U16("年月日表記"));
    m.command(CMD_DATE_JAPANESE, U16("Y年M月D日(曜日)"), s.dateFormat == 0);
    m.command(CMD_DATE_YMD, U16("Y/M/D week"), s.dateFormat == 1);
    m.command(CMD_DATE_DMY, U16("D/M/Y week"), s.dateFormat == 2);
    m.command(CMD_DATE_MDY, U16("M/D/Y week"), s.dateFormat == 3);
    m.end();
    m.begin(U16("時間表記"));
    m.command(CMD_TIME_24, U16("24時間"), s.timeFormat == 0);
    m.command(CMD_TIME_12_FROM_1, U16("12時間(a.m./p.m. 1:00～12:00)"), s.timeFormat == 1);
    m.command(CMD_TIME_12_FROM_0, U16("12時間(a.m./p.m. 0:00～11:00)"), s.timeFormat == 2);
    m.end();
}

bool sameName(const char16* a, const char16* b) {
    for (; *a && *a == *b; ++a, ++b) {
    }
    return *a == *b;
}

// While a file character is chosen no built-in one is marked.
void addCharacters(MenuWriter& m, const WatchSettings& s, const CharaFileList* files) {
    m.begin(U16("アバター"));
    bool builtIn = s.charaFile[0] == 0;
    for (int i = 0; i < CHARACTER_COUNT; ++i)
        m.command(static_cast<uint16_t>(CMD_CHARACTER_FIRST + i), characterName(i),
                  builtIn && s.chara == i);
    for (int i = 0; files && i < files->count; ++i) {
        const CharaFile& f = files->files[i];
        m.command(static_cast<uint16_t>(CMD_CHARA_FILE_FIRST + i), f.label,
                  !builtIn && f.usable && sameName(f.name, s.charaFile), !f.usable);
    }
    m.end();
}

void addPlayerOptions(MenuWriter& m, const WatchSettings& s) {
    m.begin(U16("サウンドテスト"));
    m.command(CMD_PLAYER_TIME, U16("再生時間表示"), s.playerTime == 0);
    m.command(CMD_PLAYER_TIME, U16("残り時間表示"), s.playerTime == 1);
    m.command(CMD_ENDLESS_LOOP, U16("無限ループ再生"), s.playCount == 0);
    m.end();
    m.begin(U16("ビジュアライザー"));
    m.begin(U16("オシロスコープ"));
    m.command(CMD_HAMMING_WINDOW, U16("ハミング窓"), s.hammingWindow == 1);
    m.end();
    m.begin(U16("スペクトラム"));
    m.command(CMD_SMOOTH, U16("スムース"), s.smooth == 1);
    m.command(CMD_PEAK, U16("ピーク残像"), s.peak == 1);
    m.end();
    m.end();
}

void addSnoozeTimes(MenuWriter& m, const WatchSettings& s) {
    m.begin(U16("スヌーズ"));
    m.command(CMD_SNOOZE_5, U16("5分"), s.snooze == 5);
    m.command(CMD_SNOOZE_10, U16("10分"), s.snooze == 10);
    m.command(CMD_SNOOZE_15, U16("15分"), s.snooze == 15);
    m.end();
}

void addVolumes(MenuWriter& m, const WatchSettings& s) {
    m.begin(U16("ボリューム"));
    m.command(CMD_VOLUME_100, U16("100%"), s.volume == 100);
    m.command(CMD_VOLUME_75, U16("75%"), s.volume == 75);
    m.command(CMD_VOLUME_50, U16("50%"), s.volume == 50);
    m.command(CMD_VOLUME_25, U16("25%"), s.volume == 25);
    m.command(CMD_MUTE, U16("ミュート"), s.volume == 0);
    m.end();
}

} // namespace

size_t buildContextMenu(const WatchSettings* settings, int32_t watchMode,
                        const CharaFileList* charaFiles, MenuEntry* out) {
    WatchSettings s = readable(settings);
    MenuWriter m{out, 0};
    addFormats(m, s);
    m.command(CMD_TOPMOST, U16("常に前面に表示"), s.topmost != 0);
    m.command(CMD_WATCH_MODE, U16("ウォッチモード"), watchMode != 0);
    addCharacters(m, s, charaFiles);
    m.separator();
    addPlayerOptions(m, s);
    addSnoozeTimes(m, s);
    m.separator();
    m.command(CMD_ALARM_SETTINGS, U16("アラーム設定"), false);
    addVolumes(m, s);
    m.separator();
    m.command(CMD_HIDE, U16("隠れる。"), false);
    m.command(CMD_QUIT, U16("おわり。"), false);
    return m.count;
}

size_t buildTrayMenu(bool minimized, MenuEntry* out) {
    MenuWriter m{out, 0};
    if (minimized) m.command(CMD_APPEAR, U16("現れる。"), false);
    m.command(CMD_QUIT, U16("おわり。"), false);
    return m.count;
}
