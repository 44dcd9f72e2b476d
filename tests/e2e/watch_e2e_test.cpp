// The watch on the desktop, driven from outside like a user: fade and soft edge, menu commands,
// dragging, WatchMode with its notice, quitting and the end of the logon.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "watch/band_window_win32.h"
#include "watch/watch_window_win32.h"
#include "gfx/bitmap.h"
#include "gfx/image_table.h"
#include "gfx/image_table_win32.h"
#include "link/watch_messages.h"
#include "tests/e2e/e2e_support.h"
#include "tests/unit/png_test_writer.h"
#include "util/window_placement_win32.h"
#include "watch/menu_commands.h"
#include "watch/watch_face.h"

namespace {

BYTE layeredAlpha(HWND window) {
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    if (!GetLayeredWindowAttributes(window, &key, &alpha, &flags)) return 0;
    return alpha;
}

RECT rectOf(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

bool sameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The value of attribute `name` inside element `group` of a settings file, or "" when absent.
std::string settingValue(const std::string& xml, const char* group, const char* name) {
    size_t start = xml.find(std::string("<") + group);
    if (start == std::string::npos) return "";
    size_t end = xml.find('>', start);
    std::string key = std::string(" ") + name + " = \"";
    size_t at = xml.find(key, start);
    if (at == std::string::npos || at > end) return "";
    at += key.size();
    return xml.substr(at, xml.find('"', at) - at);
}

// A started watch that has finished fading in.
struct RunningWatch {
    ProgramFolder folder;
    VeskProcess process;
    HWND watch = nullptr;

    bool start() {
        if (!process.start(folder.exe())) return false;
        watch = process.waitForWatchWindow();
        return watch && waitFor([&] { return layeredAlpha(watch) == 255; });
    }
    std::vector<HWND> bands() const { return windowsOfClass(BAND_CLASS, process.id()); }
    // Quits through the menu command and returns the saved settings text.
    std::string quit() {
        PostMessageW(watch, WM_COMMAND, CMD_QUIT, 0);
        EXPECT_EQ(process.waitForExit(), 0u);
        return readFileBytes(folder.file(L"Setting.xml"));
    }
};

TEST(WatchE2E, FadesInToFullWithTheSoftEdgeLyingOnTheWatch) {
    RunningWatch w;
    ASSERT_TRUE(w.start());
    EXPECT_EQ(layeredAlpha(w.watch), 255);
    std::vector<HWND> bands = w.bands();
    ASSERT_EQ(bands.size(), 6u);
    // The bands take their opacity just after the watch; wait for the last of them.
    const std::vector<int> expected = {35, 74, 112, 151, 190, 228};
    std::vector<int> alphas;
    waitFor([&] {
        alphas.clear();
        for (HWND band : bands)
            alphas.push_back(layeredAlpha(band));
        std::sort(alphas.begin(), alphas.end());
        return alphas == expected;
    });
    EXPECT_EQ(alphas, expected);
    for (HWND band : bands) {
        EXPECT_EQ(GetParent(band), w.watch);
        EXPECT_TRUE(IsWindowVisible(band));
        EXPECT_TRUE(sameRect(rectOf(band), rectOf(w.watch)));
    }
}

TEST(WatchE2E, MenuCommandsAreKeptInTheSettingsFile) {
    RunningWatch w;
    ASSERT_TRUE(w.start());
    for (WPARAM id :
         {CMD_DATE_MDY, CMD_TIME_12_FROM_0, CMD_TOPMOST, CMD_PLAYER_TIME, CMD_ENDLESS_LOOP,
          CMD_HAMMING_WINDOW, CMD_PEAK, CMD_SMOOTH, CMD_VOLUME_50, static_cast<uint16_t>(1012)})
        SendMessageW(w.watch, WM_COMMAND, id, 0);
    std::string xml = w.quit();
    EXPECT_EQ(settingValue(xml, "view", "Date"), "3");
    EXPECT_EQ(settingValue(xml, "view", "Time"), "2");
    EXPECT_EQ(settingValue(xml, "position", "Topmost"), "0");
    EXPECT_EQ(settingValue(xml, "player", "Time"), "0");
    EXPECT_EQ(settingValue(xml, "player", "Loop"), "0");
    EXPECT_EQ(settingValue(xml, "visual", "Window"), "0");
    EXPECT_EQ(settingValue(xml, "visual", "Peak"), "0");
    EXPECT_EQ(settingValue(xml, "visual", "Smooth"), "1");
    EXPECT_EQ(settingValue(xml, "sound", "Volume"), "50");
}

// The size of character `chara`'s sprite, composed from the program's own pictures.
SIZE spriteSize(const std::wstring& exe, int chara) {
    HMODULE module = LoadLibraryExW(exe.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    loadImageTable(module);
    CBitMap sprite;
    int32_t panelX = 0, panelY = 0;
    composeCharacterSprite(&sprite, chara, &panelX, &panelY);
    SIZE size = {sprite.width(), sprite.height()};
    freeImageTable();
    FreeLibrary(module);
    return size;
}

TEST(WatchE2E, ChoosingACharacterResizesTheWatchAndItsEdgeToTheSprite) {
    RunningWatch w;
    ASSERT_TRUE(w.start());
    for (int chara : {10, 0, 19, 3}) {
        SendMessageW(w.watch, WM_COMMAND, CMD_CHARACTER_FIRST + chara, 0);
        SIZE expected = spriteSize(w.folder.exe(), chara);
        RECT r = rectOf(w.watch);
        EXPECT_EQ(r.right - r.left, expected.cx) << chara;
        EXPECT_EQ(r.bottom - r.top, expected.cy) << chara;
        for (HWND band : w.bands()) {
            if (IsWindowVisible(band)) {
                EXPECT_TRUE(sameRect(rectOf(band), r)) << chara;
            }
        }
    }
    std::string xml = w.quit();
    EXPECT_EQ(settingValue(xml, "position", "Chara"), "3");
}

// An RGBA PNG `width` x `height`: an opaque disc with a soft rim that fades out, so the watch's
// soft edge has pixels of every alpha to show.
std::string softDiscPng(int width, int height) {
    PngTestImage image;
    image.width = uint32_t(width);
    image.height = uint32_t(height);
    double cx = width / 2.0, cy = height / 2.0, radius = std::min(cx, cy);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double d = std::hypot((x + 0.5 - cx) / cx, (y + 0.5 - cy) / cy) * radius;
            double a = std::clamp((radius - d) / 8.0, 0.0, 1.0);
            image.rows.insert(image.rows.end(), {200, 120, 40, uint8_t(a * 255.0)});
        }
    }
    std::vector<uint8_t> bytes = encodeTestPng(image);
    return std::string(bytes.begin(), bytes.end());
}

// The size of the watch wearing a picture `width` x `height`: centred over the panel, whose top
// rows overlap the picture's lowest 12.
SIZE fileCharacterSize(const std::wstring& exe, int width, int height) {
    SIZE panel = spriteSize(exe, 0);
    int top = std::max(height - 12, 0);
    return SIZE{std::max<LONG>(panel.cx, width), std::max<LONG>(height, top + panel.cy)};
}

// A picture in the "chara" folder, chosen with the first file command, reshapes the watch with its
// soft edge and is kept in Setting.xml; a broken one beside it cannot be chosen.
// The next start wears the picture again, and one started after it has gone falls back.
TEST(WatchE2E, PictureInTheCharaFolderIsWornKeptAndRestored) {
    RunningWatch w;
    std::wstring folder = w.folder.file(L"chara");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    writeFileBytes(folder + L"\\cat.png", softDiscPng(180, 140));
    writeFileBytes(folder + L"\\dog.png", "\x89PNG\r\n\x1a\nnot a picture");
    SIZE worn = fileCharacterSize(w.folder.exe(), 180, 140);
    ASSERT_TRUE(w.start());
    RECT builtIn = rectOf(w.watch);

    // Greyed in the menu (Wine does not let another process read a menu, so the menu model's test
    // checks that); chosen all the same, as a stale menu could, it changes nothing.
    SendMessageW(w.watch, WM_COMMAND, CMD_CHARA_FILE_FIRST + 1, 0);
    EXPECT_TRUE(sameRect(rectOf(w.watch), builtIn)) << "the broken picture was worn";

    SendMessageW(w.watch, WM_COMMAND, CMD_CHARA_FILE_FIRST, 0);
    RECT r = rectOf(w.watch);
    EXPECT_EQ(r.right - r.left, worn.cx);
    EXPECT_EQ(r.bottom - r.top, worn.cy);
    int softBands = 0;
    for (HWND band : w.bands()) {
        if (!IsWindowVisible(band)) continue;
        ++softBands;
        EXPECT_TRUE(sameRect(rectOf(band), r));
    }
    EXPECT_GT(softBands, 0) << "the picture's soft rim has no band to show it";
    std::string xml = w.quit();
    EXPECT_EQ(settingValue(xml, "position", "CharaFile"), "cat.png");
    EXPECT_EQ(settingValue(xml, "position", "Chara"), "1");

    // Started again: the picture is worn from the start.
    SIZE builtInSize = {builtIn.right - builtIn.left, builtIn.bottom - builtIn.top};
    for (bool present : {true, false}) {
        if (!present) DeleteFileW((folder + L"\\cat.png").c_str());
        VeskProcess next;
        ASSERT_TRUE(next.start(w.folder.exe()));
        HWND watch = next.waitForWatchWindow();
        ASSERT_TRUE(watch);
        SIZE expected = present ? worn : builtInSize;
        EXPECT_TRUE(waitFor([&] {
            RECT now = rectOf(watch);
            return now.right - now.left == expected.cx && now.bottom - now.top == expected.cy;
        })) << (present ? "not restored" : "no fall-back to the built-in character");
        PostMessageW(watch, WM_COMMAND, CMD_QUIT, 0);
        EXPECT_EQ(next.waitForExit(), 0u);
    }
    xml = readFileBytes(w.folder.file(L"Setting.xml"));
    EXPECT_EQ(settingValue(xml, "position", "CharaFile"), "");
}

// Moves the cursor to `to` and sends mouse moves, as a real mouse would, until the watch has
// followed it to `expected` (the cursor position reaches the program a moment later).
bool dragTo(HWND watch, POINT to, POINT expected) {
    SetCursorPos(to.x, to.y);
    return waitFor([&] {
        SendMessageW(watch, WM_MOUSEMOVE, MK_LBUTTON, 0);
        RECT r = rectOf(watch);
        return r.left == expected.x && r.top == expected.y;
    });
}

void pressAt(HWND watch, POINT grip) {
    SetCursorPos(grip.x, grip.y);
    waitFor([&] {
        POINT p;
        GetCursorPos(&p);
        return p.x == grip.x && p.y == grip.y;
    });
    SendMessageW(watch, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
}

TEST(WatchE2E, DragStopsAtTheWorkAreaEdgeAndStoresWhereTheWatchIs) {
    RunningWatch w;
    ASSERT_TRUE(w.start());
    RECT area;
    computeWorkArea(&area);
    RECT start = rectOf(w.watch);
    int width = start.right - start.left;
    int height = start.bottom - start.top;

    POINT grip = {start.left + width / 2, start.top + height / 2};
    pressAt(w.watch, grip);
    POINT corner = {area.right - width, area.bottom - height};
    EXPECT_TRUE(dragTo(w.watch, POINT{area.right + 500, area.bottom + 500}, corner));
    for (HWND band : w.bands())
        EXPECT_TRUE(sameRect(rectOf(band), rectOf(w.watch)));

    POINT middle = {area.left + 400, area.top + 300};
    EXPECT_TRUE(dragTo(w.watch, middle,
                       POINT{middle.x + start.left - grip.x, middle.y + start.top - grip.y}));
    SendMessageW(w.watch, WM_LBUTTONUP, 0, 0);
    RECT dropped = rectOf(w.watch);
    std::string xml = w.quit();
    EXPECT_EQ(settingValue(xml, "position", "x"), std::to_string(dropped.left));
    EXPECT_EQ(settingValue(xml, "position", "y"), std::to_string(dropped.top));
    EXPECT_NE(dropped.left, start.left);
}

TEST(WatchE2E, DragPastTheTopLeftStopsAtTheCorner) {
    RunningWatch w;
    ASSERT_TRUE(w.start());
    RECT area;
    computeWorkArea(&area);
    RECT start = rectOf(w.watch);
    pressAt(w.watch, POINT{start.left + 100, start.top + 100});
    ASSERT_TRUE(dragTo(w.watch, POINT{area.left + 300, area.top + 200},
                       POINT{area.left + 200 + start.left, area.top + 100 + start.top}));
    EXPECT_TRUE(dragTo(w.watch, POINT{area.left, area.top}, POINT{area.left, area.top}));
    SendMessageW(w.watch, WM_RBUTTONUP, 0, 0);
    RECT r = rectOf(w.watch);
    EXPECT_EQ(r.left, area.left);
    EXPECT_EQ(r.top, area.top);
    std::string xml = w.quit();
    EXPECT_EQ(settingValue(xml, "position", "x"), std::to_string(r.left));
    EXPECT_EQ(settingValue(xml, "position", "y"), std::to_string(r.top));
}

HWND waitForNotice(DWORD pid) {
    HWND notice = nullptr;
    waitFor([&] {
        for (HWND dialog : windowsOfClass(L"#32770", pid)) {
            wchar_t caption[64] = {};
            GetWindowTextW(dialog, caption, 64);
            if (std::wstring(caption) == L"WatchMode Information" && IsWindowVisible(dialog))
                notice = dialog;
        }
        return notice != nullptr;
    });
    return notice;
}

POINT topLeft(HWND window) {
    RECT r = rectOf(window);
    return POINT{r.left, r.top};
}

TEST(WatchE2E, WatchModeNoticeThenFollowsTheCursorAndStaysWhenSwitchedOff) {
    RunningWatch w;
    ASSERT_TRUE(w.start());
    SetCursorPos(300, 250);
    PostMessageW(w.watch, WM_COMMAND, CMD_WATCH_MODE, 0);
    HWND notice = waitForNotice(w.process.id());
    ASSERT_NE(notice, nullptr);
    wchar_t text[32] = {};
    GetDlgItemTextW(notice, IDOK, text, 32);
    EXPECT_EQ(std::wstring(text), L"閉じる");
    GetDlgItemTextW(notice, 1024, text, 32);
    EXPECT_EQ(std::wstring(text), L"次回から表示しない。");

    // Escape leaves the notice open: the tick posted behind it still reaches the box. The button
    // closes it and keeps the tick.
    PostMessageW(notice, WM_COMMAND, IDCANCEL, 0);
    PostMessageW(GetDlgItem(notice, 1024), BM_SETCHECK, BST_CHECKED, 0);
    ASSERT_TRUE(waitFor([&] { return IsDlgButtonChecked(notice, 1024) == BST_CHECKED; }));
    EXPECT_TRUE(IsWindow(notice));
    PostMessageW(notice, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(notice, IDOK)));
    ASSERT_TRUE(waitFor([&] { return !IsWindow(notice); }));

    ASSERT_TRUE(waitFor([&] {
        POINT p = topLeft(w.watch);
        return p.x == 332 && p.y == 282;
    }));
    for (HWND band : w.bands())
        EXPECT_TRUE(sameRect(rectOf(band), rectOf(w.watch)));

    // Moved away by someone else while the cursor stands still, the watch stays put: WatchMode
    // moves only when the cursor moves.
    SetWindowPos(w.watch, nullptr, 40, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(holdsFor(
        [&] {
            POINT p = topLeft(w.watch);
            return p.x == 40 && p.y == 60;
        },
        300));

    SetCursorPos(500, 400);
    ASSERT_TRUE(waitFor([&] { return topLeft(w.watch).x == 532; }));
    EXPECT_EQ(topLeft(w.watch).y, 432);

    // Switching off shows no notice and leaves the watch where it is, however long the cursor
    // moves: watching for a notice takes the whole wait.
    SendMessageW(w.watch, WM_COMMAND, CMD_WATCH_MODE, 0);
    SetCursorPos(100, 100);
    EXPECT_EQ(waitForNotice(w.process.id()), nullptr);
    EXPECT_EQ(topLeft(w.watch).x, 532);
    EXPECT_EQ(topLeft(w.watch).y, 432);

    std::string xml = w.quit();
    EXPECT_EQ(settingValue(xml, "position", "Watch"), "0");
    EXPECT_EQ(settingValue(xml, "watch", "DoNotAskAgain"), "1");
}

TEST(WatchE2E, NoticeClosedWithAltF4KeepsNoTickAndWatchModeResumesAtStart) {
    RunningWatch w;
    ASSERT_TRUE(w.start());
    PostMessageW(w.watch, WM_COMMAND, CMD_WATCH_MODE, 0);
    HWND notice = waitForNotice(w.process.id());
    ASSERT_NE(notice, nullptr);
    SendDlgItemMessageW(notice, 1024, BM_SETCHECK, BST_CHECKED, 0);
    PostMessageW(notice, WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(notice); }));
    std::string xml = w.quit();
    EXPECT_EQ(settingValue(xml, "watch", "DoNotAskAgain"), "0");
    EXPECT_EQ(settingValue(xml, "position", "Watch"), "1");

