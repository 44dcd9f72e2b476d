#include "player/popup_options.h"

#include "settings/settings.h"

uint32_t popupPlayerOptions(const WatchSettings* settings) {
    if (!settings) return 0;
    uint32_t options = 0;
    if (settings->playerTime != 0) options |= POPUP_REMAINING_TIME;
    if (settings->hammingWindow != 0) options |= POPUP_HAMMING;
    if (settings->peak != 0) options |= POPUP_PEAK;
    if (settings->smooth != 0) options |= POPUP_SMOOTH;
    return options;
}

uint32_t alarmPopupOptions(const WatchSettings* settings) {
    if (!settings) return 0;
    uint32_t options = popupPlayerOptions(settings);
    if (settings->timeFormat == 1) options |= POPUP_12_HOUR;
    if (settings->timeFormat == 2) options |= POPUP_12_HOUR | POPUP_HOURS_FROM_ZERO;
    return options;
}

uint32_t soundTestPopupOptions(const WatchSettings* settings) {
    return POPUP_SOUND_TEST | popupPlayerOptions(settings);
}
