#include "gfx/fade.h"

bool fadeInStep(int32_t* level) {
    *level += FADE_IN_STEP;
    if (*level < FULL_OPACITY) return false;
    *level = FULL_OPACITY;
    return true;
}

bool fadeOutStep(int32_t* level) {
    *level -= FADE_OUT_STEP;
    if (*level > 0) return false;
    *level = 0;
    return true;
}

uint8_t bandOpacity(int32_t level, int band) {
    // Computed in single precision exactly as the band middles are defined: 16 + 38.666668 * i
    // + 19.333334.
    float middle = 16.0f + 38.666668f * static_cast<float>(band) + 19.333334f;
    float opacity = static_cast<float>(level) / 255.0f * middle;
    return static_cast<uint8_t>(static_cast<int32_t>(opacity));
}
