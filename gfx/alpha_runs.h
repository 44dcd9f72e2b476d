// Collecting the pixels of a picture that fall into an alpha band as horizontal runs, one
// rectangle per run, handed on in batches. The Windows side turns each batch into a window
// region (region_from_alpha_win32.h); this part is plain computation.
#pragma once

#include "util/geometry.h"

#include <cstdint>

struct BitmapInfoHeader;

// Rectangles per batch: one region call per 512 runs instead of one per run.
constexpr uint32_t ALPHA_RUN_BATCH = 512;

// Receives `count` (1..ALPHA_RUN_BATCH) rectangles, written at the start of the caller's batch
// buffer. Returns false to stop the collection.
using AlphaRunFlush = bool (*)(void* context, const Rect* runs, uint32_t count);

// True when a pixel value 0xAARRGGBB of a picture with `bitCount` bits is inside the band
// low..high (low <= high). 32-bit pixels are judged by alpha, where 0 is never accepted; all
// other depths accept any colour but pure black, whatever the band.
bool alphaBandAccepts(uint32_t bitCount, uint32_t pixel, uint8_t low, uint8_t high);

// Walks the picture row by row from the top (y 0 is the top row whatever the storage order)
// and collects every run of accepted pixels as the rectangle (left, y, right, y + 1); runs never
// cross rows. Runs are written into `batch` (room for ALPHA_RUN_BATCH) and flushed each time it
// is full and once more at the end if any remain. `low` and `high` are swapped when out of
// order. Returns false if `picture` is null or a flush asked to stop.
bool collectAlphaRuns(const BitmapInfoHeader* picture, const void* pixels, uint8_t low,
                      uint8_t high, Rect* batch, AlphaRunFlush flush, void* context);
