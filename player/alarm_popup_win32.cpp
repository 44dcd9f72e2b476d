#include "player/alarm_popup_win32.h"

#include <cstdlib>
#include <new>

#include "settings/settings.h"
#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "gfx/image_table.h"
#include "gfx/region_from_alpha_win32.h"
#include "gfx/screen_win32.h"
#include "player/popup_layout.h"
#include "player/popup_paint.h"
#include "player/sound_test_entry.h"
#include "player/spectrum_analyzer.h"
#include "player/visualizer.h"
#include "util/window_class_win32.h"
#include "util/window_placement_win32.h"
#include "gfx/fade.h"
#include "link/watch_info_win32.h"
#include "link/watch_messages.h"

const wchar_t* const ALARM_POPUP_CLASS = L"ALARM-CLASS";

// One popup window's state, made by openAlarmPopup and freed by the window's WM_DESTROY.
struct AlarmPopup {
    HRGN region; // the window's shape until WM_CREATE hands it to the window, then null
    RECT watchRect;
    VoiceHandle voice;
    uint32_t flags;
    int32_t panelX;
    int32_t panelY;
    int32_t fadeLevel;
    int32_t remainingPlays; // 0: endless
    AlarmEntry entry;       // the entry's visualMode is the visualizer mode shown
    CBitMap* surface;
    PeakHold* peakHold; // one per analyzer point; null until playback starts
    PopupHover hover;
    const BitmapInfoHeader* panelImage;
    const BitmapInfoHeader* symbolImage;
    SpectrumAnalyzer* analyzer; // null until playback starts, or when the stream has none
    int32_t framesUntilShown;   // frames still drawn only into the surface before one is shown
    PopupSnooze snooze;
    bool fading; // the popup is on its way out; a click on the symbol no longer snoozes
};

