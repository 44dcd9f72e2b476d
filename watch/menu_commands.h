// The commands of the context menu and the tray menu, and what each does to the settings. The
// shell carries out the part that touches windows, dialogs or the sound engine.
#pragma once

#include <cstdint>

struct WatchSettings;

// Command identifiers (the low word of WM_COMMAND's wParam). 1012 and 1047 are unused.
constexpr uint16_t CMD_DATE_JAPANESE = 1001;
constexpr uint16_t CMD_DATE_YMD = 1002;
constexpr uint16_t CMD_DATE_DMY = 1003;
constexpr uint16_t CMD_DATE_MDY = 1004;
constexpr uint16_t CMD_TIME_24 = 1005;
constexpr uint16_t CMD_TIME_12_FROM_1 = 1006;
constexpr uint16_t CMD_TIME_12_FROM_0 = 1007;
constexpr uint16_t CMD_TOPMOST = 1008;
constexpr uint16_t CMD_WATCH_MODE = 1009;
constexpr uint16_t CMD_PLAYER_TIME = 1010;
constexpr uint16_t CMD_ENDLESS_LOOP = 1011;
constexpr uint16_t CMD_HAMMING_WINDOW = 1013;
constexpr uint16_t CMD_PEAK = 1014;
constexpr uint16_t CMD_SMOOTH = 1015;
constexpr uint16_t CMD_ALARM_SETTINGS = 1016;
constexpr uint16_t CMD_CHARACTER_FIRST = 1017; // + character 0..29
constexpr uint16_t CMD_CHARACTER_LAST = 1046;
constexpr uint16_t CMD_VOLUME_100 = 1048;
constexpr uint16_t CMD_VOLUME_75 = 1049;
constexpr uint16_t CMD_VOLUME_50 = 1050;
constexpr uint16_t CMD_VOLUME_25 = 1051;
constexpr uint16_t CMD_MUTE = 1052;
constexpr uint16_t CMD_HIDE = 1053;
constexpr uint16_t CMD_APPEAR = 1054;
constexpr uint16_t CMD_QUIT = 1055;
constexpr uint16_t CMD_SNOOZE_5 = 1056; // snooze time in minutes
constexpr uint16_t CMD_SNOOZE_10 = 1057;
constexpr uint16_t CMD_SNOOZE_15 = 1058;
constexpr uint16_t CMD_CHARA_FILE_FIRST = 2001; // + the file's place in the "chara" folder list
constexpr uint16_t CMD_CHARA_FILE_LAST = 2064;

// What is left for the shell once a command has changed the settings.
enum class CommandAction {
    None,
    SetTopmost,      // make the watch topmost exactly when `value` is non-zero
    ShowNotice,      // WatchMode was switched on: show the notice dialog
    SetVolume,       // master volume `value` percent
    AlarmSettings,   // open the alarm settings dialog
    SwitchCharacter, // compose and reshape for the new character
    ChooseCharaFile, // wear file `value` of the "chara" folder list, if it is usable
    Hide,            // leave the top, minimize and hide
    Appear,          // bring a minimized watch back
    Quit,            // fade out and end
};

struct CommandOutcome {
    CommandAction action;
    int32_t value;
};

// Applies command `id` to `settings` (may be null: then nothing is kept, the topmost command
// always asks for topmost and the others act as on zero settings) and to `watchMode`. Unknown
// ids change nothing.
CommandOutcome applyMenuCommand(WatchSettings* settings, int32_t* watchMode, uint32_t id);

// True for the character entries, built-in or file; they skip the repaint and the settings notice
// that follow every other command.
bool isCharacterCommand(uint32_t id);
