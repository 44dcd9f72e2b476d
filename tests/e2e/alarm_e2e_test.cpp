// Alarms through the real program: Alarm.xml beside it is read at start, a one-shot alarm that
// rings is disarmed in the file at once, the watch shows the next alarm's symbol, and quitting
// writes the file back as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "gfx/image_table.h"
#include "gfx/image_table_win32.h"
#include "player/alarm_popup_win32.h"
#include "tests/e2e/e2e_support.h"
#include "watch/menu_commands.h"
#include "watch/watch_face.h"

namespace {

constexpr int SLOT_FIRST_SYMBOL = 45;

// How far ahead a test's alarm lies: past the program's start and fade-in even on a busy
// machine, so the alarm can only ring once the watch is up.
constexpr int ALARM_LEAD_SECONDS = 6;
constexpr DWORD RING_WAIT_MS = (ALARM_LEAD_SECONDS + 6) * 1000;

struct AlarmTime {
    int hour, minute, second;
};

// The local time `ahead` seconds from now, wrapped at midnight.
AlarmTime timeFromNow(int ahead) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    int total = (now.wHour * 3600 + now.wMinute * 60 + now.wSecond + ahead) % 86400;
    return {total / 3600, total / 60 % 60, total % 60};
}

// One alarm element exactly as the program writes it, for every day.
std::string alarmElement(int index, bool enabled, bool repeat, int symbol, AlarmTime at,
                         const char* file = "", int play = 1, bool loop = false) {
    auto line = [](const char* name, int value) {
        return std::string("   ") + name + " = \"" + std::to_string(value) + "\"\r\n";
    };
    std::string text = "  <" + std::to_string(index) + "\r\n";
    text += line("Enable", enabled) + line("Symbol", symbol) + line("Repeat", repeat);
    text += line("Loop", loop);
    for (const char* day :
         {"WeekMon", "WeekTues", "WeekWed", "WeekThurs", "WeekFri", "WeekSat", "WeekSun"})
        text += line(day, 0);
    text += line("Hour", at.hour) + line("Minute", at.minute) + line("Second", at.second);
    text += line("Play", play) + "   File = \"" + file + "\"\r\n";
    return text + "  >\r\n  </" + std::to_string(index) + ">\r\n";
}

std::string alarmFile(const std::string& elements) {
    return "\xEF\xBB\xBF<?xml version=\"1.0\" standalone=\"yes\" ?>\r\n<Alarm\r\n"
           " version = \"1.00\"\r\n>\r\n <Edit>\r\n" +
           elements + " </Edit>\r\n</Alarm>\r\n";
}

BYTE layeredAlpha(HWND window) {
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    if (!GetLayeredWindowAttributes(window, &key, &alpha, &flags)) return 0;
    return alpha;
}

// A watch started on a prepared program folder.
struct RunningWatch {
    ProgramFolder folder;
    VeskProcess process;
    HWND watch = nullptr;

    // Started from `workingDir` (its own folder when empty), as a shortcut elsewhere would.
    bool start(const std::wstring& workingDir = L"") {
        if (!process.start(folder.exe(), workingDir)) return false;
        watch = process.waitForWatchWindow();
        return watch && waitFor([&] { return layeredAlpha(watch) == 255; });
    }
    void quit() {
        PostMessageW(watch, WM_COMMAND, CMD_QUIT, 0);
        EXPECT_EQ(process.waitForExit(), 0u);
    }
    std::string alarms() const { return readFileBytes(folder.file(L"Alarm.xml")); }
};

TEST(AlarmE2E, QuittingWritesAlarmXmlBesideTheProgramBackUnchanged) {
    RunningWatch w;
    std::string text = alarmFile(alarmElement(0, true, true, 2, timeFromNow(3 * 3600)) +
                                 alarmElement(1, false, false, 5, {7, 30, 0}));
    writeFileBytes(w.folder.file(L"Alarm.xml"), text);
    ProgramFolder elsewhere;
    ASSERT_TRUE(w.start(elsewhere.path()));
    w.quit();
    EXPECT_EQ(w.alarms(), text);
    EXPECT_FALSE(fileExists(elsewhere.file(L"Alarm.xml")));
}

