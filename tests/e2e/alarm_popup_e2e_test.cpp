// The sound test through the real program: sound files dropped on the watch open "ALARM-CLASS"
// popups beside its panel that play them, close by themselves after their plays or fade out on a
// right click, follow the watch and go with it. They need a sound device (a private sound server
// under Wine); without one every case is skipped.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/bitmap.h"
#include "gfx/image_table.h"
#include "gfx/image_table_win32.h"
#include "player/alarm_popup_win32.h"
#include "tests/e2e/e2e_support.h"
#include "watch/menu_commands.h"
#include "watch/watch_face.h"

namespace {

constexpr int POPUP_WIDTH = 280;
constexpr int POPUP_HEIGHT = 51;
constexpr int WATCH_PANEL_WIDTH = 149;

bool hasAlpha(HWND window, BYTE* alpha) {
    DWORD flags = 0;
    COLORREF key = 0;
    return GetLayeredWindowAttributes(window, &key, alpha, &flags) && (flags & LWA_ALPHA);
}

BYTE layeredAlpha(HWND window) {
    BYTE alpha = 0;
    return hasAlpha(window, &alpha) ? alpha : 0;
}

RECT rectOf(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

void putLittleEndian(std::string* out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out->push_back(char((value >> (8 * i)) & 0xFF));
}

// A 16-bit stereo 48 kHz WAVE file of a 440 Hz tone at half scale.
std::string toneWave(double seconds) {
    const uint32_t rate = 48000;
    uint32_t frames = uint32_t(seconds * rate);
    uint32_t dataBytes = frames * 4;
    std::string w = "RIFF";
    putLittleEndian(&w, 36 + dataBytes, 4);
    w += "WAVEfmt ";
    putLittleEndian(&w, 16, 4);
    putLittleEndian(&w, 1, 2);
    putLittleEndian(&w, 2, 2);
    putLittleEndian(&w, rate, 4);
    putLittleEndian(&w, rate * 4, 4);
    putLittleEndian(&w, 4, 2);
    putLittleEndian(&w, 16, 2);
    w += "data";
    putLittleEndian(&w, dataBytes, 4);
    for (uint32_t i = 0; i < frames; ++i) {
        int16_t s = int16_t(16383.0 * std::sin(2.0 * 3.14159265358979 * 440.0 * i / rate));
        putLittleEndian(&w, uint16_t(s), 2);
        putLittleEndian(&w, uint16_t(s), 2);
    }
    return w;
}

// What the popup's right half shows while the cursor hovers over it, read from the screen: the
// oscilloscope trace is drawn in 0x1EAAA0, spectrum bars with red 10 and blue 200.
enum class Visual { Nothing, Oscilloscope, Spectrum };

Visual visualOnScreen(HWND popup) {
    RECT r = rectOf(popup);
    const int left = r.left + POPUP_WIDTH / 2, width = POPUP_WIDTH / 2 - 4;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -POPUP_HEIGHT;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, POPUP_HEIGHT, screen, left, r.top, SRCCOPY);
    GdiFlush();
    int trace = 0, bars = 0;
    const uint32_t* pixels = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < width * POPUP_HEIGHT; ++i) {
        uint32_t c = pixels[i] & 0xFFFFFF;
        if (c == 0x1EAAA0) ++trace;
        if ((c >> 16) == 10 && (c & 0xFF) == 200) ++bars;
    }
    SelectObject(memory, old);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (trace > 50 && bars == 0) return Visual::Oscilloscope;
    if (bars > 20 && trace == 0) return Visual::Spectrum;
    return Visual::Nothing;
}

