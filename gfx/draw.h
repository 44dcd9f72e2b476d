// Software drawing into the back buffer of a CBitMap: copying pictures, filled rectangles and
// lines. Pictures are packed DIBs of 1, 4, 8, 24 or 32 bits read through readPixel. There is no
// blending: a picture pixel replaces the surface pixel or is skipped as transparent.
//
// Rows: readPixel and blitImage count y from the top of the picture or surface; fillRect and
// drawLine count y in storage order, which for the program's bottom-up surfaces is from the
// bottom. Colours are 0x00RRGGBB. All of it runs on the user-interface thread only.
#pragma once

#include "util/geometry.h"

#include <cstdint>

struct BitmapInfoHeader;
class CBitMap;

// blitImage flag: skip transparent picture pixels (alpha 0 for 32-bit pictures, pure black for
// all other depths).
constexpr uint32_t BLIT_SKIP_TRANSPARENT = 1;

// The pixel at (x, y) of `picture` as 0xAARRGGBB; 0 outside the picture or for an unknown bit
// count. A null `colourTable` means the entries right after the header; null `pixels` means the
// rows after the header and its colour table. 24-bit pixels read with alpha 255.
uint32_t readPixel(const BitmapInfoHeader* picture, const void* colourTable, const void* pixels,
                   int32_t x, int32_t y);

// Copies `picture` with its top-left corner at (x, y) of `dest`, clipped to the surface. Each
// written colour byte is multiplied by `scale` and truncated; a 32-bit surface also gets the
// picture's alpha byte unchanged.
void blitImage(CBitMap* dest, int32_t x, int32_t y, const BitmapInfoHeader* picture,
               const void* pixels, float scale, uint32_t flags);

// Fills columns min(x0,x1) .. max(x0,x1) - 1 of rows min(y0,y1) .. max(y0,y1) - 1, clipped.
void fillRect(CBitMap* surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour);

// Draws from (x0, y0) toward (x1, y1), clipped to the surface; the end point is not drawn.
void drawLine(CBitMap* surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour);

// Outcode bits of a point against a clip rectangle.
constexpr uint32_t CLIP_LEFT = 1;
constexpr uint32_t CLIP_RIGHT = 2;
constexpr uint32_t CLIP_TOP = 4;
constexpr uint32_t CLIP_BOTTOM = 8;

// Moves the end `p` (outcode `code`) of the line p-q onto the edge of `clip` (inclusive
// bounds). False when the line misses the rectangle.
bool clipLineEnd(const Rect& clip, uint32_t code, Point p, Point q, Point* out);
