#include "watch/alpha_bands.h"

AlphaBand alphaBand(int band) {
    if (band < 0 || band >= ALPHA_BAND_COUNT) return AlphaBand{WATCH_BAND_LOW, WATCH_BAND_HIGH};
    // The bounds step by a third of 116 in single precision and are truncated only when used,
    // so the rounding of the sum decides where each band ends.
    float low = 16.0f;
    for (int i = 0; i < band; ++i)
        low += 38.666668f;
    float high = low + 38.666668f;
    return AlphaBand{static_cast<uint8_t>(low), static_cast<uint8_t>(high)};
}