    VeskProcess again;
    ASSERT_TRUE(again.start(w.folder.exe()));
    HWND watch = again.waitForWatchWindow();
    ASSERT_NE(watch, nullptr);
    SetCursorPos(200, 150);
    EXPECT_TRUE(waitFor([&] { return topLeft(watch).x == 232 && topLeft(watch).y == 182; }));
    EXPECT_EQ(waitForNotice(again.id()), nullptr) << "resuming WatchMode shows no notice";
    PostMessageW(watch, WM_COMMAND, CMD_QUIT, 0);
    EXPECT_EQ(again.waitForExit(), 0u);
}

TEST(WatchE2E, QuitFadesOutAndEndsWithCodeZero) {
    RunningWatch w;
    ASSERT_TRUE(w.start());
    PostMessageW(w.watch, WM_COMMAND, CMD_QUIT, 0);
    int lowest = 255;
    while (IsWindow(w.watch)) {
        if (IsWindowVisible(w.watch)) lowest = std::min<int>(lowest, layeredAlpha(w.watch));
        Sleep(1);
    }
    EXPECT_LT(lowest, 255);
    EXPECT_EQ(w.process.waitForExit(), 0u);
}

TEST(WatchE2E, EndOfLogonQueryWritesTheSettingsAtOnce) {
    RunningWatch w;
    ASSERT_TRUE(w.start());
    DeleteFileW(w.folder.file(L"Setting.xml").c_str());
    SendMessageW(w.watch, WM_COMMAND, CMD_DATE_MDY, 0);
    EXPECT_EQ(SendMessageW(w.watch, WM_QUERYENDSESSION, 0, 0), 1);
    std::string xml = readFileBytes(w.folder.file(L"Setting.xml"));
    EXPECT_EQ(settingValue(xml, "view", "Date"), "3");
    EXPECT_TRUE(IsWindow(w.watch));

    SendMessageW(w.watch, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(w.process.waitForExit(), 0u);
}

// Saves Setting.xml over and over through the end-of-logon query, on a thread of its own, until
// told to stop; counts the saves.
struct SavingLoop {
    HWND watch;
    volatile LONG stop = 0;
    volatile LONG saves = 0;

    static DWORD WINAPI run(void* self) {
        SavingLoop* loop = static_cast<SavingLoop*>(self);
        while (!loop->stop) {
            SendMessageW(loop->watch, WM_QUERYENDSESSION, 0, 0);
            InterlockedIncrement(&loop->saves);
        }
        return 0;
    }
};

// Another program reading Setting.xml while the watch saves it (a backup, a sync client, an
// editor) always finds the whole file, never none and never part of one.
TEST(WatchE2E, SettingsReadWhileTheyAreSavedAgainAndAgainAreAlwaysWhole) {
    RunningWatch w;
    ASSERT_TRUE(w.start());
    std::wstring path = w.folder.file(L"Setting.xml");
    SendMessageW(w.watch, WM_QUERYENDSESSION, 0, 0);
    const std::string whole = readFileBytes(path);
    ASSERT_NE(settingValue(whole, "watch", "DoNotAskAgain"), "");

    SavingLoop loop{w.watch};
    HANDLE saver = CreateThread(nullptr, 0, SavingLoop::run, &loop, 0, nullptr);
    ASSERT_NE(saver, nullptr);
    int reads = 0;
    int missing = 0;
    int partial = 0;
    DWORD started = GetTickCount();
    // At least 1,000 reads, over at least 100 saves, so that reads meet saves in every phase.
    while ((reads < 1000 || loop.saves < 100) && GetTickCount() - started < 60000) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        reads++;
        if (file == INVALID_HANDLE_VALUE) {
            missing++;
            continue;
        }
        char bytes[4096];
        DWORD got = 0;
        ReadFile(file, bytes, sizeof bytes, &got, nullptr);
        CloseHandle(file);
        if (std::string(bytes, got) != whole) partial++;
    }
    InterlockedExchange(&loop.stop, 1);
    WaitForSingleObject(saver, INFINITE);
    CloseHandle(saver);
    EXPECT_GE(reads, 1000);
    EXPECT_GE(loop.saves, 100) << "saves too slow to meet the reads";
    EXPECT_EQ(missing, 0) << "of " << reads << " reads during " << loop.saves << " saves";
    EXPECT_EQ(partial, 0) << "of " << reads << " reads during " << loop.saves << " saves";
    EXPECT_EQ(w.quit(), whole);
}

