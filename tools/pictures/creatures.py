"""The two animal companions: a calico cat lying wide and low, and a round fluffball."""

import math

from paint import INK, cel, dark, ellipse, hexc, light, line_of, mix

BLUSH = hexc("#ff8fa3")


def _eye(ctx, x, y, r, iris):
    ellipse(ctx, x, y, r * 0.8, r)
    ctx.set_source_rgb(*mix(dark(iris, 0.3), INK, 0.5))
    ctx.fill()
    ellipse(ctx, x, y + r * 0.25, r * 0.55, r * 0.6)
    ctx.set_source_rgb(*iris)
    ctx.fill()
    ctx.set_source_rgb(1, 1, 1)
    ctx.arc(x - r * 0.28, y - r * 0.4, r * 0.32, 0, 2 * math.pi)
    ctx.fill()
    ctx.arc(x + r * 0.3, y + r * 0.35, r * 0.14, 0, 2 * math.pi)
    ctx.fill()


def calico_cat(ctx, w, h):
    """Image 17: a cat lying on its belly, head turned to the viewer, tail up."""
    white = hexc("#fffaf2")
    orange = hexc("#f4a04a")
    brown = hexc("#6e4a3a")
    lw = 1.1
    hx, hy, r = 52, 50, 33

    def tail(c):
        c.move_to(126, 84)
        c.curve_to(144, 80, 146, 50, 136, 30)
        c.curve_to(132, 22, 142, 16, 146, 24)
        c.curve_to(154, 48, 150, 92, 124, 98)
        c.close_path()
    cel(ctx, tail, orange, lw=lw, offset=2)

    def body(c):
        c.move_to(40, 96)
        c.curve_to(30, 60, 80, 52, 112, 58)
        c.curve_to(145, 64, 146, 105, 120, 108)
        c.line_to(48, 108)
        c.curve_to(40, 108, 38, 102, 40, 96)
        c.close_path()

    def body_patches(c):
        c.set_source_rgb(*orange)
        ellipse(c, 108, 70, 22, 14)
        c.fill()
        c.set_source_rgb(*brown)
        ellipse(c, 84, 62, 13, 8)
        c.fill()
    cel(ctx, body, white, lw=lw, offset=2.5, gloss=body_patches)
    for px in (58, 82):
        cel(ctx, lambda c, px=px: ellipse(c, px, 104, 10, 6.5), white, lw=lw, offset=1)
        ctx.set_source_rgba(*line_of(white), 0.8)
        ctx.set_line_width(0.8)
        for d in (-3, 3):
            ctx.move_to(px + d, 106)
            ctx.line_to(px + d, 109)
            ctx.stroke()
    for s in (-1, 1):
        ear = [(hx + s * 30, hy - 8), (hx + s * 27, hy - 40), (hx + s * 6, hy - 28)]

        def earp(c, ear=ear):
            c.move_to(*ear[0])
            c.line_to(*ear[1])
            c.line_to(*ear[2])
            c.close_path()
        cel(ctx, earp, orange if s < 0 else brown, lw=lw, offset=1)
        inner = [(hx + s * 26, hy - 12), (hx + s * 25, hy - 33), (hx + s * 11, hy - 25)]

        def innp(c, inner=inner):
            c.move_to(*inner[0])
            c.line_to(*inner[1])
            c.line_to(*inner[2])
            c.close_path()
        cel(ctx, innp, hexc("#ffc0c8"), lw=0, offset=0.5)

    def head(c):
        ellipse(c, hx, hy, r + 3, r - 2)

    def head_patches(c):
        c.set_source_rgb(*orange)
        ellipse(c, hx - 24, hy - 22, 20, 18)
        c.fill()
        c.set_source_rgb(*brown)
        ellipse(c, hx + 26, hy - 24, 18, 17)
        c.fill()
    cel(ctx, head, white, lw=lw, offset=2, gloss=head_patches)
    for s in (-1, 1):
        _eye(ctx, hx + s * 13, hy + 2, 7.5, hexc("#4fb37a"))
    ctx.set_source_rgba(*BLUSH, 0.5)
    for s in (-1, 1):
        ellipse(ctx, hx + s * 23, hy + 12, 5, 2.6)
        ctx.fill()
    ctx.set_source_rgb(*hexc("#e87a8a"))
    ctx.move_to(hx - 2.2, hy + 10)
    ctx.line_to(hx + 2.2, hy + 10)
    ctx.line_to(hx, hy + 12.2)
    ctx.close_path()
    ctx.fill()
    ctx.set_source_rgb(*hexc("#7a3a44"))
    ctx.set_line_width(1.0)
    for s in (-1, 1):
        ctx.arc(hx + s * 3, hy + 12.5, 3, 0.15 * math.pi, 0.85 * math.pi)
        ctx.stroke()
    ctx.set_source_rgba(*line_of(white), 0.7)
    ctx.set_line_width(0.7)
    for s in (-1, 1):
        for dy in (-2, 2):
            ctx.move_to(hx + s * 20, hy + 13 + dy)
            ctx.line_to(hx + s * 34, hy + 11 + dy * 2.2)
            ctx.stroke()
    # Red collar with a golden bell.
    ctx.set_source_rgb(*hexc("#d8344a"))
    ctx.set_line_width(4)
    ctx.move_to(hx - 22, hy + 27)
    ctx.curve_to(hx - 10, hy + 33, hx + 10, hy + 33, hx + 22, hy + 27)
    ctx.stroke()
    cel(ctx, lambda c: c.arc(hx, hy + 35, 5, 0, 2 * math.pi), hexc("#ffcf4a"), lw=lw, offset=0.8)
    ctx.set_source_rgb(*line_of(hexc("#ffcf4a")))
    ctx.set_line_width(0.8)
    ctx.move_to(hx, hy + 36)
    ctx.line_to(hx, hy + 39.5)
    ctx.stroke()


