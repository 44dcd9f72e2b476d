// Lines: clipping both ends to the surface, then an integer error walk that stops before the
// end point.
#include "gfx/draw.h"

#include "gfx/bitmap.h"

#include <cstdlib>

namespace {

uint32_t outcode(const Rect& clip, Point p) {
    uint32_t code = 0;
    if (p.x < clip.left) code |= CLIP_LEFT;
    if (p.x > clip.right) code |= CLIP_RIGHT;
    if (p.y < clip.top) code |= CLIP_TOP;
    if (p.y > clip.bottom) code |= CLIP_BOTTOM;
    return code;
}

// The point of p-q at x = edgeX, if it lies within the rectangle's rows.
bool pointAtX(const Rect& clip, Point p, Point q, int32_t edgeX, Point* out) {
    int64_t dx = int64_t(q.x) - p.x;
    if (dx == 0) return false;
    int64_t y = p.y + (int64_t(q.y) - p.y) * (int64_t(edgeX) - p.x) / dx;
    if (y < clip.top || y > clip.bottom) return false;
    *out = Point{edgeX, int32_t(y)};
    return true;
}

// The point of p-q at y = edgeY, if it lies within the rectangle's columns.
bool pointAtY(const Rect& clip, Point p, Point q, int32_t edgeY, Point* out) {
    int64_t dy = int64_t(q.y) - p.y;
    if (dy == 0) return false;
    int64_t x = p.x + (int64_t(edgeY) - p.y) * (int64_t(q.x) - p.x) / dy;
    if (x < clip.left || x > clip.right) return false;
    *out = Point{int32_t(x), edgeY};
    return true;
}

void writePixel(CBitMap* surface, int32_t x, int32_t y, uint32_t colour) {
    uint8_t* out =
        surface->backBuffer() + size_t(y) * surface->stride + size_t(x) * surface->bytesPerPixel;
    out[0] = uint8_t(colour);
    out[1] = uint8_t(colour >> 8);
    out[2] = uint8_t(colour >> 16);
}

// Walks from `from` toward `to` along the longer axis, stepping the shorter one whenever the
// error runs out; `to` itself is not drawn.
void walkLine(CBitMap* surface, Point from, Point to, uint32_t colour) {
    int32_t adx = std::abs(to.x - from.x);
    int32_t ady = std::abs(to.y - from.y);
    int32_t sx = to.x > from.x ? 1 : -1;
    int32_t sy = to.y > from.y ? 1 : -1;
    bool majorY = adx < ady;
    int32_t n = majorY ? ady : adx;
    int32_t m = majorY ? adx : ady;
    int32_t error = n;
    Point p = from;
    for (int32_t i = 0; i < n; ++i) {
        writePixel(surface, p.x, p.y, colour);
        if (majorY) {
            p.y += sy;
        } else {
            p.x += sx;
        }
        error -= m;
        if (error < 0) {
            if (majorY) {
                p.x += sx;
            } else {
                p.y += sy;
            }
            error += n;
        }
    }
}

} // namespace

bool clipLineEnd(const Rect& clip, uint32_t code, Point p, Point q, Point* out) {
    if ((code & CLIP_LEFT) && pointAtX(clip, p, q, clip.left, out)) return true;
    if ((code & CLIP_RIGHT) && pointAtX(clip, p, q, clip.right, out)) return true;
    if ((code & CLIP_TOP) && pointAtY(clip, p, q, clip.top, out)) return true;
    if ((code & CLIP_BOTTOM) && pointAtY(clip, p, q, clip.bottom, out)) return true;
    return false;
}

void drawLine(CBitMap* surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
    if (!surface || surface->empty()) return;
    Rect clip = {0, 0, surface->width() - 1, surface->height() - 1};
    Point a = {x0, y0};
    Point b = {x1, y1};
    uint32_t codeA = outcode(clip, a);
    uint32_t codeB = outcode(clip, b);
    if (codeA & codeB) return;
    if (codeA != 0 && !clipLineEnd(clip, codeA, a, b, &a)) return;
    if (codeB != 0 && !clipLineEnd(clip, codeB, b, a, &b)) return;
    walkLine(surface, a, b, colour);
}