namespace {

constexpr UINT_PTR TIMER_FRAME = 10;
constexpr UINT_PTR TIMER_START = 11;
constexpr UINT_PTR TIMER_FADE = 12;
constexpr UINT FRAME_PERIOD_MS = 10;
// Every frame is drawn, so the peaks fall at the frame rate, but only every third one is shown.
// Under Wine each showing is a round of server and X requests, and a hundred a second starved
// the sound output of a busy machine into dropouts. The analyzer's picture changes once per
// engine period (about 31 ms), so the eye misses nothing.
constexpr int32_t FRAMES_PER_SHOWING = 3;
constexpr UINT START_POLL_MS = 10;
constexpr UINT FADE_PERIOD_MS = 1;
// The player panel is a 24-bit picture: every pixel that is not pure black belongs to the shape.
constexpr uint8_t PANEL_ALPHA_LOW = 8;
constexpr uint8_t PANEL_ALPHA_HIGH = 255;
constexpr uint32_t SYMBOL_COUNT = 7;
// Spectrum bars of four columns and a gap, or one bar per column when smoothing.
constexpr int32_t BAR_GROUP = 5;
constexpr int32_t SMOOTH_BAR_GROUP = 1;

int32_t pictureWidth(const BitmapInfoHeader* picture) {
    return picture ? int32_t(std::abs(int64_t(picture->width))) : 0;
}

// Beside the watch panel at `watch`, kept inside the work area.
void placePopup(HWND window, const AlarmPopup* popup, const RECT& watch) {
    RECT work;
    computeWorkArea(&work);
    Rect watchRect = {watch.left, watch.top, watch.right, watch.bottom};
    Point at =
        popupPosition(watchRect, work.right - work.left, pictureWidth(imageSlot(SLOT_WATCH_PANEL)),
                      popup->surface->width(), popup->panelX, popup->panelY);
    moveWindowClamped(window, at.x, at.y, &work);
}

// Only a ringing alarm snoozes: not a sound test, not one still starting or already fading.
bool canSnooze(const AlarmPopup* popup) {
    return popup->snooze.snooze && !(popup->flags & POPUP_SOUND_TEST) && !popup->fading &&
           popup->fadeLevel == FULL_OPACITY;
}

void setOpacity(HWND window, int32_t level) {
    SetLayeredWindowAttributes(window, 0, BYTE(level), LWA_ALPHA);
}

// Loop endlessly or count the entry's plays, from the entry as it is now.
void applyPlays(AlarmPopup* popup) {
    bool loop = (popup->entry.flags & ALARM_LOOP) != 0;
    VoiceSetLoop(popup->voice, loop ? 1 : 0);
    popup->remainingPlays = initialPlays(popup->entry);
}

// The analyzer's window for the mode shown; the tap thread may be feeding meanwhile.
void updateAnalyzerWindow(AlarmPopup* popup) {
    if (!popup->analyzer) return;
    analyzerSetWindow(popup->analyzer, analyzerWindowFor(popup->entry.visualMode, popup->flags),
                      HAMMING_ALPHA, KAISER_ALPHA);
}

// A stream whose format cannot be read, or an analyzer that cannot be made, only costs the
// visualizer; the sound still plays.
void attachAnalyzer(AlarmPopup* popup) {
    VoiceStreamFormat format;
    if (VoiceGetStreamFormat(popup->voice, &format) != SND_OK) return;
    if (format.rate <= 0 || format.channels <= 0) return;
    uint32_t rate = uint32_t(format.rate);
    SpectrumAnalyzer* analyzer = createSpectrumAnalyzer(rate, uint32_t(format.channels), rate / 4);
    if (!analyzer) return;
    popup->analyzer = analyzer;
    // Set before the tap starts feeding, so the first analysis already uses the window.
    updateAnalyzerWindow(popup);
    popup->peakHold = static_cast<PeakHold*>(calloc(analyzer->points, sizeof(PeakHold)));
    VoiceSetTap(popup->voice, analyzerFeed, analyzer);
}

void drawReadout(const AlarmPopup* popup) {
    if (popup->flags & POPUP_SOUND_TEST) {
        uint64_t position = 0, length = 0;
        if (VoiceGetPositionMs(popup->voice, &position, &length) != SND_OK) return;
        drawPopupReadout(popup->surface, playTimeReadout(position, length, popup->flags));
        return;
    }
    const AlarmEntry& e = popup->entry;
    drawPopupReadout(popup->surface, alarmReadout(e.hour, e.minute, e.second, popup->flags));
}

void drawProgress(const AlarmPopup* popup) {
    uint64_t position = 0, length = 0;
    if (VoiceGetPosition(popup->voice, &position, &length) != SND_OK) return;
    int32_t barLength = progressBarLength(popup->surface->width());
    drawProgressBar(popup->surface, progressPlayedEnd(position, length, barLength),
                    popup->hover.seek != 0,
                    progressPreviewEnd(popup->hover.seekFraction, barLength));
}

// Where the cursor is now decides what the next paint highlights and what a click does.
void updateHover(HWND window, AlarmPopup* popup) {
    POINT cursor;
    if (!GetCursorPos(&cursor) || !ScreenToClient(window, &cursor)) return;
    popup->hover =
        popupHoverAt(cursor.x, cursor.y, popup->surface->width(), popup->surface->height());
}

// Draws one frame into the surface; the next paint shows it.
void drawFrame(AlarmPopup* popup) {
    CBitMap* surface = popup->surface;
    int32_t half = surface->width() / 2;
    drawPopupPanel(surface, popup->panelImage);
    drawVisualizer(surface, half, half - 4, popup->analyzer,
                   (popup->flags & POPUP_PEAK) ? popup->peakHold : nullptr, popup->entry.visualMode,
                   (popup->flags & POPUP_SMOOTH) ? SMOOTH_BAR_GROUP : BAR_GROUP,
                   popup->hover.visual);
    drawPopupSymbol(surface, popup->symbolImage);
    if (popup->hover.symbol && canSnooze(popup)) drawSnoozeMark(surface);
    drawReadout(popup);
    drawProgress(popup);
    surface->flip();
}

// Timer 11: waits for the voice to be opened, then starts it and shows the popup.
void onStartPoll(HWND window, AlarmPopup* popup) {
    int32_t state = VoiceGetState(popup->voice);
    if (state == VOICE_OPENING) return;
    if (state < 0) {
        DestroyWindow(window);
        return;
    }
    attachAnalyzer(popup);
    applyPlays(popup);
    SetTimer(window, TIMER_FRAME, FRAME_PERIOD_MS, nullptr);
    VoicePlay(popup->voice);
    popup->fadeLevel = FULL_OPACITY;
    setOpacity(window, FULL_OPACITY);
    drawFrame(popup);
    // Shown on top but not activated: a ringing alarm leaves the keyboard where the user types.
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    KillTimer(window, TIMER_START);
}

// Timer 10: draw a frame, show every third, and count a play each time the sound has ended.
void onFrame(HWND window, AlarmPopup* popup) {
    updateHover(window, popup);
    drawFrame(popup);
    if (--popup->framesUntilShown <= 0) {
        popup->framesUntilShown = FRAMES_PER_SHOWING;
        InvalidateRect(window, nullptr, FALSE);
    }
    if (VoiceGetState(popup->voice) != VOICE_STOPPED) return;
    if (countFinishedPlay(&popup->remainingPlays)) {
        DestroyWindow(window);
        return;
    }
    VoicePlay(popup->voice);
}

void startFadeOut(HWND window, AlarmPopup* popup) {
    popup->fading = true;
    KillTimer(window, TIMER_START);
    SetTimer(window, TIMER_FADE, FADE_PERIOD_MS, nullptr);
}

// Timer 12: sound and window fade together, then the popup closes.
void onFadeStep(HWND window, AlarmPopup* popup) {
    bool vanished = fadeOutStep(&popup->fadeLevel);
    VoiceSetVolume(popup->voice, float(popup->fadeLevel) / float(FULL_OPACITY));
    setOpacity(window, popup->fadeLevel);
    if (!vanished) return;
    KillTimer(window, TIMER_FADE);
    DestroyWindow(window);
}

void onTimer(HWND window, AlarmPopup* popup, WPARAM id) {
    switch (id) {
    case TIMER_FRAME:
        onFrame(window, popup);
        break;
    case TIMER_START:
        onStartPoll(window, popup);
        break;
    case TIMER_FADE:
        onFadeStep(window, popup);
        break;
    default:
        break;
    }
}

void onPaint(HWND window, AlarmPopup* popup) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    presentSurface(dc, *popup->surface);
    EndPaint(window, &ps);
}