TEST(AlarmE2E, OneShotAlarmIsDisarmedInTheFileWhenItRings) {
    RunningWatch w;
    AlarmTime soon = timeFromNow(ALARM_LEAD_SECONDS);
    AlarmTime later = timeFromNow(4 * 3600);
    writeFileBytes(w.folder.file(L"Alarm.xml"), alarmFile(alarmElement(0, true, false, 1, soon) +
                                                          alarmElement(1, true, true, 4, later)));
    ASSERT_TRUE(w.start());
    std::string disarmed =
        alarmFile(alarmElement(0, false, false, 1, soon) + alarmElement(1, true, true, 4, later));
    EXPECT_TRUE(waitFor([&] { return w.alarms() == disarmed; }, RING_WAIT_MS)) << w.alarms();
    w.quit();
    EXPECT_EQ(w.alarms(), disarmed);
}

TEST(AlarmE2E, WithoutAlarmsNoFileIsLeftBehind) {
    RunningWatch w;
    ASSERT_TRUE(w.start());
    w.quit();
    EXPECT_FALSE(fileExists(w.folder.file(L"Alarm.xml")));
}

TEST(AlarmE2E, FileThatIsNoAlarmFileIsKeptAsBad) {
    RunningWatch w;
    const std::string broken = "<Alarm><Edit><0 Hour=\"5\"</Edit";
    writeFileBytes(w.folder.file(L"Alarm.xml"), broken);
    ASSERT_TRUE(w.start());
    w.quit();
    EXPECT_EQ(readFileBytes(w.folder.file(L"Alarm.xml.bad")), broken);
    EXPECT_FALSE(fileExists(w.folder.file(L"Alarm.xml")));
}

// A silent 16-bit stereo 48 kHz WAVE file.
std::string silentWave(double seconds) {
    auto put = [](std::string* out, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    uint32_t dataBytes = static_cast<uint32_t>(seconds * 48000) * 4;
    std::string w = "RIFF";
    put(&w, 36 + dataBytes, 4);
    w += "WAVEfmt ";
    put(&w, 16, 4);        // format chunk size
    put(&w, 1, 2);         // PCM
    put(&w, 2, 2);         // channels
    put(&w, 48000, 4);     // frames per second
    put(&w, 48000 * 4, 4); // bytes per second
    put(&w, 4, 2);         // bytes per frame
    put(&w, 16, 2);        // bits per sample
    w += "data";
    put(&w, dataBytes, 4);
    return w + std::string(dataBytes, '\0');
}

// Ringing needs a sound device (a private sound server under Wine); without one these cases
// are skipped, except in the run that started a server for them.
class AlarmRings : public ::testing::Test {
  protected:
    void SetUp() override {
        if (waveOutGetNumDevs() > 0) return;
        ASSERT_EQ(GetEnvironmentVariableW(L"VESK_EXPECT_SOUND", nullptr, 0), 0u)
            << "a sound server was started, but the program sees no sound device";
        GTEST_SKIP() << "no sound device: alarms cannot ring";
    }
    std::vector<HWND> shownPopups() const {
        std::vector<HWND> shown;
        for (HWND p : windowsOfClass(ALARM_POPUP_CLASS, w.process.id()))
            if (layeredAlpha(p) == 255) shown.push_back(p);
        return shown;
    }
    // The first popup to show at full opacity within `timeoutMs`, or null.
    HWND waitForShownPopup(DWORD timeoutMs) {
        HWND popup = nullptr;
        waitFor(
            [&] {
                std::vector<HWND> shown = shownPopups();
                popup = shown.empty() ? nullptr : shown[0];
                return popup != nullptr;
            },
            timeoutMs);
        return popup;
    }

    RunningWatch w;
};

TEST_F(AlarmRings, PopupPlaysItsTimesEvenWhenTheFileAsksForALoopAndEnds) {
    writeFileBytes(w.folder.file(L"bell.wav"), silentWave(1.0));
    AlarmTime soon = timeFromNow(ALARM_LEAD_SECONDS);
    writeFileBytes(w.folder.file(L"Alarm.xml"),
                   alarmFile(alarmElement(0, true, false, 2, soon, "bell.wav", 2, true)));
    ASSERT_TRUE(w.start());
    HWND popup = waitForShownPopup(RING_WAIT_MS);
    ASSERT_TRUE(popup);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), w.watch);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(popup); }, 8000));
    EXPECT_EQ(w.alarms(), alarmFile(alarmElement(0, false, false, 2, soon, "bell.wav", 2, true)));
    w.quit();
}

