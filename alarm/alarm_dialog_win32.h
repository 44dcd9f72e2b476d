// The alarm settings dialog: a resizable list of the alarms with an edit panel below it. Edits
// are made on copies held by the rows; the alarm list changes only when the user closes with
// "適用して終了". Modal, on the user-interface thread.
#pragma once

#include <windows.h>

struct AlarmList;

// Shows the dialog owned by `owner` until the user closes it. Returns 1 when the rows were
// applied to `list`, 2 or 0 when the list was left as it was, -1 when the dialog could not open.
INT_PTR showAlarmDialog(HINSTANCE instance, HWND owner, AlarmList* list);
