// Plain rectangle and point records with the fields of their Windows counterparts, for
// portable code that computes window positions.
#pragma once

#include <cstdint>

struct Rect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

struct Point {
    int32_t x;
    int32_t y;
};