TEST(WatchE2E, HiddenWatchComesBackByTrayClickOrCommand) {
    RunningWatch w;
    ASSERT_TRUE(w.start());
    SendMessageW(w.watch, WM_COMMAND, CMD_HIDE, 0);
    EXPECT_FALSE(IsWindowVisible(w.watch));
    EXPECT_TRUE(IsIconic(w.watch));
    SendMessageW(w.watch, WM_TRAY_NOTIFY, 1, WM_LBUTTONDOWN);
    EXPECT_TRUE(IsWindowVisible(w.watch));
    EXPECT_FALSE(IsIconic(w.watch));

    SendMessageW(w.watch, WM_COMMAND, CMD_HIDE, 0);
    EXPECT_FALSE(IsWindowVisible(w.watch));
    SendMessageW(w.watch, WM_COMMAND, CMD_APPEAR, 0);
    EXPECT_TRUE(IsWindowVisible(w.watch));
    EXPECT_FALSE(IsIconic(w.watch));
    // Hiding leaves the top; coming back restores the Topmost setting (1 by default).
    EXPECT_NE(GetWindowLongW(w.watch, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    std::string xml = w.quit();
    EXPECT_EQ(settingValue(xml, "position", "Topmost"), "1");
}

TEST(WatchE2E, TaskbarRestartKeepsTheWatchRunning) {
    RunningWatch w;
    ASSERT_TRUE(w.start());
    SendMessageW(w.watch, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(IsWindow(w.watch));
    w.quit();
}

} // namespace