TEST_F(AlarmRings, AlarmWhoseSoundIsGoneRingsSilentlyAndIsStillDisarmed) {
    AlarmTime soon = timeFromNow(ALARM_LEAD_SECONDS);
    writeFileBytes(w.folder.file(L"Alarm.xml"),
                   alarmFile(alarmElement(0, true, false, 2, soon, "gone.wav")));
    ASSERT_TRUE(w.start());
    std::string disarmed = alarmFile(alarmElement(0, false, false, 2, soon, "gone.wav"));
    bool shown = false;
    EXPECT_TRUE(waitFor(
        [&] {
            shown = shown || !shownPopups().empty();
            return w.alarms() == disarmed;
        },
        RING_WAIT_MS));
    waitFor([&] { return (shown = shown || !shownPopups().empty()); }, 1500);
    EXPECT_FALSE(shown);
    EXPECT_TRUE(windowsOfClass(ALARM_POPUP_CLASS, w.process.id()).empty());
    w.quit();
}

// A sound file of any format, handed over by tests/e2e/sound/check_plugin_alarm.sh, which
// records what the sound server plays: the program, with the plug-ins the build ships in its
// plugin folder, rings it once.
TEST_F(AlarmRings, RingsASoundFileThroughThePluginsOnce) {
    wchar_t given[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"VESK_ALARM_SOUND", given, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) GTEST_SKIP() << "no sound file given";
    std::wstring source = given;
    std::wstring name = L"alarm" + source.substr(source.find_last_of(L'.'));
    ASSERT_TRUE(CopyFileW(source.c_str(), w.folder.file(name.c_str()).c_str(), FALSE));
    // Every plug-in of the build, as the program finds them beside itself in the build tree.
    std::wstring built = hostPath(OGGVORBIS_PLUGIN);
    built.resize(built.find_last_of(L'\\'));
    std::wstring plugins = w.folder.file(L"plugin");
    CreateDirectoryW(plugins.c_str(), nullptr);
    for (const std::wstring& dll : filesIn(built))
        ASSERT_TRUE(
            CopyFileW((built + L"\\" + dll).c_str(), (plugins + L"\\" + dll).c_str(), FALSE));

    std::string file(name.begin(), name.end());
    AlarmTime soon = timeFromNow(ALARM_LEAD_SECONDS);
    writeFileBytes(w.folder.file(L"Alarm.xml"),
                   alarmFile(alarmElement(0, true, false, 2, soon, file.c_str(), 1)));
    ASSERT_TRUE(w.start());
    HWND popup = waitForShownPopup(RING_WAIT_MS);
    ASSERT_TRUE(popup);
    // One play, then the popup closes by itself.
    EXPECT_TRUE(waitFor([&] { return !IsWindow(popup); }, 10000));
    w.quit();
}

// A window of the driver that has the keyboard, as an editor the user types into would.
struct TypingWindow {
    HWND window = CreateWindowExW(0, L"EDIT", L"typing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                  300, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ~TypingWindow() { DestroyWindow(window); }
};

// Polls `condition` every 20 ms for up to `timeoutMs`, handling this thread's window messages
// meanwhile, as the typing window needs.
template <typename F> bool pumpUntil(F condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
}

// Alarms with sound files of several encodings made by the script that runs this case
// (check_alarm_sounds.sh, which records the sound server and checks what was heard): each one
// that the engine decodes rings in a popup that ends with its sound, one it cannot decode
// leaves no popup, and no popup takes the keyboard from the window the user types into.
class AlarmSoundFiles : public AlarmRings {
  protected:
    void SetUp() override {
        AlarmRings::SetUp();
        if (IsSkipped()) return;
        wchar_t folder[MAX_PATH] = {};
        if (!GetEnvironmentVariableW(L"VESK_ALARM_SOUNDS", folder, MAX_PATH))
            GTEST_SKIP() << "no sound files: run through check_alarm_sounds.sh";
        sounds = folder;
    }
    std::wstring sounds;
};

TEST_F(AlarmSoundFiles, EachDecodableFileRingsAndNoPopupTakesTheKeyboard) {
    const wchar_t* files[] = {L"pcm16.wav", L"mulaw.wav", L"int32.wav", L"quad.wav",
                              L"unknown.wav"};
    const int ringing = 4; // the last one has a format tag nobody decodes
    std::string elements, disarmed;
    for (int k = 0; k < 5; ++k) {
        ASSERT_TRUE(
            CopyFileW((sounds + L"\\" + files[k]).c_str(), w.folder.file(files[k]).c_str(), FALSE));
        std::string name(files[k], files[k] + wcslen(files[k]));
        AlarmTime at = timeFromNow(ALARM_LEAD_SECONDS + 3 * k);
        elements += alarmElement(k, true, false, 1 + k, at, name.c_str());
        disarmed += alarmElement(k, false, false, 1 + k, at, name.c_str());
    }
    writeFileBytes(w.folder.file(L"Alarm.xml"), alarmFile(elements));
    TypingWindow typing;
    ASSERT_TRUE(typing.window);
    ASSERT_TRUE(w.start());
    SetForegroundWindow(typing.window);
    ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == typing.window; }, 5000));

    std::vector<HWND> seen;
    bool keptForeground = true;
    bool allRang = pumpUntil(
        [&] {
            for (HWND p : shownPopups()) {
                if (std::find(seen.begin(), seen.end(), p) == seen.end()) seen.push_back(p);
                keptForeground = keptForeground && GetForegroundWindow() == typing.window;
            }
            return w.alarms() == alarmFile(disarmed) &&
                   windowsOfClass(ALARM_POPUP_CLASS, w.process.id()).empty();
        },
        RING_WAIT_MS + 3 * 5 * 1000);
    EXPECT_TRUE(allRang) << w.alarms();
    // The last file's popup may still be on its way: it must end without being seen.
    pumpUntil(
        [&] {
            for (HWND p : shownPopups())
                if (std::find(seen.begin(), seen.end(), p) == seen.end()) seen.push_back(p);
            return false;
        },
        2000);
    EXPECT_TRUE(windowsOfClass(ALARM_POPUP_CLASS, w.process.id()).empty());
    EXPECT_EQ(ringing, static_cast<int>(seen.size()));
    EXPECT_TRUE(keptForeground);
    EXPECT_EQ(GetForegroundWindow(), typing.window);
    w.quit();
}

