// The program's alarms: a heap array guarded by a lock, the path of Alarm.xml and the program
// folder relative sound paths are resolved against. One list, created at start-up, queried by
// the scheduler every second, replaced by the alarm dialog, saved and destroyed at shutdown.
#pragma once

#include <cstdint>

#include "alarm/alarm_entry.h"
#include "platform/platform.h"
#include "util/file_util.h"

// A snoozed alarm waiting to ring again.
struct PendingSnooze {
    AlarmEntry alarm; // the copy that rang, to ring again as it was
    SystemTime due;   // the local wall time it rings again
};

// Room for waiting snoozes: twice the alarms the dialog can make.
constexpr uint32_t SNOOZE_LIMIT = 64;
// A snooze the program missed by more than this (it was not running) is dropped, not rung late.
constexpr int64_t SNOOZE_LATE_SECONDS = 10 * 60;
// No snooze lies further ahead than the longest snooze time; one that does was made before the
// clock was set back, and rings at once.
constexpr int64_t SNOOZE_LONGEST_SECONDS = 60 * 60;

struct AlarmList {
    // A new empty list whose base folder is the current working directory plus a separator.
    // Null when memory runs out. The caller sets `filePath` and calls load().
    static AlarmList* create();
    // Frees the lock, the entries and the list itself. Null is ignored.
    static void destroy(AlarmList* list);

    // Replaces the alarms by the content of `filePath` when it is a valid alarm file; otherwise
    // the list stays as it was, and a file that is there but no alarm file is kept beside it as
    // "<filePath>.bad" (`setAside`) before a save could replace or delete it. When the file is
    // missing or was set aside, a complete "<filePath>.new" from an interrupted save is taken.
    void load();
    // Writes the alarms to `filePath` (replacing the old file in one step), or deletes the file
    // when the list is empty. True when the file on disk now holds the list; false when it could
    // not be written or `keepFile` is set.
    bool save();

    // The first armed alarm due exactly at `now` on its weekday. With an `out`, a one-shot alarm
    // found here is disarmed and the file rewritten before it is copied out; a null `out` only
    // asks whether one is due and changes nothing.
    bool matchNow(const SystemTime& now, AlarmEntry* out);
    // The armed alarm that comes next from `now` (one due at `now` itself counts), its
    // `dueOffset` set; of alarms due together the first in list order. Alarms whose time of day
    // can never occur are left out. False when no alarm can come.
    bool findNext(const SystemTime& now, AlarmEntry* out);
    // Replaces the alarms by `rowCount` rows of the alarm dialog, in order. Each row's
    // ALARM_ENABLED already reflects its check box. False (list unchanged) when memory runs out.
    bool applyRows(const AlarmEntry* rows, uint32_t rowCount);

    // Keeps `alarm` to ring again at `due`; the caller saves. False when SNOOZE_LIMIT snoozes
    // wait already.
    bool addSnooze(const AlarmEntry& alarm, const SystemTime& due);
    // Takes the first snooze due by `now` out of the list into `*out` and saves the file; ones
    // missed by more than SNOOZE_LATE_SECONDS go on the way. False when none is due.
    bool takeDueSnooze(const SystemTime& now, AlarmEntry* out);
    // The snooze that rings next, as findNext gives an alarm: armed, `dueOffset` counted from the
    // start of `now`'s day. False when none waits.
    bool nextSnooze(const SystemTime& now, AlarmEntry* out) const;
    // Before the dialog's rows replace the alarms: a snooze goes with its alarm when the rows no
    // longer hold it, or hold it disarmed while it was armed before.
    void dropSnoozesOfChangedAlarms(const AlarmEntry* rows, uint32_t rowCount);

    uint32_t count;
    AlarmEntry* entries; // null when count is 0
    char16 filePath[PATH_UNITS];
    char16 baseDir[PATH_UNITS];
    uint64_t baseDirLength;
    PlatformLock lock;
    // Set by load() when the file was there but could neither be read whole nor set aside as
    // "<filePath>.bad" (unreadable, too large, out of memory): saving over it or deleting it
    // would destroy the user's alarms, so the file is left as it is.
    bool keepFile;
    bool setAside; // set by load() when the file did not parse and was kept as "<filePath>.bad"
    PendingSnooze snoozes[SNOOZE_LIMIT]; // in the order they were made
    uint32_t snoozeCount;
};

// Bit index in `days` of the weekday of a date: Monday 0 .. Saturday 5, Sunday 6.
uint32_t alarmDayBit(const SystemTime& date);
