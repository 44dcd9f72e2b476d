#!/usr/bin/python3
"""Draws the example character of the README's "characters of your own": a round owl on a
branch, 150 x 150, its outline smoothed into the transparent background.

  tools/make_user_character.py OUT.png

The picture goes into a `chara` folder beside the program, as a user's would; it is not part of
the program. Needs what tools/make_pictures.py needs."""

import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "pictures"))

from paint import cel, ellipse, hexc, light  # noqa: E402
from raster import Canvas, save_png_rgba, unpremultiply  # noqa: E402

WIDTH, HEIGHT = 150, 150


def eye(ctx, x, y, r):
    cel(ctx, lambda c: c.arc(x, y, r, 0, 2 * math.pi), hexc("#fffaf0"), lw=1.2, offset=0.6)
    ctx.set_source_rgb(*hexc("#f2a93b"))
    ctx.arc(x, y + 1, r * 0.62, 0, 2 * math.pi)
    ctx.fill()
    ctx.set_source_rgb(*hexc("#2a1a12"))
    ctx.arc(x, y + 1.5, r * 0.36, 0, 2 * math.pi)
    ctx.fill()
    ctx.set_source_rgb(1, 1, 1)
    ctx.arc(x - r * 0.2, y - r * 0.15, r * 0.13, 0, 2 * math.pi)
    ctx.fill()


def owl(ctx):
    cx, cy = WIDTH / 2, 80
    brown = hexc("#9a6a44")
    cream = hexc("#f6e2bf")
    for s in (-1, 1):  # ear tufts
        cel(ctx, lambda c, s=s: (c.move_to(cx + s * 20, cy - 44), c.line_to(cx + s * 42, cy - 70),
                                 c.line_to(cx + s * 44, cy - 34), c.close_path()),
            brown, lw=1.2, offset=1)
    cel(ctx, lambda c: ellipse(c, cx, cy, 46, 54), brown, lw=1.4, offset=3)
    cel(ctx, lambda c: ellipse(c, cx, cy + 16, 30, 34), cream, lw=1.0, offset=1.5)
    for row in range(3):  # breast feathers
        for k in range(-2 + row % 2, 3):
            x, y = cx + k * 10 + (5 if row % 2 else 0), cy + 8 + row * 11
            ctx.set_source_rgb(*light(brown, 0.25))
            ctx.set_line_width(1.2)
            ctx.arc(x, y, 4, 0.2 * math.pi, 0.8 * math.pi)
            ctx.stroke()
    for s in (-1, 1):  # wings
        cel(ctx, lambda c, s=s: ellipse(c, cx + s * 42, cy + 10, 11, 30), brown, lw=1.2, offset=1.5)
        eye(ctx, cx + s * 18, cy - 22, 14)
    cel(ctx, lambda c: (c.move_to(cx - 6, cy - 12), c.line_to(cx + 6, cy - 12),
                        c.line_to(cx, cy + 1), c.close_path()), hexc("#f2a93b"), lw=1.0, offset=0.5)
    branch = hexc("#6b4a2e")
    cel(ctx, lambda c: (c.rectangle(8, cy + 50, WIDTH - 16, 9)), branch, lw=1.2, offset=1)
    for s in (-1, 1):  # claws over the branch
        for k in (-4, 0, 4):
            cel(ctx, lambda c, s=s, k=k: ellipse(c, cx + s * 16 + k, cy + 51, 2.6, 4.5),
                hexc("#f2a93b"), lw=0.8, offset=0.3)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    canvas = Canvas(WIDTH, HEIGHT, 4)
    owl(canvas.ctx)
    save_png_rgba(unpremultiply(canvas.reduced()), sys.argv[1])


if __name__ == "__main__":
    main()
