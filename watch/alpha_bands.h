// The alpha bands that give the watch its soft edge: six band windows show the sprite pixels of
// increasing alpha, each at the opacity of its band's middle, and the watch window itself shows
// the nearly opaque rest.
#pragma once

#include <cstdint>

constexpr int ALPHA_BAND_COUNT = 6;

// The band of the watch window itself.
constexpr uint8_t WATCH_BAND_LOW = 249;
constexpr uint8_t WATCH_BAND_HIGH = 255;

// Inclusive alpha range of one band window.
struct AlphaBand {
    uint8_t low;
    uint8_t high;
};

// Band `band` (0..5): 16..54, 54..93, 93..132, 132..170, 170..209, 209..248. Neighbouring bands
// share their boundary value. Any other number gives the watch window's own band.
AlphaBand alphaBand(int band);
