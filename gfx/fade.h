// Fade arithmetic of the watch and its band windows.
#pragma once

#include <cstdint>

// Opacity of the watch and its band windows from creation until the first fade-in tick: as good
// as invisible, but not 0, since under Wine a layered window made fully transparent before it is
// first shown never gets its later paints onto the screen.
constexpr uint8_t FIRST_OPACITY = 1;
constexpr int32_t FULL_OPACITY = 255;
// Opacity gained per fade-in tick and lost per fade-out tick: the watch appears in 22 ticks and
// vanishes in 16.
constexpr int32_t FADE_IN_STEP = 12;
constexpr int32_t FADE_OUT_STEP = 16;

// One fade-in tick: +FADE_IN_STEP, stopping at FULL_OPACITY. Returns true when the fade is
// complete.
bool fadeInStep(int32_t* level);
// One fade-out tick: -FADE_OUT_STEP, stopping at 0. Returns true when the watch has vanished.
bool fadeOutStep(int32_t* level);
// Opacity of band window `band` (0..5) at watch opacity `level`: the middle of the band's alpha
// range scaled by the fade, so at full fade the soft edge shows 35, 74, 112, 151, 190, 228.
uint8_t bandOpacity(int32_t level, int band);
