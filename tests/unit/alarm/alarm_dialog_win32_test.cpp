// The alarm settings dialog run from the built program's resources on its own thread, driven
// from the test thread with the messages a user's clicks and keys produce.
#include "alarm/alarm_dialog_win32.h"

#include <commctrl.h>
#include <dlgs.h>
#include <malloc.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "alarm/alarm_list.h"
#include "alarm/symbol_names.h"
#include "sound/sound_engine.h"
#include "sound/wave_codec.h"

namespace {

// A device that never finishes a buffer: the engine stays open and silent, so the dialog's
// playability check runs as in the program.
// Its stall time of 0 keeps the engine from taking it for lost.
bool stillOpen(void*, const DeviceFormat*, PlatformEvent*, uint8_t* const*, uint32_t) {
    return true;
}
bool stillDone(void*, int) {
    return false;
}
bool stillWrite(void*, int) {
    return true;
}
void stillIdle(void*) {}
const OutputDevice StillDevice = {nullptr,   0,          0,         0,        stillOpen,
                                  stillDone, stillWrite, stillIdle, stillIdle};

std::wstring builtProgramPath() {
    wchar_t self[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, length);
    for (int up = 0; up < 2; ++up)
        path.erase(path.find_last_of(L"\\/"));
    return path + L"\\Vesk.exe";
}

// A 16-bit mono WAVE file of 100 silent frames.
std::string waveBytes() {
    std::string b = "RIFF----WAVEfmt ";
    auto u32 = [&](uint32_t v) { b.append(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { b.append(reinterpret_cast<const char*>(&v), 2); };
    u32(16);
    u16(1), u16(1), u32(22050), u32(44100), u16(2), u16(16);
    b += "data";
    u32(200);
    b.append(200, '\0');
    uint32_t riff = uint32_t(b.size() - 8);
    std::memcpy(&b[4], &riff, 4);
    return b;
}

void writeFile(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

std::wstring makeTempFolder() {
    wchar_t temp[MAX_PATH];
    wchar_t name[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    GetTempFileNameW(temp, L"vad", 0, name);
    DeleteFileW(name);
    CreateDirectoryW(name, nullptr);
    return name;
}

void removeFolder(const std::wstring& folder) {
    for (const wchar_t* name : {L"bell.wav", L"junk.wav", L"Alarm.xml"})
        DeleteFileW((folder + L"\\" + name).c_str());
    RemoveDirectoryW(folder.c_str());
}

template <typename F> bool waitFor(F condition) {
    for (int i = 0; i < 400; ++i) {
        if (condition()) return true;
        Sleep(10);
    }
    return false;
}

struct Found {
    const wchar_t* caption;
    HWND window;
};

BOOL CALLBACK matchCaption(HWND window, LPARAM lParam) {
    Found* found = reinterpret_cast<Found*>(lParam);
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    if (IsWindowVisible(window) && wcscmp(text, found->caption) == 0) {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

class AlarmDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        program = LoadLibraryExW(builtProgramPath().c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(program, nullptr) << "no program file beside the tests";
        folder = makeTempFolder();
        elsewhere = makeTempFolder();
        GetCurrentDirectoryW(MAX_PATH, previousDirectory);
        SetCurrentDirectoryW(folder.c_str());
        list = AlarmList::create();
        ASSERT_NE(list, nullptr);
        writeFile(folder + L"\\bell.wav", waveBytes());
        writeFile(folder + L"\\junk.wav", "not a sound");
        writeFile(elsewhere + L"\\bell.wav", waveBytes());
        openEngine();
    }
    void TearDown() override {
        if (dialogThread) {
            PostMessageW(dialog, WM_CLOSE, 0, 0);
            WaitForSingleObject(dialogThread, 5000);
            CloseHandle(dialogThread);
        }
        freeAlignedEngine();
        AlarmList::destroy(list);
        SetCurrentDirectoryW(previousDirectory);
        removeFolder(folder);
        removeFolder(elsewhere);
        if (program) FreeLibrary(program);
    }

    void openEngine() {
        EngineConfig config;
        EngineConfigInit(&config);
        uint64_t size = EngineRequiredSize(&config);
        engineBlock = _aligned_malloc(size_t(size), 128);
        EngineSetOutputDevice(&StillDevice);
        ASSERT_EQ(EngineOpen(&config, engineBlock, size), SND_OK);
        EngineRegisterCodec(waveCodecProbe, nullptr);
    }
    void freeAlignedEngine() { _aligned_free(EngineClose()); }

    void addAlarms(int count) {
        list->entries = static_cast<AlarmEntry*>(calloc(size_t(count), sizeof(AlarmEntry)));
        list->count = uint32_t(count);
        for (int i = 0; i < count; ++i) {
            AlarmEntry& e = list->entries[i];
            e.flags = ALARM_ENABLED | ALARM_REPEAT;
            e.symbol = uint32_t(i % 7);
            e.hour = uint32_t(i % 24);
            e.minute = 30;
            e.playTimes = 1;
            wcscpy(e.soundFile, L"bell.wav");
        }
    }

    static DWORD WINAPI runDialog(void* arg) {
        AlarmDialog* self = static_cast<AlarmDialog*>(arg);
        self->result = showAlarmDialog(self->program, nullptr, self->list);
        return 0;
    }
    // Opens the dialog on its own thread and finds its windows.
    void open() {
        dialogThread = CreateThread(nullptr, 0, runDialog, this, 0, &dialogThreadId);
        ASSERT_TRUE(waitFor([&] { return (dialog = findWindow(L"アラーム設定")) != nullptr; }));
        listView = GetDlgItem(dialog, 1001);
        panel = FindWindowExW(dialog, nullptr, L"#32770", nullptr);
        ASSERT_NE(listView, nullptr);
        ASSERT_NE(panel, nullptr);
    }
    // Waits for the dialog to end and returns its result.
    INT_PTR closed() {
        EXPECT_EQ(WaitForSingleObject(dialogThread, 5000), WAIT_OBJECT_0);
        CloseHandle(dialogThread);
        dialogThread = nullptr;
        return result;
    }
    HWND findWindow(const wchar_t* caption) {
        Found found = {caption, nullptr};
        EnumThreadWindows(dialogThreadId, matchCaption, reinterpret_cast<LPARAM>(&found));
        return found.window;
    }

    HWND item(int id) { return GetDlgItem(panel, id); }
    std::wstring text(int id) {
        wchar_t t[300] = {};
        SendMessageW(item(id), WM_GETTEXT, 300, reinterpret_cast<LPARAM>(t));
        return t;
    }
    bool enabled(int id) { return IsWindowEnabled(item(id)) != 0; }
    bool checked(int id) { return SendMessageW(item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void click(int id) { SendMessageW(item(id), BM_CLICK, 0, 0); }
    void type(int id, const wchar_t* t) {
        SendMessageW(item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t));
    }
    void key(int id, WPARAM vk) { SendMessageW(item(id), WM_KEYDOWN, vk, 0); }
    // A click on the upper arrow of the symbol's up-down.
    void stepSymbolUp() {
        RECT r;
        GetClientRect(item(1021), &r);
        LPARAM upper = MAKELPARAM(r.right / 2, r.bottom / 4);
        SendMessageW(item(1021), WM_LBUTTONDOWN, MK_LBUTTON, upper);
        SendMessageW(item(1021), WM_LBUTTONUP, 0, upper);
    }

    int rows() { return int(SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0)); }
    std::wstring cell(int row, int column) {
        wchar_t t[64] = {};
        LVITEMW it = {};
        it.iSubItem = column;
        it.pszText = t;
        it.cchTextMax = 64;
        SendMessageW(listView, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&it));
        return t;
    }
    UINT rowState(int row, UINT mask) {
        return UINT(SendMessageW(listView, LVM_GETITEMSTATE, row, mask));
    }
    bool rowTicked(int row) {
        return rowState(row, LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
    }
    int selected() {
        return int(SendMessageW(listView, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    }
    void setRowState(int row, UINT state, UINT mask) {
        LVITEMW it = {};
        it.state = state;
        it.stateMask = mask;
        SendMessageW(listView, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&it));
    }
    void select(int row) {
        setRowState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    void tick(int row, bool on) {
        setRowState(row, INDEXTOSTATEIMAGEMASK(on ? 2 : 1), LVIS_STATEIMAGEMASK);
    }

    // Drops `paths` on the sound-file button, as the shell does.
    void drop(const std::vector<std::wstring>& paths) {
        size_t units = 1;
        for (const std::wstring& p : paths)
            units += p.size() + 1;
        HGLOBAL block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, sizeof(DROPFILES) + units * 2);
        DROPFILES* files = static_cast<DROPFILES*>(block);
        files->pFiles = sizeof(DROPFILES);
        files->fWide = TRUE;
        wchar_t* at = reinterpret_cast<wchar_t*>(files + 1);
        for (const std::wstring& p : paths) {
            wcscpy(at, p.c_str());
            at += p.size() + 1;
        }
        SendMessageW(item(1020), WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
    }
    // Presses button `id`, answers the confirmation `caption` with `answer`.
    void pressAndAnswer(int id, const wchar_t* caption, int answer) {
        PostMessageW(item(id), BM_CLICK, 0, 0);
        HWND box = nullptr;
        ASSERT_TRUE(waitFor([&] { return (box = findWindow(caption)) != nullptr; })) << "no box";
        SendMessageW(box, WM_COMMAND, answer, 0);
    }

    HMODULE program = nullptr;
    std::wstring folder;
    std::wstring elsewhere;
    wchar_t previousDirectory[MAX_PATH] = {};
    void* engineBlock = nullptr;
    AlarmList* list = nullptr;
    HANDLE dialogThread = nullptr;
    DWORD dialogThreadId = 0;
    INT_PTR result = -2;
    HWND dialog = nullptr;
    HWND listView = nullptr;
    HWND panel = nullptr;
};

TEST_F(AlarmDialog, OpensOnTheNewRowWithTheDefaultsOfANewAlarm) {
    open();
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(cell(0, 0), L"新規");
    EXPECT_EQ(cell(0, 1), L"");
    EXPECT_EQ(cell(0, 2), L"ここを選択すると追加できます。");
    EXPECT_EQ(selected(), 0);
    EXPECT_EQ(text(1010), L"0");
    EXPECT_EQ(text(1012), L"0");
    EXPECT_EQ(text(1014), L"0");
    EXPECT_EQ(text(1017), L"1");
    EXPECT_TRUE(checked(1016));
    for (int id = 1003; id <= 1009; ++id)
        EXPECT_FALSE(checked(id)) << id;
    EXPECT_FALSE(IsWindowVisible(item(1018)));
    EXPECT_EQ(text(1020), L"クリック 又は ファイルドロップ でアラーム音を登録");
    EXPECT_EQ(text(1002), L"追加");
    EXPECT_FALSE(enabled(1002));
    EXPECT_FALSE(enabled(1023));
    DWORD styles = DWORD(SendMessageW(listView, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_EQ(styles & (LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT),
              DWORD(LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT));
    click(2);
    EXPECT_EQ(closed(), 2);
    EXPECT_EQ(list->count, 0u);
}

TEST_F(AlarmDialog, TypedNumbersAreClampedAndArrowsStepAndWrap) {
    open();
    type(1012, L"75");
    EXPECT_EQ(text(1012), L"59");
    type(1017, L"0");
    EXPECT_EQ(text(1017), L"1");
    type(1010, L"23");
    key(1010, VK_UP);
    EXPECT_EQ(text(1010), L"0") << "the hour wraps";
    key(1010, VK_UP);
    EXPECT_EQ(text(1010), L"1");
    type(1017, L"10");
    key(1017, VK_UP);
    EXPECT_EQ(text(1017), L"10") << "the play count does not wrap";
}

TEST_F(AlarmDialog, DroppedWaveFileIsAddedAsAnAlarmRelativeToTheProgramFolder) {
    open();
    drop({folder + L"\\junk.wav"});
    EXPECT_EQ(text(1020), L"クリック 又は ファイルドロップ でアラーム音を登録");
    EXPECT_FALSE(enabled(1002));
    drop({folder + L"\\junk.wav", folder + L"\\bell.wav"});
    EXPECT_EQ(text(1020), L"bell.wav");
    ASSERT_TRUE(enabled(1002));
    type(1012, L"75");
    click(1002);
    ASSERT_EQ(rows(), 2);
    EXPECT_EQ(cell(0, 0), symbolName(0));
    EXPECT_EQ(cell(0, 1), L" 0:59:00");
    EXPECT_EQ(cell(0, 2), L"指定なし（毎日）");
    EXPECT_TRUE(rowTicked(0));
    EXPECT_EQ(cell(1, 0), L"新規");
    EXPECT_EQ(selected(), 1);
    EXPECT_EQ(text(1012), L"0") << "the panel shows a new alarm again";
    EXPECT_FALSE(enabled(1002));

    click(1);
    EXPECT_EQ(closed(), 1);
    ASSERT_EQ(list->count, 1u);
    EXPECT_EQ(list->entries[0].minute, 59u);
    EXPECT_EQ(list->entries[0].flags, ALARM_ENABLED | ALARM_REPEAT);
    EXPECT_STREQ(list->entries[0].soundFile, L"bell.wav");
}

TEST_F(AlarmDialog, FileOutsideTheProgramFolderKeepsItsFullPath) {
    open();
    drop({elsewhere + L"\\bell.wav"});
    click(1002);
    click(1);
    EXPECT_EQ(closed(), 1);
    ASSERT_EQ(list->count, 1u);
    EXPECT_EQ(std::wstring(list->entries[0].soundFile), elsewhere + L"\\bell.wav");
}

TEST_F(AlarmDialog, UpdateIsOfferedOnlyWhileTheAlarmDiffers) {
    addAlarms(2);
    open();
    select(1);
    EXPECT_EQ(text(1002), L"更新");
    EXPECT_TRUE(enabled(1023));
    EXPECT_EQ(text(1010), L"1");
    EXPECT_FALSE(enabled(1002));
    type(1014, L"5");
    EXPECT_TRUE(enabled(1002));
    type(1014, L"0");
    EXPECT_FALSE(enabled(1002));
    click(1005);
    click(1009);
    stepSymbolUp();
    click(1002);
    EXPECT_EQ(cell(1, 0), symbolName(2));
    EXPECT_EQ(cell(1, 2), L"水/日");
    EXPECT_FALSE(enabled(1002));
    click(2);
    EXPECT_EQ(closed(), 2);
    EXPECT_EQ(list->entries[1].days, 0u) << "not applied";
}

TEST_F(AlarmDialog, RowCheckBoxArmsAndDisarmsAndSurvivesAnUpdate) {
    addAlarms(2);
    open();
    tick(0, false);
    select(0);
    type(1014, L"9");
    click(1002);
    EXPECT_FALSE(rowTicked(0)) << "updating the row keeps it disarmed";
    click(1);
    EXPECT_EQ(closed(), 1);
    ASSERT_EQ(list->count, 2u);
    EXPECT_EQ(list->entries[0].flags & ALARM_ENABLED, 0u);
    EXPECT_EQ(list->entries[0].second, 9u);
    EXPECT_EQ(list->entries[1].flags & ALARM_ENABLED, ALARM_ENABLED);
}

TEST_F(AlarmDialog, FullListHasNoNewRowAndDeletingDoesNotBringItBack) {
    addAlarms(32);
    open();
    EXPECT_EQ(rows(), 32);
    EXPECT_EQ(selected(), 0);
    EXPECT_EQ(text(1002), L"更新");
    select(31);
    click(1023);
    EXPECT_EQ(rows(), 31);
    EXPECT_EQ(selected(), 30) << "the row before takes the place of the deleted last row";
    EXPECT_EQ(text(1010), L"6");
    EXPECT_TRUE(enabled(1023));
    select(0);
    SendMessageW(listView, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(rows(), 30);
    EXPECT_EQ(selected(), 0);
    EXPECT_EQ(text(1010), L"1");
    click(1);
    EXPECT_EQ(closed(), 1);
    ASSERT_EQ(list->count, 30u);
    EXPECT_EQ(list->entries[0].hour, 1u);
}

TEST_F(AlarmDialog, ClosingWithAnUnaddedAlarmAsks) {
    open();
    drop({folder + L"\\bell.wav"});
    pressAndAnswer(1, L"追加チェック", IDCANCEL);
    EXPECT_EQ(WaitForSingleObject(dialogThread, 200), DWORD(WAIT_TIMEOUT)) << "still open";
    pressAndAnswer(1, L"追加チェック", IDNO);
    EXPECT_EQ(closed(), 1);
    EXPECT_EQ(list->count, 0u);

    open();
    drop({folder + L"\\bell.wav"});
    pressAndAnswer(1, L"追加チェック", IDYES);
    EXPECT_EQ(closed(), 1);
    EXPECT_EQ(list->count, 1u);
}

TEST_F(AlarmDialog, ClosingWithAChangedAlarmAsksToSaveIt) {
    addAlarms(1);
    open();
    select(0);
    type(1017, L"4");
    pressAndAnswer(1, L"更新チェック", IDYES);
    EXPECT_EQ(closed(), 1);
    EXPECT_EQ(list->entries[0].playTimes, 4u);
}

TEST_F(AlarmDialog, SoundFileChosenInTheOpenFileDialog) {
    open();
    PostMessageW(item(1020), BM_CLICK, 0, 0);
    HWND chooser = nullptr;
    ASSERT_TRUE(waitFor([&] { return (chooser = findWindow(L"アラーム音ファイルの指定")); }));
    std::wstring path = folder + L"\\bell.wav";
    // The file name field of the explorer-style dialog is a combo box or, older, an edit.
    HWND name = GetDlgItem(chooser, cmb13);
    if (!name) name = GetDlgItem(chooser, edt1);
    ASSERT_NE(name, nullptr);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    SendMessageW(chooser, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(waitFor([&] { return text(1020) == L"bell.wav"; })) << text(1020).size();
    EXPECT_TRUE(enabled(1002));
}

TEST_F(AlarmDialog, GrowsOnlyTallerWithTheListTakingTheRoom) {
    open();
    RECT start;
    GetWindowRect(dialog, &start);
    MINMAXINFO limits = {};
    SendMessageW(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, start.right - start.left);
    EXPECT_EQ(limits.ptMinTrackSize.y, start.bottom - start.top);
    EXPECT_EQ(limits.ptMaxTrackSize.x, start.right - start.left);

    RECT listBefore;
    GetWindowRect(listView, &listBefore);
    SetWindowPos(dialog, nullptr, 0, 0, start.right - start.left, start.bottom - start.top + 100,
                 SWP_NOMOVE | SWP_NOZORDER);
    RECT listRect;
    RECT client;
    RECT panelRect;
    GetWindowRect(listView, &listRect);
    GetClientRect(dialog, &client);
    GetWindowRect(panel, &panelRect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&panelRect), 2);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&listRect), 2);
    EXPECT_EQ(listRect.bottom - listRect.top, listBefore.bottom - listBefore.top + 100);
    EXPECT_EQ(listRect.left, 10);
    EXPECT_EQ(listRect.top, 10);
    EXPECT_EQ(listRect.right, client.right - 10);
    EXPECT_EQ(panelRect.left, 0);
    EXPECT_EQ(panelRect.bottom, client.bottom);
}

TEST_F(AlarmDialog, TheCloseCommandAppliesNothing) {
    addAlarms(1);
    open();
    tick(0, false);
    SendMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(closed(), 0);
    EXPECT_EQ(list->entries[0].flags & ALARM_ENABLED, ALARM_ENABLED);
}

TEST_F(AlarmDialog, EnterPressesTheFocusedPanelButton) {
    addAlarms(1);
    open();
    drop({folder + L"\\bell.wav"});
    ASSERT_TRUE(enabled(1002));
    PostMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(1002)), TRUE);
    PostMessageW(item(1002), WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(item(1002), WM_KEYUP, VK_RETURN, 0);
    EXPECT_TRUE(waitFor([&] { return rows() == 3; })) << rows();
    // Enter in the list runs the default button, "適用して終了".
    PostMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(listView), TRUE);
    PostMessageW(listView, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(closed(), 1);
    EXPECT_EQ(list->count, 2u);
}

TEST_F(AlarmDialog, OneShotAlarmThatRingsWhileOpenIsNotArmedAgainByApplying) {
    addAlarms(3);
    list->entries[0].flags = ALARM_ENABLED;
    list->entries[1].flags = ALARM_ENABLED;
    std::wstring file = folder + L"\\Alarm.xml";
    wcscpy(list->filePath, file.c_str());
    open();
    // Row 1 is rewritten in the dialog: the alarm that rings is the list's old one.
    select(1);
    type(1014, L"9");
    click(1002);
    // What the scheduler does when 0:30:00 and then 1:30:00 come.
    SystemTime firstRings = {2026, 12, 0, 7, 0, 30, 0, 0};
    SystemTime secondRings = {2026, 12, 0, 7, 1, 30, 0, 0};
    AlarmEntry rang = {};
    ASSERT_TRUE(list->matchNow(firstRings, &rang));
    ASSERT_TRUE(list->matchNow(secondRings, &rang));
    EXPECT_TRUE(waitFor([&] { return !rowTicked(0); })) << "the row follows the list";
    Sleep(300);
    EXPECT_TRUE(rowTicked(1));
    EXPECT_TRUE(rowTicked(2));
    click(1);
    EXPECT_EQ(closed(), 1);
    ASSERT_EQ(list->count, 3u);
    EXPECT_EQ(list->entries[0].flags & ALARM_ENABLED, 0u);
    EXPECT_EQ(list->entries[1].flags & ALARM_ENABLED, ALARM_ENABLED);
    EXPECT_EQ(list->entries[1].second, 9u);
    EXPECT_EQ(list->entries[2].flags & ALARM_ENABLED, ALARM_ENABLED);

    // Ticking the row after the alarm rang arms it on purpose.
    open();
    ASSERT_FALSE(rowTicked(0));
    tick(0, true);
    Sleep(300);
    click(1);
    EXPECT_EQ(closed(), 1);
    EXPECT_EQ(list->entries[0].flags & ALARM_ENABLED, ALARM_ENABLED);
}

} // namespace