// Where the face draws the alarm symbol, in window coordinates, for the default character.
POINT symbolOrigin() {
    CBitMap sprite;
    int32_t panelX = 0, panelY = 0;
    composeCharacterSprite(&sprite, 1, &panelX, &panelY);
    return {panelX + 115, panelY + 17};
}

// Share of the symbol's visible pixels that the screen shows at `origin` of `window`.
double symbolShown(HWND window, POINT origin, const BitmapInfoHeader* symbol) {
    RECT r;
    GetWindowRect(window, &r);
    HDC screen = GetDC(nullptr);
    int shown = 0, visible = 0;
    for (int y = 0; y < symbol->height; ++y) {
        for (int x = 0; x < symbol->width; ++x) {
            uint32_t colour = readPixel(symbol, nullptr, nullptr, x, y) & 0xFFFFFF;
            if (colour == 0) continue;
            ++visible;
            COLORREF seen = GetPixel(screen, r.left + origin.x + x, r.top + origin.y + y);
            uint32_t rgb = GetRValue(seen) << 16 | GetGValue(seen) << 8 | GetBValue(seen);
            shown += rgb == colour ? 1 : 0;
        }
    }
    ReleaseDC(nullptr, screen);
    return visible ? static_cast<double>(shown) / visible : 0.0;
}