// The panel origin inside character `chara`'s sprite, from the program's own pictures.
POINT panelOrigin(const std::wstring& exe, int chara) {
    HMODULE module = LoadLibraryExW(exe.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    loadImageTable(module);
    CBitMap sprite;
    int32_t panelX = 0, panelY = 0;
    composeCharacterSprite(&sprite, chara, &panelX, &panelY);
    freeImageTable();
    FreeLibrary(module);
    return POINT{panelX, panelY};
}

// The default settings with the sound test's play count ("Loop") replaced.
std::string settingsWithPlayCount(int playCount) {
    std::string xml =
        readFileBytes(hostPath(VESK_SOURCE_DIR "/tests/data/app/Setting.default.xml"));
    size_t at = xml.find("Loop = \"");
    if (at != std::string::npos) xml.replace(at + 8, 1, std::to_string(playCount));
    return xml;
}

// A watch that has faded in, with sound files beside it.
class PopupWatch : public ::testing::Test {
  protected:
    void SetUp() override {
        if (waveOutGetNumDevs() > 0) return;
        // The run with a private sound server must not pass by skipping.
        ASSERT_EQ(GetEnvironmentVariableW(L"VESK_EXPECT_SOUND", nullptr, 0), 0u)
            << "a sound server was started, but the program sees no sound device";
        GTEST_SKIP() << "no sound device: popups cannot play";
    }

    void start(int playCount) {
        writeFileBytes(folder.file(L"Setting.xml"), settingsWithPlayCount(playCount));
        ASSERT_TRUE(process.start(folder.exe()));
        watch = process.waitForWatchWindow();
        ASSERT_TRUE(watch);
        ASSERT_TRUE(waitFor([&] { return layeredAlpha(watch) == 255; }));
    }
    std::wstring tone(const wchar_t* name, double seconds) {
        std::wstring path = folder.file(name);
        writeFileBytes(path, toneWave(seconds));
        return path;
    }
    std::vector<HWND> popups() const { return windowsOfClass(ALARM_POPUP_CLASS, process.id()); }
    // Popups playing at full opacity.
    std::vector<HWND> shownPopups() const {
        std::vector<HWND> shown;
        for (HWND p : popups())
            if (layeredAlpha(p) == 255) shown.push_back(p);
        return shown;
    }
    HWND waitForShownPopup() {
        HWND found = nullptr;
        waitFor([&] {
            std::vector<HWND> shown = shownPopups();
            found = shown.empty() ? nullptr : shown[0];
            return found != nullptr;
        });
        return found;
    }
    // Where a popup belongs beside the watch as it stands, wearing character `chara`.
    POINT expectedPlace(int chara) {
        POINT panel = panelOrigin(folder.exe(), chara);
        RECT w = rectOf(watch);
        int screenWidth = GetSystemMetrics(SM_CXSCREEN);
        bool right = w.left + (w.right - w.left) / 2 < screenWidth / 2;
        int left = right ? w.left + WATCH_PANEL_WIDTH : w.left - POPUP_WIDTH;
        return POINT{left + panel.x, w.top + panel.y};
    }

    ProgramFolder folder;
    VeskProcess process;
    HWND watch = nullptr;
};

TEST_F(PopupWatch, DroppedFileShowsBesideThePanelAndFadesOutOnRightClick) {
    start(0);
    ASSERT_TRUE(dropFiles(watch, process.id(), {tone(L"tone.wav", 1.0)}));
    HWND popup = waitForShownPopup();
    ASSERT_TRUE(popup);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), watch);
    RECT r = rectOf(popup);
    EXPECT_EQ(r.right - r.left, POPUP_WIDTH);
    EXPECT_EQ(r.bottom - r.top, POPUP_HEIGHT);
    POINT expected = expectedPlace(1);
    EXPECT_EQ(r.left, expected.x);
    EXPECT_EQ(r.top, expected.y);

    // With a play count of 0 the one-second tone loops.
    ASSERT_TRUE(holdsFor([&] { return IsWindow(popup) != 0; }, 2500));
    EXPECT_EQ(layeredAlpha(popup), 255);

    PostMessageW(popup, WM_RBUTTONDOWN, 0, MAKELPARAM(20, 20));
    BYTE lowest = 255;
    bool gone = waitFor(
        [&] {
            BYTE alpha = 0;
            if (!IsWindow(popup)) return true;
            if (hasAlpha(popup, &alpha) && alpha < lowest) lowest = alpha;
            return false;
        },
        5000);
    EXPECT_TRUE(gone);
    EXPECT_LT(lowest, 255) << "the popup closed without fading";
}

TEST_F(PopupWatch, PlayCountOneClosesByItselfWhenTheSoundEnds) {
    start(1);
    ASSERT_TRUE(dropFiles(watch, process.id(), {tone(L"tone.wav", 1.5)}));
    HWND popup = waitForShownPopup();
    ASSERT_TRUE(popup);
    DWORD shown = GetTickCount();
    bool faded = false;
    ASSERT_TRUE(waitFor(
        [&] {
            BYTE alpha = 0;
            if (!IsWindow(popup)) return true;
            if (hasAlpha(popup, &alpha) && alpha < 255) faded = true;
            return false;
        },
        10000));
    DWORD open = GetTickCount() - shown;
    EXPECT_GE(open, 1200u) << "closed before the sound could have ended";
    EXPECT_FALSE(faded) << "a finished sound closes the popup at once";
}

TEST_F(PopupWatch, FileNoCodecTakesNeverBecomesVisible) {
    start(0);
    std::wstring broken = folder.file(L"broken.wav");
    writeFileBytes(broken, "RIFF\x10\0\0\0WAVEjunkjunkjunk");
    std::wstring missing = folder.file(L"missing.wav");
    ASSERT_TRUE(dropFiles(watch, process.id(), {broken, missing}));
    bool everShown = waitFor([&] { return !shownPopups().empty(); }, 3000);
    EXPECT_FALSE(everShown);
    EXPECT_TRUE(waitFor([&] { return popups().empty(); }, 3000));
    EXPECT_TRUE(IsWindow(watch));
}