def fluffball(ctx, w, h):
    """Image 26: a round, hamster-like puff holding a strawberry."""
    cream = hexc("#fff4e0")
    fawn = hexc("#f2b872")
    cx, cy, r = 76, 82, 62
    lw = 1.2
    for s in (-1, 1):
        cel(ctx, lambda c, s=s: c.arc(cx + s * 38, cy - 52, 14, 0, 2 * math.pi), fawn, lw=lw,
            offset=1.5)
        cel(ctx, lambda c, s=s: c.arc(cx + s * 38, cy - 51, 8, 0, 2 * math.pi),
            hexc("#ffc4c8"), lw=0, offset=0.5)

    def fluff(c, rad, n=22):
        for i in range(n + 1):
            a = -math.pi / 2 + i * 2 * math.pi / n
            a1 = a + math.pi / n
            x1, y1 = cx + rad * math.cos(a1), cy + rad * math.sin(a1) * 0.93
            x2, y2 = cx + rad * math.cos(a + 2 * math.pi / n), cy + rad * math.sin(a + 2 * math.pi / n) * 0.93
            if i == 0:
                c.move_to(cx + rad * math.cos(a), cy + rad * math.sin(a) * 0.93)
            if i < n:
                c.curve_to(x1 + 5 * math.cos(a1), y1 + 5 * math.sin(a1), x1 + 5 * math.cos(a1),
                           y1 + 5 * math.sin(a1), x2, y2)
        c.close_path()

    def cap(c):
        c.set_source_rgb(*fawn)
        ellipse(c, cx, cy - 50, 64, 40)
        c.fill()
        for s in (-1, 1):
            ellipse(c, cx + s * 62, cy - 5, 20, 30)
            c.fill()
    cel(ctx, lambda c: fluff(c, r - 4), cream, lw=lw, offset=3, gloss=cap)
    for s in (-1, 1):
        _eye(ctx, cx + s * 20, cy - 8, 9, hexc("#6a4a3a"))
    ctx.set_source_rgba(*BLUSH, 0.55)
    for s in (-1, 1):
        ellipse(ctx, cx + s * 34, cy + 8, 8, 4.5)
        ctx.fill()
    ctx.set_source_rgb(*hexc("#7a3a44"))
    ctx.set_line_width(1.2)
    for s in (-1, 1):
        ctx.arc(cx + s * 3.2, cy + 4, 3.2, 0.15 * math.pi, 0.85 * math.pi)
        ctx.stroke()
    ctx.set_source_rgb(*hexc("#e88a9a"))
    ellipse(ctx, cx, cy + 1.5, 2.6, 1.8)
    ctx.fill()
    # Strawberry held between two paws.
    berry = hexc("#f0455a")

    def straw(c):
        c.move_to(cx - 11, cy + 22)
        c.curve_to(cx - 12, cy + 36, cx - 4, cy + 44, cx, cy + 46)
        c.curve_to(cx + 4, cy + 44, cx + 12, cy + 36, cx + 11, cy + 22)
        c.curve_to(cx + 6, cy + 18, cx - 6, cy + 18, cx - 11, cy + 22)
        c.close_path()
    cel(ctx, straw, berry, lw=lw, offset=1.5)
    ctx.set_source_rgb(*light(berry, 0.7))
    for dx, dy in ((-5, 28), (4, 27), (0, 34), (-4, 39), (5, 36)):
        ellipse(ctx, cx + dx, cy + dy, 0.9, 1.3)
        ctx.fill()
    leaf = hexc("#5cc060")
    for dx in (-6, 0, 6):
        cel(ctx, lambda c, dx=dx: ellipse(c, cx + dx, cy + 20, 4, 2.4), leaf, lw=0.8, offset=0.3)
    for s in (-1, 1):
        cel(ctx, lambda c, s=s: ellipse(c, cx + s * 13, cy + 31, 6.5, 5.5), fawn, lw=lw, offset=0.8)
        cel(ctx, lambda c, s=s: ellipse(c, cx + s * 26, cy + 61, 11, 6.5), fawn, lw=lw, offset=0.8)
