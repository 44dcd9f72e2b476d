// Window shapes: a GDI region holding exactly the pixels of a picture inside an alpha band.
#pragma once

#include <windows.h>

#include <cstdint>

struct BitmapInfoHeader;

// Builds a region in picture coordinates (origin top-left) from the accepted runs of
// `picture` (see collectAlphaRuns). Null `pixels` means the rows after the header and its
// colour table. `outWidth` and `outHeight`, when given, receive the picture's size. Returns
// null when no pixel is accepted or a region call fails. The caller owns the region until it
// hands it to SetWindowRgn.
HRGN regionFromAlpha(const BitmapInfoHeader* picture, const void* pixels, int32_t* outWidth,
                     int32_t* outHeight, uint8_t low, uint8_t high);