// A click on the symbol snoozes: the alarm is handed over to ring again, and the popup fades
// out as on a right click. One that could not be kept rings on.
void snoozeAlarm(HWND window, AlarmPopup* popup) {
    AlarmEntry alarm = popup->entry;
    alarm.visualMode = VISUAL_SPECTRUM;
    if (popup->snooze.snooze(popup->snooze.context, alarm)) startFadeOut(window, popup);
}

// A click on the symbol snoozes, on the bar seeks there, on the visualizer switches its mode. The
// cursor is read again first: the hover seen at the last paint may be a frame old, and a quick
// move-and-click must act where the click landed.
void onClick(HWND window, AlarmPopup* popup) {
    updateHover(window, popup);
    if (popup->hover.symbol && canSnooze(popup)) {
        snoozeAlarm(window, popup);
        return;
    }
    if (popup->hover.seek) {
        uint64_t position = 0, length = 0, target = 0;
        if (VoiceGetPosition(popup->voice, &position, &length) != SND_OK) return;
        if (seekTargetFrame(popup->hover.seekFraction, length, &target))
            VoiceSeek(popup->voice, target);
        return;
    }
    if (!popup->hover.visual) return;
    popup->entry.visualMode = toggledVisualMode(popup->entry.visualMode);
    updateAnalyzerWindow(popup);
}

// Asks the watch for its rectangle, panel origin and settings. False when no watch answers.
bool queryWatchInfo(HWND window, WatchInfo* info) {
    *info = WatchInfo{};
    HWND owner = GetWindow(window, GW_OWNER);
    if (!owner) return false;
    return SendMessageW(owner, WM_QUERY_WATCH_INFO, 0, reinterpret_cast<LPARAM>(info)) == 1;
}

void onOwnerMoved(HWND window, AlarmPopup* popup) {
    WatchInfo info;
    if (queryWatchInfo(window, &info)) {
        popup->watchRect = info.watchRect;
        popup->panelX = info.panelX;
        popup->panelY = info.panelY;
    }
    RECT current;
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner && GetWindowRect(owner, &current))
        placePopup(window, popup, current);
    else
        placePopup(window, popup, popup->watchRect);
    InvalidateRect(window, nullptr, FALSE);
}

void onSettingsChanged(HWND window, AlarmPopup* popup) {
    WatchInfo info;
    // Without an answer there is no settings record: every setting reads as 0.
    queryWatchInfo(window, &info);
    const WatchSettings* settings = info.settings;
    popup->flags = flagsAfterSettingsChange(popup->flags, settings);
    updateAnalyzerWindow(popup);
    if (popup->flags & POPUP_SOUND_TEST) {
        applyPlayCount(&popup->entry, settings ? settings->playCount : 0);
        applyPlays(popup);
    }
    InvalidateRect(window, nullptr, FALSE);
}

void onDestroy(HWND window, AlarmPopup* popup) {
    attachWindowState(window, nullptr);
    KillTimer(window, TIMER_FRAME);
    // Closing the voice ends the analyzer's tap thread; only then may the analyzer go.
    VoiceClose(popup->voice);
    popup->voice = 0;
    freeSpectrumAnalyzer(popup->analyzer);
    if (popup->region) DeleteObject(popup->region);
    free(popup->peakHold);
    delete popup->surface;
    free(popup);
}