TEST(AlarmE2E, WatchShowsTheNextAlarmsSymbolUntilItHasRung) {
    RunningWatch w;
    HMODULE module = LoadLibraryExW(w.folder.exe().c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    loadImageTable(module);
    const BitmapInfoHeader* symbol = imageSlot(SLOT_FIRST_SYMBOL + 3);
    ASSERT_NE(symbol, nullptr);
    POINT origin = symbolOrigin();

    writeFileBytes(w.folder.file(L"Alarm.xml"),
                   alarmFile(alarmElement(0, true, false, 3, timeFromNow(ALARM_LEAD_SECONDS))));
    ASSERT_TRUE(w.start());
    SetWindowPos(w.watch, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_TRUE(waitFor([&] { return symbolShown(w.watch, origin, symbol) > 0.9; },
                        (ALARM_LEAD_SECONDS - 1) * 1000));
    // Once the one-shot alarm has rung nothing is armed, and the symbol goes.
    EXPECT_TRUE(waitFor([&] { return symbolShown(w.watch, origin, symbol) < 0.1; }, RING_WAIT_MS));
    w.quit();
    freeImageTable();
    FreeLibrary(module);
}

// Snoozing through the real program, with a snooze time of one minute: a click on the ringing
// popup's symbol fades it out, the snooze waits in Alarm.xml through a restart while the face
// shows its symbol, and the one-shot alarm rings again, whole, a minute after the click. Run by
// tests/e2e/sound/check_snooze.sh, which hands over a 4 s tone and checks the recording of the
// sound server: the ring cut short by the click, then the tone once more, whole.
class AlarmSnooze : public AlarmRings {
  protected:
    void SetUp() override {
        AlarmRings::SetUp();
        if (IsSkipped()) return;
        wchar_t tone[MAX_PATH] = {};
        if (!GetEnvironmentVariableW(L"VESK_SNOOZE_SOUND", tone, MAX_PATH))
            GTEST_SKIP() << "no tone: run through check_snooze.sh";
        ASSERT_TRUE(CopyFileW(tone, w.folder.file(L"bell.wav").c_str(), FALSE));
    }
    // Puts the cursor on the popup's alarm symbol and clicks once it is there.
    void clickSymbol(HWND popup) {
        RECT r;
        GetWindowRect(popup, &r);
        const POINT symbol = {r.left + 4 + 14, r.top + 10 + 18};
        SetCursorPos(symbol.x, symbol.y);
        ASSERT_TRUE(waitFor([&] {
            POINT now;
            return GetCursorPos(&now) && now.x == symbol.x && now.y == symbol.y;
        }));
        PostMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    }
};

TEST_F(AlarmSnooze, ClickOnTheSymbolRingsTheAlarmAgainAfterTheSnoozeTimeAcrossARestart) {
    std::string settings =
        readFileBytes(hostPath(VESK_SOURCE_DIR "/tests/data/app/Setting.default.xml"));
    const std::string player = " <player\r\n  Loop = \"1\"\r\n  Time = \"1\"\r\n";
    size_t at = settings.find(player);
    ASSERT_NE(at, std::string::npos);
    settings.insert(at + player.size(), "  Snooze = \"1\"\r\n");
    writeFileBytes(w.folder.file(L"Setting.xml"), settings);
    AlarmTime soon = timeFromNow(ALARM_LEAD_SECONDS);
    writeFileBytes(w.folder.file(L"Alarm.xml"),
                   alarmFile(alarmElement(0, true, false, 3, soon, "bell.wav")));
    std::string disarmed = alarmFile(alarmElement(0, false, false, 3, soon, "bell.wav"));
    ASSERT_TRUE(w.start());

    HWND popup = waitForShownPopup(RING_WAIT_MS);
    ASSERT_TRUE(popup);
    Sleep(1000);
    clickSymbol(popup);
    DWORD clicked = GetTickCount();
    EXPECT_TRUE(waitFor([&] { return !IsWindow(popup); }, 3000)) << "the popup rang on";
    EXPECT_TRUE(waitFor([&] { return w.alarms().find(" <Snooze>") != std::string::npos; }, 3000));
    w.quit();
    EXPECT_EQ(w.alarms().find(disarmed.substr(0, disarmed.find(" </Edit>"))), 0u);

    HMODULE module = LoadLibraryExW(w.folder.exe().c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    loadImageTable(module);
    POINT origin = symbolOrigin();
    VeskProcess again;
    ASSERT_TRUE(again.start(w.folder.exe()));
    HWND watch = again.waitForWatchWindow();
    ASSERT_TRUE(watch);
    SetWindowPos(watch, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_TRUE(waitFor(
        [&] { return symbolShown(watch, origin, imageSlot(SLOT_FIRST_SYMBOL + 3)) > 0.9; }, 5000))
        << "the face does not show the snoozed alarm as the next one";
    freeImageTable();
    FreeLibrary(module);

    popup = nullptr;
    ASSERT_TRUE(waitFor(
        [&] {
            std::vector<HWND> shown = windowsOfClass(ALARM_POPUP_CLASS, again.id());
            popup = shown.empty() || layeredAlpha(shown[0]) != 255 ? nullptr : shown[0];
            return popup != nullptr;
        },
        75000));
    DWORD after = GetTickCount() - clicked;
    EXPECT_GE(after, 59000u);
    EXPECT_LE(after, 62500u);
    // The whole tone, then the popup closes by itself and the snooze is gone from the file.
    EXPECT_TRUE(waitFor([&] { return !IsWindow(popup); }, 8000));
    EXPECT_EQ(readFileBytes(w.folder.file(L"Alarm.xml")), disarmed);
    PostMessageW(watch, WM_COMMAND, CMD_QUIT, 0);
    EXPECT_EQ(again.waitForExit(), 0u);
}

} // namespace
