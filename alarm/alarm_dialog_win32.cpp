#include "alarm/alarm_dialog_win32.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstdio>
#include <new>

#include "alarm/alarm_list.h"
#include "alarm/alarm_rows.h"
#include "alarm/symbol_preview.h"
#include "gfx/screen_win32.h"
#include "sound/sound_engine.h"
#include "util/debug_log.h"
#include "util/dropped_files_win32.h"
#include "util/owned_handle_win32.h"
#include "util/window_class_win32.h"
#include "util/path_util.h"
#include "util/window_placement_win32.h"

namespace {

constexpr int LIST_DIALOG_RESOURCE = 155;
constexpr int EDIT_PANEL_RESOURCE = 156;

// Controls of the list dialog and of the edit panel.
constexpr int ID_LIST_VIEW = 1001;
constexpr int ID_APPLY_AND_CLOSE = 1;
constexpr int ID_CLOSE_WITHOUT_APPLYING = 2;
constexpr int ID_COMMIT = 1002;
constexpr int ID_MONDAY = 1003; // 1003..1009, see DayBoxes
constexpr int ID_HOUR = 1010;
constexpr int ID_HOUR_SPIN = 1011;
constexpr int ID_MINUTE = 1012;
constexpr int ID_MINUTE_SPIN = 1013;
constexpr int ID_SECOND = 1014;
constexpr int ID_SECOND_SPIN = 1015;
constexpr int ID_REPEAT = 1016;
constexpr int ID_PLAY_TIMES = 1017;
constexpr int ID_LOOP = 1018;
constexpr int ID_PLAY_TIMES_SPIN = 1019;
constexpr int ID_SOUND_FILE = 1020;
constexpr int ID_SYMBOL_SPIN = 1021;
constexpr int ID_SYMBOL_PREVIEW = 1022;
constexpr int ID_DELETE = 1023;

constexpr int SYMBOL_LAST = 6;

// How often the dialog looks for alarms the scheduler disarmed while it is open.
constexpr UINT_PTR FOLLOW_LIST_TIMER = 1;
constexpr UINT FOLLOW_LIST_MS = 100;

// The weekday boxes by id; 1007 carries Saturday and 1008 Friday.
struct DayBox {
    int id;
    uint32_t bit;
};
constexpr DayBox DayBoxes[] = {
    {1003, DAY_MONDAY},   {1004, DAY_TUESDAY}, {1005, DAY_WEDNESDAY}, {1006, DAY_THURSDAY},
    {1007, DAY_SATURDAY}, {1008, DAY_FRIDAY},  {1009, DAY_SUNDAY},
};

// A number edit with its up-down, the range of its field and where the field lives.
struct NumberField {
    int edit;
    int spin;
    uint32_t low;
    uint32_t high;
    uint32_t AlarmEntry::*field;
};
constexpr NumberField NumberFields[] = {
    {ID_HOUR, ID_HOUR_SPIN, 0, 23, &AlarmEntry::hour},
    {ID_MINUTE, ID_MINUTE_SPIN, 0, 59, &AlarmEntry::minute},
    {ID_SECOND, ID_SECOND_SPIN, 0, 59, &AlarmEntry::second},
    {ID_PLAY_TIMES, ID_PLAY_TIMES_SPIN, 1, 10, &AlarmEntry::playTimes},
};

// The data an alarm row owns: its copy of the alarm and, for a row shown from the list at open
// and not rewritten since, where that alarm is in the list and whether it was armed there when
// last looked at.
struct AlarmRow {
    AlarmEntry entry;
    int32_t listIndex; // -1 for a row added or rewritten in the dialog
    bool armedInList;
};

// The open dialog: the list it edits and the state of its windows, made by showAlarmDialog for
// as long as the dialog is open. Each alarm row of the list view owns an AlarmRow on the heap.
struct AlarmDialog {
    AlarmList* list;
    HINSTANCE instance;
    HWND listDialog;
    HWND listView;
    HWND editPanel;
    RECT minTrackSize;
    WNDPROC fileButtonProc;
    int selectedRow;
    AlarmEntry editEntry;
    CScreen* symbolPreview;
};

AlarmDialog* dialogOf(HWND window) {
    return reinterpret_cast<AlarmDialog*>(GetWindowLongPtrW(window, DWLP_USER));
}

// ---- rows ----

AlarmRow* rowData(const AlarmDialog* d, int row) {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageW(d->listView, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    return reinterpret_cast<AlarmRow*>(item.lParam);
}

AlarmEntry* rowEntry(const AlarmDialog* d, int row) {
    AlarmRow* data = rowData(d, row);
    return data ? &data->entry : nullptr;
}

int rowCount(const AlarmDialog* d) {
    return int(SendMessageW(d->listView, LVM_GETITEMCOUNT, 0, 0));
}

bool rowChecked(const AlarmDialog* d, int row) {
    return ListView_GetCheckState(d->listView, row) == 1;
}

PanelRow selectedKind(const AlarmDialog* d) {
    if (d->selectedRow < 0 || d->selectedRow >= rowCount(d)) return PanelRow::None;
    return rowEntry(d, d->selectedRow) ? PanelRow::Alarm : PanelRow::New;
}

// The alarm of the row shown in the panel; null for the "新規" row or no row.
AlarmEntry* selectedAlarm(const AlarmDialog* d) {
    return selectedKind(d) == PanelRow::Alarm ? rowEntry(d, d->selectedRow) : nullptr;
}

void setRowText(const AlarmDialog* d, int row, int column, const char16* text) {
    ListView_SetItemText(d->listView, row, column, const_cast<LPWSTR>(text));
}

void selectRow(const AlarmDialog* d, int row) {
    UINT both = LVIS_SELECTED | LVIS_FOCUSED;
    ListView_SetItemState(d->listView, row, both, both);
}

// Writes `entry` into row `row`, or appends it when `row` is negative. The row takes a new copy
// of the alarm and frees the one it held. `listIndex` is where the alarm is in the list, or -1.
void fillAlarmRow(AlarmDialog* d, int row, const AlarmEntry& entry, int32_t listIndex) {
    AlarmRow* copy =
        new (std::nothrow) AlarmRow{entry, listIndex, (entry.flags & ALARM_ENABLED) != 0};
    if (!copy) return;
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.lParam = reinterpret_cast<LPARAM>(copy);
    if (row < 0) {
        item.mask |= LVIF_TEXT;
        item.iItem = rowCount(d);
        item.pszText = const_cast<LPWSTR>(alarmSymbolText(entry));
        row = int(SendMessageW(d->listView, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (row < 0) {
            delete copy;
            return;
        }
    } else {
        AlarmRow* old = rowData(d, row);
        item.iItem = row;
        if (!SendMessageW(d->listView, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item))) {
            delete copy;
            return;
        }
        delete old;
        setRowText(d, row, 0, alarmSymbolText(entry));
    }
    char16 text[ALARM_ROW_TEXT_UNITS];
    alarmTimeText(entry, text);
    setRowText(d, row, 1, text);
    alarmDaysText(entry.days, text);
    setRowText(d, row, 2, text);
    ListView_SetCheckState(d->listView, row, (entry.flags & ALARM_ENABLED) != 0);
}

// Appends the "新規" row and selects it; a full list selects its first row instead.
void fillNewRow(AlarmDialog* d) {
    int count = rowCount(d);
    if (count >= ALARM_DIALOG_MAX_ROWS) {
        selectRow(d, 0);
        return;
    }
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = count;
    item.pszText = const_cast<LPWSTR>(NEW_ROW_NAME);
    int row = int(SendMessageW(d->listView, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return;
    setRowText(d, row, 1, U16(""));
    setRowText(d, row, 2, NEW_ROW_HINT);
    selectRow(d, row);
}

void freeRows(AlarmDialog* d) {
    for (int row = rowCount(d) - 1; row >= 0; --row)
        delete rowData(d, row);
}

// ---- the panel ----

void setNumber(HWND panel, int id, uint32_t value) {
    wchar_t text[16];
    swprintf(text, 16, L"%d", int(value));
    SetDlgItemTextW(panel, id, text);
}

void setSpinPos(HWND panel, int id, uint32_t value) {
    SendDlgItemMessageW(panel, id, UDM_SETPOS32, 0, LPARAM(value));
}

void showSoundFile(AlarmDialog* d) {
    char16 name[PATH_UNITS];
    const char16* shown = SOUND_FILE_PROMPT;
    if (d->editEntry.soundFile[0] && fileNameOf(d->editEntry.soundFile, name, PATH_UNITS) > 0)
        shown = name;
    SetDlgItemTextW(d->editPanel, ID_SOUND_FILE, shown);
}

void drawSymbolPreview(AlarmDialog* d) {
    if (!d->symbolPreview) return;
    paintSymbolPreview(d->symbolPreview, d->editEntry.symbol);
    InvalidateRect(d->symbolPreview->window, nullptr, FALSE);
}

void updatePanelButtons(AlarmDialog* d) {
    drawSymbolPreview(d);
    PanelRow kind = selectedKind(d);
    const AlarmEntry* entry = selectedAlarm(d);
    HWND panel = d->editPanel;
    EnableWindow(GetDlgItem(panel, ID_DELETE), kind == PanelRow::Alarm);
    SetDlgItemTextW(panel, ID_COMMIT, kind == PanelRow::Alarm ? L"更新" : L"追加");
    EnableWindow(GetDlgItem(panel, ID_COMMIT), panelCanCommit(kind, entry, d->editEntry));
}

// Shows `entry` in the panel, or the defaults of a new alarm when it is null.
void loadPanel(AlarmDialog* d, const AlarmEntry* entry) {
    d->editEntry = entry ? *entry : newAlarmDefaults();
    const AlarmEntry shown = d->editEntry;
    HWND panel = d->editPanel;
    setSpinPos(panel, ID_SYMBOL_SPIN, shown.symbol);
    for (const NumberField& f : NumberFields) {
        setSpinPos(panel, f.spin, shown.*f.field);
        setNumber(panel, f.edit, shown.*f.field);
    }
    for (const DayBox& box : DayBoxes)
        CheckDlgButton(panel, box.id, (shown.days & box.bit) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(panel, ID_REPEAT, (shown.flags & ALARM_REPEAT) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(panel, ID_LOOP, (shown.flags & ALARM_LOOP) ? BST_CHECKED : BST_UNCHECKED);
    showSoundFile(d);
    updatePanelButtons(d);
}

void loadSelectedRow(AlarmDialog* d) {
    loadPanel(d, selectedAlarm(d));
}

void commitPanel(AlarmDialog* d) {
    PanelRow kind = selectedKind(d);
    if (kind == PanelRow::None) return;
    // Copied first: filling the row re-selects it, which reloads the panel.
    const AlarmEntry edit = d->editEntry;
    fillAlarmRow(d, d->selectedRow, edit, -1);
    if (kind == PanelRow::New) fillNewRow(d);
    updatePanelButtons(d);
}

void deleteRow(AlarmDialog* d) {
    if (selectedKind(d) == PanelRow::Alarm) {
        delete rowData(d, d->selectedRow);
        ListView_DeleteItem(d->listView, d->selectedRow);
    }
    // The last row may have gone with no "新規" row after it: the row before takes its place.
    int count = rowCount(d);
    if (d->selectedRow >= count) d->selectedRow = count - 1;
    if (d->selectedRow >= 0)
        selectRow(d, d->selectedRow);
    else
        loadPanel(d, nullptr);
    updatePanelButtons(d);
}

// Keeps `path` as the panel's sound file, relative to the program folder when it lies inside.
bool setSoundFile(AlarmDialog* d, const char16* path) {
    if (!soundFileForPath(path, d->list->baseDir, d->list->baseDirLength, d->editEntry.soundFile))
        return false;
    updatePanelButtons(d);
    return true;
}

// Takes `path` when a codec can play it; false leaves the panel's file as it was.
bool offerSoundFile(AlarmDialog* d, const char16* path) {
    if (EngineProbeFile(path) != SND_OK) return false;
    if (!setSoundFile(d, path)) return false;
    showSoundFile(d);
    return true;
}

// The open-file dialog's failures by extended error code, as the debug log names them.
struct OpenFileError {
    DWORD code;
    const char* name;
};
constexpr OpenFileError OpenFileErrors[] = {
    {CDERR_STRUCTSIZE, "CDERR_STRUCTSIZE"},
    {CDERR_INITIALIZATION, "CDERR_INITIALIZATION"},
    {CDERR_NOTEMPLATE, "CDERR_NOTEMPLATE"},
    {CDERR_NOHINSTANCE, "CDERR_NOHINSTANCE"},
    {CDERR_LOADSTRFAILURE, "CDERR_LOADSTRFAILURE"},
    {CDERR_FINDRESFAILURE, "CDERR_FINDRESFAILURE"},
    {CDERR_LOADRESFAILURE, "CDERR_LOADRESFAILURE"},
    {CDERR_LOCKRESFAILURE, "CDERR_LOCKRESFAILURE"},
    {CDERR_MEMALLOCFAILURE, "CDERR_MEMALLOCFAILURE"},
    {CDERR_MEMLOCKFAILURE, "CDERR_MEMLOCKFAILURE"},
    {CDERR_NOHOOK, "CDERR_NOHOOK"},
    {FNERR_SUBCLASSFAILURE, "FNERR_SUBCLASSFAILURE"},
    {FNERR_INVALIDFILENAME, "FNERR_INVALIDFILENAME"},
    {FNERR_BUFFERTOOSMALL, "FNERR_BUFFERTOOSMALL"},
    {CDERR_DIALOGFAILURE, "CDERR_DIALOGFAILURE"},
};

// The open-file dialog's filter: every format the program plays in one entry, then each alone.
// Whether a file plays is decided by probing it, not by its name, so all files stay on offer.
constexpr wchar_t SOUND_FILE_FILTER[] =
    L"全てのサウンドファイル(*.wav;*.mp3;*.ogg;*.flac)\0*.wav;*.mp3;*.ogg;*.flac\0"
    L"wave(*.wav)\0*.wav\0MP3(*.mp3)\0*.mp3\0Ogg Vorbis(*.ogg)\0*.ogg\0"
    L"FLAC(*.flac)\0*.flac\0AllFiles(*.*)\0*.*\0";

void chooseSoundFile(AlarmDialog* d) {
    wchar_t path[PATH_UNITS] = {};
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = d->listDialog;
    ofn.lpstrFilter = SOUND_FILE_FILTER;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = PATH_UNITS;
    ofn.lpstrTitle = L"アラーム音ファイルの指定";
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileNameW(&ofn)) {
        offerSoundFile(d, path);
        return;
    }
    // Cancelling gives code 0, which is no failure and logs nothing.
    DWORD code = CommDlgExtendedError();
    for (const OpenFileError& error : OpenFileErrors)
        if (error.code == code) debugLog("GetOpenFileName Error %s\n", error.name);
}

// The first dropped file a codec can play becomes the sound file; the rest are ignored.
void takeDroppedFile(AlarmDialog* d, HDROP drop) {
    forEachDroppedFile(drop, [d](const wchar_t* path) { return offerSoundFile(d, path); });
}

LRESULT CALLBACK fileButtonProcedure(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    AlarmDialog* d = stateOf<AlarmDialog>(button);
    if (!d) return DefWindowProcW(button, message, wParam, lParam);
    if (message != WM_DROPFILES)
        return CallWindowProcW(d->fileButtonProc, button, message, wParam, lParam);
    // The button's own procedure leaves the drop's memory to whoever handled it.
    OwnedDrop drop(reinterpret_cast<HDROP>(wParam));
    takeDroppedFile(d, drop.get());
    return CallWindowProcW(d->fileButtonProc, button, message, wParam, lParam);
}

void subclassFileButton(AlarmDialog* d) {
    HWND button = GetDlgItem(d->editPanel, ID_SOUND_FILE);
    DragAcceptFiles(button, TRUE);
    attachWindowState(button, d);
    d->fileButtonProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(fileButtonProcedure)));
}

void restoreFileButton(AlarmDialog* d) {
    HWND button = GetDlgItem(d->editPanel, ID_SOUND_FILE);
    if (!button || !d->fileButtonProc) return;
    SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(d->fileButtonProc));
    attachWindowState(button, nullptr);
}

// An edit's new text: stored within its field's range; a clamped value replaces the text.
void numberEdited(AlarmDialog* d, const NumberField& f) {
    wchar_t text[16];
    GetDlgItemTextW(d->editPanel, f.edit, text, 16);
    PanelNumber n = clampPanelNumber(text, f.low, f.high);
    d->editEntry.*f.field = n.value;
    // The up-down follows the edit, so its arrows step on from the number shown.
    setSpinPos(d->editPanel, f.spin, n.value);
    if (n.rewrite) setNumber(d->editPanel, f.edit, n.value);
    updatePanelButtons(d);
}

void spinMoved(AlarmDialog* d, int spin) {
    int position = int(SendDlgItemMessageW(d->editPanel, spin, UDM_GETPOS32, 0, 0));
    if (spin == ID_SYMBOL_SPIN) {
        d->editEntry.symbol = uint32_t(position);
        updatePanelButtons(d);
        return;
    }
    for (const NumberField& f : NumberFields) {
        if (f.spin != spin) continue;
        setNumber(d->editPanel, f.edit, uint32_t(position));
        SendDlgItemMessageW(d->editPanel, f.edit, EM_SETSEL, 0, -1);
    }
}

void boxClicked(AlarmDialog* d, int id) {
    bool on = IsDlgButtonChecked(d->editPanel, id) == BST_CHECKED;
    uint32_t* word = &d->editEntry.flags;
    uint32_t bit = id == ID_REPEAT ? ALARM_REPEAT : ALARM_LOOP;
    for (const DayBox& box : DayBoxes)
        if (box.id == id) {
            word = &d->editEntry.days;
            bit = box.bit;
        }
    *word = on ? (*word | bit) : (*word & ~bit);
    updatePanelButtons(d);
}

// "適用して終了": asks about a panel change not yet written to its row, then applies the rows.
void applyAndClose(AlarmDialog* d) {
    drawSymbolPreview(d);
    PanelRow kind = selectedKind(d);
    const AlarmEntry* entry = selectedAlarm(d);
    int pending = pendingPanelChange(kind, entry, d->editEntry);
    if (pending != 0) {
        int answer =
            pending == 1
                ? MessageBoxW(d->editPanel,
                              L"追加するアラーム情報が残っています。\n閉じる前に追加しますか？",
                              L"追加チェック", MB_YESNOCANCEL)
                : MessageBoxW(d->editPanel,
                              L"アラーム情報が更新されています。\n閉じる前に保存しますか？",
                              L"更新チェック", MB_YESNOCANCEL);
        if (answer == IDCANCEL) return;
        if (answer == IDYES) commitPanel(d);
    }
    int count = rowCount(d);
    AlarmEntry* rows = new (std::nothrow) AlarmEntry[count > 0 ? count : 1];
    if (!rows) return;
    uint32_t used = 0;
    for (int row = 0; row < count; ++row) {
        const AlarmEntry* alarm = rowEntry(d, row);
        if (!alarm) continue;
        rows[used] = *alarm;
        rows[used].flags =
            rowChecked(d, row) ? (alarm->flags | ALARM_ENABLED) : (alarm->flags & ~ALARM_ENABLED);
        ++used;
    }
    // Out of memory the dialog stays open, so no edit is lost.
    bool applied = d->list->applyRows(rows, used);
    delete[] rows;
    if (applied) EndDialog(d->listDialog, 1);
}

void initEditPanel(HWND panel, AlarmDialog* d) {
    SetWindowLongPtrW(panel, DWLP_USER, reinterpret_cast<LONG_PTR>(d));
    d->editPanel = panel;
    UDACCEL accel = {0, 1};
    SendDlgItemMessageW(panel, ID_SYMBOL_SPIN, UDM_SETRANGE32, 0, SYMBOL_LAST);
    SendDlgItemMessageW(panel, ID_SYMBOL_SPIN, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
    for (const NumberField& f : NumberFields) {
        HWND spin = GetDlgItem(panel, f.spin);
        SendMessageW(spin, UDM_SETRANGE32, f.low, f.high);
        SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(panel, f.edit)), 0);
        SendMessageW(spin, UDM_SETPOS32, 0, f.low);
        SendMessageW(spin, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
    }
}

void panelCommand(AlarmDialog* d, int id, int code) {
    switch (id) {
    case ID_APPLY_AND_CLOSE:
        applyAndClose(d);
        return;
    case ID_CLOSE_WITHOUT_APPLYING:
        EndDialog(d->listDialog, 2);
        return;
    case ID_COMMIT:
        commitPanel(d);
        return;
    case ID_DELETE:
        deleteRow(d);
        return;
    case ID_SOUND_FILE:
        if (code == BN_CLICKED) chooseSoundFile(d);
        return;
    case ID_REPEAT:
    case ID_LOOP:
        if (code == BN_CLICKED) boxClicked(d, id);
        return;
    default:
        break;
    }
    if (id >= ID_MONDAY && id < ID_MONDAY + 7 && code == BN_CLICKED) boxClicked(d, id);
    for (const NumberField& f : NumberFields)
        if (f.edit == id && code == EN_UPDATE) numberEdited(d, f);
}

INT_PTR CALLBACK editPanelProcedure(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        initEditPanel(panel, reinterpret_cast<AlarmDialog*>(lParam));
        return FALSE;
    }
    AlarmDialog* d = dialogOf(panel);
    if (!d || !d->listView) return FALSE;
    switch (message) {
    case WM_COMMAND:
        panelCommand(d, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_VSCROLL:
        if (LOWORD(wParam) == SB_THUMBPOSITION && lParam)
            spinMoved(d, GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
        return TRUE;
    default:
        return FALSE;
    }
}

// ---- the list dialog ----

// Dots per inch of the monitor the window is on. The program is DPI aware, so the dialog's font
// grows with the monitor's scale while pixel sizes set in code do not. GetDpiForWindow exists
// from Windows 10 on; before it the system value holds for every monitor.
int windowDpi(HWND window) {
    using GetDpi = UINT(WINAPI*)(HWND);
    GetDpi get = reinterpret_cast<GetDpi>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (get) return static_cast<int>(get(window));
    HDC dc = GetDC(window);
    int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 96;
    if (dc) ReleaseDC(window, dc);
    return dpi > 0 ? dpi : 96;
}

void setUpListView(AlarmDialog* d) {
    HWND view = d->listView;
    DWORD styles =
        LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_AUTOSIZECOLUMNS;
    SendMessageW(view, LVM_SETEXTENDEDLISTVIEWSTYLE, styles, styles);
    while (SendMessageW(view, LVM_DELETECOLUMN, 0, 0)) {
    }
    // The symbol and time columns fit their texts at 96 dots per inch; they grow with the font.
    int dpi = windowDpi(view);
    int symbolWidth = MulDiv(120, dpi, 96);
    int timeWidth = MulDiv(80, dpi, 96);
    RECT r;
    GetWindowRect(view, &r);
    int lastWidth = (r.right - r.left) - GetSystemMetrics(SM_CXFRAME) - symbolWidth - timeWidth;
    const struct {
        const wchar_t* title;
        int width;
    } columns[] = {
        {L"シンボル", symbolWidth}, {L"時間", timeWidth}, {L"曜日", lastWidth > 0 ? lastWidth : 0}};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = columns[i].width;
        column.pszText = const_cast<LPWSTR>(columns[i].title);
        column.iSubItem = i;
        SendMessageW(view, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void layoutAlarmDialog(AlarmDialog* d) {
    if (!d->editPanel || !d->listView) return;
    RECT client;
    RECT panel;
    GetClientRect(d->listDialog, &client);
    GetWindowRect(d->editPanel, &panel);
    int ph = panel.bottom - panel.top;
    int listWidth = client.right - 20;
    int listHeight = client.bottom - ph - 10;
    UINT flags = SWP_NOACTIVATE | SWP_NOZORDER | SWP_SHOWWINDOW;
    SetWindowPos(d->listView, nullptr, 10, 10, listWidth > 0 ? listWidth : 0,
                 listHeight > 0 ? listHeight : 0, flags);
    SetWindowPos(d->editPanel, nullptr, 0, client.bottom - ph, 0, 0, flags | SWP_NOSIZE);
}

bool initListDialog(HWND window, AlarmDialog* d) {
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(d));
    d->listDialog = window;
    GetWindowRect(window, &d->minTrackSize);
    centerWindow(window, nullptr);
    HWND panel = CreateDialogParamW(d->instance, MAKEINTRESOURCEW(EDIT_PANEL_RESOURCE), window,
                                    editPanelProcedure, reinterpret_cast<LPARAM>(d));
    if (!panel) return false;
    subclassFileButton(d);
    d->symbolPreview = new (std::nothrow) CScreen;
    if (d->symbolPreview && !d->symbolPreview->attach(GetDlgItem(panel, ID_SYMBOL_PREVIEW))) {
        delete d->symbolPreview;
        d->symbolPreview = nullptr;
    }
    d->listView = GetDlgItem(window, ID_LIST_VIEW);
    setUpListView(d);
    for (uint32_t i = 0; i < d->list->count; ++i)
        fillAlarmRow(d, -1, d->list->entries[i], int32_t(i));
    fillNewRow(d);
    loadSelectedRow(d);
    layoutAlarmDialog(d);
    SetTimer(window, FOLLOW_LIST_TIMER, FOLLOW_LIST_MS, nullptr);
    ShowWindow(window, SW_SHOW);
    return true;
}

bool armedInList(AlarmList* list, int32_t index) {
    lockEnter(&list->lock);
    bool armed = uint32_t(index) < list->count && (list->entries[index].flags & ALARM_ENABLED);
    lockLeave(&list->lock);
    return armed;
}

// A one-shot alarm that rings while the dialog is open disarms itself in the list. Its row's
// check box follows, so that applying the dialog does not arm the alarm again; ticking the box
// afterwards arms it on purpose.
void followDisarmedAlarms(AlarmDialog* d) {
    for (int row = 0, rows = rowCount(d); row < rows; ++row) {
        AlarmRow* data = rowData(d, row);
        if (!data || data->listIndex < 0 || !data->armedInList) continue;
        if (armedInList(d->list, data->listIndex)) continue;
        data->armedInList = false;
        ListView_SetCheckState(d->listView, row, FALSE);
    }
}

// A row's check box is the alarm's armed state: the row's copy follows it, so writing the panel
// into the row later keeps what the user ticked.
void rowStateChanged(AlarmDialog* d, const NMLISTVIEW* change) {
    if (!(change->uChanged & LVIF_STATE)) return;
    if ((change->uOldState ^ change->uNewState) & LVIS_STATEIMAGEMASK) {
        if (AlarmEntry* entry = rowEntry(d, change->iItem)) {
            if (rowChecked(d, change->iItem))
                entry->flags |= ALARM_ENABLED;
            else
                entry->flags &= ~ALARM_ENABLED;
        }
    }
    if (!(change->uNewState & LVIS_SELECTED)) return;
    d->selectedRow = change->iItem;
    loadSelectedRow(d);
}

void listNotified(AlarmDialog* d, const NMHDR* header) {
    if (header->hwndFrom != d->listView) return;
    if (header->code == LVN_ITEMCHANGED)
        rowStateChanged(d, reinterpret_cast<const NMLISTVIEW*>(header));
    else if (header->code == LVN_KEYDOWN &&
             reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey == VK_DELETE)
        deleteRow(d);
}

void listDialogDestroyed(AlarmDialog* d) {
    delete d->symbolPreview;
    d->symbolPreview = nullptr;
    restoreFileButton(d);
    if (d->listView) freeRows(d);
    d->listView = nullptr;
}

INT_PTR CALLBACK listDialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        if (!initListDialog(window, reinterpret_cast<AlarmDialog*>(lParam))) EndDialog(window, -1);
        return FALSE;
    }
    AlarmDialog* d = dialogOf(window);
    if (!d) return FALSE;
    switch (message) {
    case WM_GETMINMAXINFO: {
        MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
        LONG width = d->minTrackSize.right - d->minTrackSize.left;
        info->ptMinTrackSize.x = width;
        info->ptMinTrackSize.y = d->minTrackSize.bottom - d->minTrackSize.top;
        info->ptMaxTrackSize.x = width;
        return TRUE;
    }
    case WM_SIZE:
    case WM_MOVE:
        layoutAlarmDialog(d);
        return TRUE;
    case WM_NOTIFY:
        listNotified(d, reinterpret_cast<const NMHDR*>(lParam));
        return FALSE;
    case WM_COMMAND: {
        // The dialog manager sends Enter on a focused panel button here, not to the panel: it is
        // that button's click. Enter elsewhere runs the panel's default button; Escape is the
        // close command.
        HWND from = reinterpret_cast<HWND>(lParam);
        if (from && GetParent(from) == d->editPanel)
            panelCommand(d, LOWORD(wParam), HIWORD(wParam));
        else if (LOWORD(wParam) == IDOK)
            applyAndClose(d);
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(window, 0);
        return TRUE;
    }
    case WM_CLOSE:
        EndDialog(window, 0);
        return TRUE;
    case WM_TIMER:
        if (wParam == FOLLOW_LIST_TIMER) followDisarmedAlarms(d);
        return TRUE;
    case WM_DESTROY:
        KillTimer(window, FOLLOW_LIST_TIMER);
        listDialogDestroyed(d);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR showAlarmDialog(HINSTANCE instance, HWND owner, AlarmList* list) {
    if (!list) return -1;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    AlarmDialog* d = new (std::nothrow) AlarmDialog();
    if (!d) return -1;
    d->list = list;
    d->instance = instance;
    d->selectedRow = -1;
    INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(LIST_DIALOG_RESOURCE), owner,
                                     listDialogProcedure, reinterpret_cast<LPARAM>(d));
    delete d;
    return result;
}
