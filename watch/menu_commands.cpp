#include "watch/menu_commands.h"

#include "settings/settings.h"
#include "watch/watch_mode.h"

namespace {

int32_t toggled(int32_t value) {
    return value == 0 ? 1 : 0;
}

// The field a plain setting command writes, and the value it writes there.
struct SettingChange {
    uint16_t id;
    int32_t WatchSettings::*field;
    int32_t value; // -1: toggle
};

const SettingChange CHANGES[] = {
    {CMD_DATE_JAPANESE, &WatchSettings::dateFormat, 0},
    {CMD_DATE_YMD, &WatchSettings::dateFormat, 1},
    {CMD_DATE_DMY, &WatchSettings::dateFormat, 2},
    {CMD_DATE_MDY, &WatchSettings::dateFormat, 3},
    {CMD_TIME_24, &WatchSettings::timeFormat, 0},
    {CMD_TIME_12_FROM_1, &WatchSettings::timeFormat, 1},
    {CMD_TIME_12_FROM_0, &WatchSettings::timeFormat, 2},
    {CMD_PLAYER_TIME, &WatchSettings::playerTime, -1},
    {CMD_ENDLESS_LOOP, &WatchSettings::playCount, -1},
    {CMD_HAMMING_WINDOW, &WatchSettings::hammingWindow, -1},
    {CMD_PEAK, &WatchSettings::peak, -1},
    {CMD_SMOOTH, &WatchSettings::smooth, -1},
    {CMD_SNOOZE_5, &WatchSettings::snooze, 5},
    {CMD_SNOOZE_10, &WatchSettings::snooze, 10},
    {CMD_SNOOZE_15, &WatchSettings::snooze, 15},
};

const int32_t VOLUMES[] = {100, 75, 50, 25, 0}; // CMD_VOLUME_100 .. CMD_MUTE

bool applySettingChange(WatchSettings* settings, uint32_t id) {
    for (const SettingChange& c : CHANGES) {
        if (c.id != id) continue;
        if (settings) settings->*c.field = c.value < 0 ? toggled(settings->*c.field) : c.value;
        return true;
    }
    return false;
}

CommandOutcome switchWatchMode(WatchSettings* settings, int32_t* watchMode) {
    *watchMode = toggledWatchMode(*watchMode);
    if (settings) settings->watch = *watchMode;
    bool ask = !settings || settings->doNotAskAgain == 0;
    if (*watchMode != WATCH_MODE_OFF && ask) return {CommandAction::ShowNotice, 0};
    return {CommandAction::None, 0};
}

CommandOutcome switchTopmost(WatchSettings* settings) {
    if (!settings) return {CommandAction::SetTopmost, 1};
    settings->topmost = toggled(settings->topmost);
    return {CommandAction::SetTopmost, settings->topmost};
}

} // namespace

bool isCharacterCommand(uint32_t id) {
    return (id >= CMD_CHARACTER_FIRST && id <= CMD_CHARACTER_LAST) ||
           (id >= CMD_CHARA_FILE_FIRST && id <= CMD_CHARA_FILE_LAST);
}

CommandOutcome applyMenuCommand(WatchSettings* settings, int32_t* watchMode, uint32_t id) {
    if (applySettingChange(settings, id)) return {CommandAction::None, 0};
    if (id >= CMD_CHARA_FILE_FIRST && id <= CMD_CHARA_FILE_LAST)
        return {CommandAction::ChooseCharaFile, static_cast<int32_t>(id - CMD_CHARA_FILE_FIRST)};
    if (isCharacterCommand(id)) {
        if (settings) {
            settings->chara = static_cast<int32_t>(id - CMD_CHARACTER_FIRST);
            settings->charaFile[0] = 0;
        }
        return {CommandAction::SwitchCharacter, 0};
    }
    if (id >= CMD_VOLUME_100 && id <= CMD_MUTE) {
        int32_t volume = VOLUMES[id - CMD_VOLUME_100];
        if (settings) settings->volume = volume;
        return {CommandAction::SetVolume, volume};
    }
    switch (id) {
    case CMD_TOPMOST:
        return switchTopmost(settings);
    case CMD_WATCH_MODE:
        return switchWatchMode(settings, watchMode);
    case CMD_ALARM_SETTINGS:
        return {CommandAction::AlarmSettings, 0};
    case CMD_HIDE:
        return {CommandAction::Hide, 0};
    case CMD_APPEAR:
        return {CommandAction::Appear, 0};
    case CMD_QUIT:
        return {CommandAction::Quit, 0};
    default:
        return {CommandAction::None, 0};
    }
}
