// Alarms through the real program: Alarm.xml beside it is read at start, a one-shot alarm that
// rings is disarmed in the file at once, the watch shows the next alarm's symbol, and quitting
// writes the file back as it was.
#include <gtest/gtest.h>

#include <string>

#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "gfx/image_table.h"
#include "gfx/image_table_win32.h"
#include "tests/e2e/e2e_support.h"
#include "watch/watch_face.h"

namespace {

constexpr WPARAM CMD_QUIT = 1055;
constexpr int SLOT_FIRST_SYMBOL = 45;

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

// One alarm element exactly as the program writes it (every day, played once, no sound file).
std::string alarmElement(int index, bool enabled, bool repeat, int symbol, AlarmTime at) {
    auto line = [](const char* name, int value) {
        return std::string("   ") + name + " = \"" + std::to_string(value) + "\"\r\n";
    };
    std::string text = "  <" + std::to_string(index) + "\r\n";
    text += line("Enable", enabled) + line("Symbol", symbol) + line("Repeat", repeat);
    text += line("Loop", 0);
    for (const char* day :
         {"WeekMon", "WeekTues", "WeekWed", "WeekThurs", "WeekFri", "WeekSat", "WeekSun"})
        text += line(day, 0);
    text += line("Hour", at.hour) + line("Minute", at.minute) + line("Second", at.second);
    text += line("Play", 1) + "   File = \"\"\r\n";
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
    AlarmTime soon = timeFromNow(4);
    AlarmTime later = timeFromNow(4 * 3600);
    writeFileBytes(w.folder.file(L"Alarm.xml"), alarmFile(alarmElement(0, true, false, 1, soon) +
                                                          alarmElement(1, true, true, 4, later)));
    ASSERT_TRUE(w.start());
    std::string disarmed =
        alarmFile(alarmElement(0, false, false, 1, soon) + alarmElement(1, true, true, 4, later));
    EXPECT_TRUE(waitFor([&] { return w.alarms() == disarmed; }, 15000)) << w.alarms();
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
                   alarmFile(alarmElement(0, true, false, 3, timeFromNow(5))));
    ASSERT_TRUE(w.start());
    SetWindowPos(w.watch, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_TRUE(waitFor([&] { return symbolShown(w.watch, origin, symbol) > 0.9; }, 4000));
    // Once the one-shot alarm has rung nothing is armed, and the symbol goes.
    EXPECT_TRUE(waitFor([&] { return symbolShown(w.watch, origin, symbol) < 0.1; }, 10000));
    w.quit();
    freeImageTable();
    FreeLibrary(module);
}

} // namespace
