// The user's settings and their file, Setting.xml. The parsed document stays attached to the
// record for the whole run, so a save rewrites the file as it was loaded, changed only in the
// settings the program owns; elements and attributes it does not know survive.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "util/file_util.h"
#include "xml/xml.h"

// One heap record owned by WatchApp; read and changed in place by the user-interface thread.
struct WatchSettings {
    char16 path[PATH_UNITS]; // full path of Setting.xml
    int32_t x;               // watch window left, screen pixels
    int32_t y;               // watch window top
    int32_t topmost;         // non-zero: the watch window stays on top
    int32_t chara;           // character 0..29; 0 shows the panel alone
    int32_t watch;           // non-zero: WatchMode is on at start-up
    int32_t dateFormat;      // 0 Japanese year/month/day and weekday; 1 Y/M/D; 2 D/M/Y; 3 M/D/Y
    int32_t timeFormat;      // 0 24-hour; 1 12-hour 1:00-12:00; 2 12-hour 0:00-11:00
    int32_t playCount;       // sound test plays; 0 loops without end
    int32_t playerTime;      // player shows 0 elapsed, 1 remaining time
    int32_t hammingWindow;   // non-zero: the oscilloscope trace is windowed
    int32_t peak;            // non-zero: spectrum peaks leave an afterimage
    int32_t smooth;          // non-zero: spectrum drawn as one-column bars
    int32_t channels;        // output channel count, handed to the engine at start-up
    int32_t sampleBits;      // output bits per sample
    int32_t sampleRate;      // output sample rate, Hz
    int32_t volume;          // master volume in percent
    int32_t doNotAskAgain;   // non-zero: the WatchMode notice is not shown again
    int32_t snooze;          // minutes a snoozed alarm waits, SNOOZE_MIN..SNOOZE_MAX
    // The user's own character: a PNG file name in the "chara" folder, empty while a built-in
    // character (`chara`) is shown. Only a plain "*.png" name is ever taken from the file.
    char16 charaFile[PATH_UNITS];
    XmlDocument* document; // the loaded or newly created document
    // The file was there but could not be read (locked, no permission, too large) or set aside:
    // saving would replace the user's settings with defaults, so no save writes it.
    bool keepFile;
    bool setAside; // the file did not parse and was kept as "<path>.bad"
};

// Characters in the character table; `chara` indexes it.
constexpr int32_t SETTINGS_CHARACTER_COUNT = 30;

// The snooze time in minutes: the default, which the file leaves unwritten, and its range.
constexpr int32_t SNOOZE_DEFAULT = 5;
constexpr int32_t SNOOZE_MIN = 1;
constexpr int32_t SNOOZE_MAX = 60;

// True for a name `charaFile` may hold: a plain file name ending in ".png" (any case), no folder
// part, so that a hand-edited file cannot point outside the "chara" folder.
bool isCharaFileName(const char16* name);

// Fills `record` from the file at `path`: defaults first, then every setting the file holds. A
// file that cannot be read as settings is kept beside it as "<path>.bad" before any save could
// replace it (`setAside`); one that cannot be read at all is left alone (`keepFile`). When the
// file is missing or was set aside, a complete "<path>.new" from an interrupted save is taken in
// its place. Returns `record`.
WatchSettings* loadSettings(const char16* path, WatchSettings* record);
// Writes the record into its document and the document to the record's path, replacing the old
// file in one step. False when there is nothing to save (null record or no document), the file
// is kept as it was (`keepFile`) or it could not be written.
bool saveSettings(WatchSettings* record);
// Frees the attached document; the record itself stays the caller's.
void freeSettings(WatchSettings* record);