TEST_F(PopupWatch, ThreeFilesOpenThreePopupsAtOnePlaceAndQuittingFadesThem) {
    start(0);
    ASSERT_TRUE(dropFiles(watch, process.id(),
                          {tone(L"a.wav", 1.0), tone(L"b.wav", 0.5), tone(L"c.wav", 2.0)}));
    ASSERT_TRUE(waitFor([&] { return shownPopups().size() == 3; }));
    std::vector<HWND> shown = shownPopups();
    RECT first = rectOf(shown[0]);
    for (HWND p : shown) {
        RECT r = rectOf(p);
        EXPECT_EQ(r.left, first.left);
        EXPECT_EQ(r.top, first.top);
    }
    PostMessageW(watch, WM_COMMAND, CMD_QUIT, 0);
    EXPECT_EQ(process.waitForExit(), 0u);
}

TEST_F(PopupWatch, TurningEndlessLoopOnKeepsASoundTestPlaying) {
    start(1);
    ASSERT_TRUE(dropFiles(watch, process.id(), {tone(L"tone.wav", 1.0)}));
    HWND popup = waitForShownPopup();
    ASSERT_TRUE(popup);
    SendMessageW(watch, WM_COMMAND, CMD_ENDLESS_LOOP, 0);
    EXPECT_TRUE(holdsFor([&] { return IsWindow(popup) != 0; }, 3000))
        << "the popup closed although the loop was turned on";
    // And off again: the next end of the sound is its last.
    SendMessageW(watch, WM_COMMAND, CMD_ENDLESS_LOOP, 0);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(popup); }, 5000));
}

TEST_F(PopupWatch, PopupFollowsThePanelWhenTheCharacterChanges) {
    start(0);
    ASSERT_TRUE(dropFiles(watch, process.id(), {tone(L"tone.wav", 1.0)}));
    HWND popup = waitForShownPopup();
    ASSERT_TRUE(popup);
    RECT before = rectOf(popup);
    // The panel alone: its origin moves to the sprite's corner.
    const int chara = 0;
    SendMessageW(watch, WM_COMMAND, CMD_CHARACTER_FIRST + chara, 0);
    RECT r = rectOf(popup);
    POINT expected = expectedPlace(chara);
    ASSERT_TRUE(expected.x != before.left || expected.y != before.top);
    EXPECT_EQ(r.left, expected.x);
    EXPECT_EQ(r.top, expected.y);
    EXPECT_EQ(layeredAlpha(popup), 255);
}

TEST_F(PopupWatch, ClickOnTheVisualizerSwitchesBetweenSpectrumAndOscilloscope) {
    start(0);
    ASSERT_TRUE(dropFiles(watch, process.id(), {tone(L"tone.wav", 2.0)}));
    HWND popup = waitForShownPopup();
    ASSERT_TRUE(popup);
    RECT r = rectOf(popup);
    SetCursorPos(r.left + 3 * POPUP_WIDTH / 4, r.top + POPUP_HEIGHT / 2);
    Visual first = Visual::Nothing;
    ASSERT_TRUE(waitFor([&] { return (first = visualOnScreen(popup)) != Visual::Nothing; }));
    Visual other = first == Visual::Spectrum ? Visual::Oscilloscope : Visual::Spectrum;
    PostMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_TRUE(waitFor([&] { return visualOnScreen(popup) == other; }, 3000));
    PostMessageW(popup, WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
    EXPECT_TRUE(waitFor([&] { return visualOnScreen(popup) == first; }, 3000));
}

TEST_F(PopupWatch, ClickAtTheBarsRightEndSeeksToTheEnd) {
    start(1);
    ASSERT_TRUE(dropFiles(watch, process.id(), {tone(L"tone.wav", 6.0)}));
    HWND popup = waitForShownPopup();
    ASSERT_TRUE(popup);
    RECT r = rectOf(popup);
    // The bar's last column, on its lower row.
    const POINT end = {r.left + POPUP_WIDTH / 2 - 6, r.top + POPUP_HEIGHT - 6};
    SetCursorPos(end.x, end.y);
    // The popup reads the cursor when it is clicked: click only once the cursor is there.
    ASSERT_TRUE(waitFor([&] {
        POINT now;
        return GetCursorPos(&now) && now.x == end.x && now.y == end.y;
    }));
    PostMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(popup); }, 5000))
        << "the sound did not jump to its end";
}

TEST_F(PopupWatch, EndOfLogonClosesPopupsWithoutFading) {
    start(0);
    ASSERT_TRUE(dropFiles(watch, process.id(), {tone(L"tone.wav", 1.0)}));
    HWND popup = waitForShownPopup();
    ASSERT_TRUE(popup);
    SendMessageW(watch, WM_ENDSESSION, TRUE, 0);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(process.waitForExit(), 0u);
}

} // namespace