LRESULT onCreate(HWND window, LPARAM lParam) {
    AlarmPopup* popup = attachOnCreate<AlarmPopup>(window, lParam);
    if (!popup) {
        DestroyWindow(window);
        return 0;
    }
    placePopup(window, popup, popup->watchRect);
    if (SetWindowRgn(window, popup->region, FALSE)) popup->region = nullptr;
    SetTimer(window, TIMER_START, START_POLL_MS, nullptr);
    return 0;
}

// Messages of a popup whose state is known.
MessageAnswer dispatch(HWND window, AlarmPopup* popup, UINT message, WPARAM wParam) {
    switch (message) {
    case WM_PAINT:
        onPaint(window, popup);
        return answer(0);
    case WM_TIMER:
        onTimer(window, popup, wParam);
        return answer(0);
    case WM_ERASEBKGND:
    case WM_MOUSEMOVE:
        return answer(1);
    case WM_MOUSEACTIVATE:
        return answer(MA_NOACTIVATE); // clicks act on the popup without taking the focus
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        onClick(window, popup);
        return answer(0);
    case WM_RBUTTONDOWN:
    case WM_OWNER_CLOSING:
        startFadeOut(window, popup);
        return answer(message == WM_OWNER_CLOSING ? 1 : 0);
    case WM_OWNER_MOVED:
        onOwnerMoved(window, popup);
        return answer(1);
    case WM_OWNER_PLACED:
        ShowWindow(window, SW_SHOWNA);
        return answer(1);
    case WM_OWNER_SESSION_END:
        KillTimer(window, TIMER_START);
        KillTimer(window, TIMER_FADE);
        DestroyWindow(window);
        return answer(1);
    case WM_SETTINGS_CHANGED:
        onSettingsChanged(window, popup);
        return answer(1);
    default:
        return NOT_HANDLED;
    }
}

LRESULT CALLBACK popupProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) return onCreate(window, lParam);
    AlarmPopup* popup = stateOf<AlarmPopup>(window);
    if (!popup) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_DESTROY) {
        onDestroy(window, popup);
        return 0;
    }
    MessageAnswer reply = dispatch(window, popup, message, wParam);
    if (reply.handled) return reply.result;
    return DefWindowProcW(window, message, wParam, lParam);
}

// Undoes a failed openAlarmPopup: everything made so far, and the voice it was handed.
AlarmPopup* abandon(AlarmPopup* popup, VoiceHandle voice) {
    if (popup) {
        delete popup->surface;
        if (popup->region) DeleteObject(popup->region);
        free(popup);
    }
    VoiceClose(voice);
    return nullptr;
}

} // namespace

bool registerAlarmPopupClass(HINSTANCE instance) {
    return registerWindowClass(instance, {ALARM_POPUP_CLASS, popupProcedure, CS_DBLCLKS, nullptr});
}

AlarmPopup* openAlarmPopup(HWND watchWindow, const RECT& watchRect, HINSTANCE instance,
                           int32_t panelX, int32_t panelY, const AlarmEntry& entry, uint32_t flags,
                           VoiceHandle voice, PopupSnooze snooze) {
    // The state is plain data; calloc zero-fills it and reports failure as null.
    AlarmPopup* popup = static_cast<AlarmPopup*>(calloc(1, sizeof(AlarmPopup)));
    if (!popup) return abandon(nullptr, voice);
    popup->watchRect = watchRect;
    popup->panelX = panelX;
    popup->panelY = panelY;
    popup->voice = voice;
    popup->flags = flags;
    popup->entry = entry;
    popup->snooze = snooze;
    popup->panelImage = imageSlot(SLOT_PLAYER_PANEL);
    if (entry.symbol < SYMBOL_COUNT)
        popup->symbolImage = imageSlot(SLOT_ALARM_SYMBOL + int(entry.symbol));

    int32_t width = 0, height = 0;
    popup->region = regionFromAlpha(popup->panelImage, nullptr, &width, &height, PANEL_ALPHA_LOW,
                                    PANEL_ALPHA_HIGH);
    if (!popup->region) return abandon(popup, voice);
    popup->surface = new (std::nothrow) CBitMap;
    if (!popup->surface || !popup->surface->create(24, width, height)) return abandon(popup, voice);

    // Created hidden (shown visible, it would be activated) and without layered attributes: it
    // stays unseen until its sound starts.
    HWND window =
        CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, ALARM_POPUP_CLASS, L"",
                        WS_POPUP, 0, 0, width, height, watchWindow, nullptr, instance, popup);
    if (!window) return abandon(popup, voice);
    return popup;
}
