"""Hats, ears, wings and hand-held things that set the characters apart."""

import math

from paint import cel, dark, ellipse, hexc, light, limb, line_of
from panels import star

GOLD = hexc("#ffcf4a")


def witch_hat(f, colour, band, tilt=-0.15):
    R, ctx = f.R, f.ctx
    ctx.save()
    ctx.translate(f.X(0), f.Y(-0.85))
    ctx.rotate(tilt)
    ctx.translate(-f.X(0), -f.Y(-0.85))
    f.part(lambda c: ellipse(c, f.X(0), f.Y(-0.85), 1.9 * R, 0.42 * R), colour)

    def cone(c):
        f.move(-0.85, -0.95)
        f.curve((-0.6, -1.6), (-0.3, -2.1), (0.35, -2.55))
        f.curve((0.7, -2.65), (0.95, -2.4), (1.1, -2.5))
        f.curve((0.7, -2.0), (0.6, -1.5), (0.85, -0.95))
        f.curve((0.4, -0.75), (-0.4, -0.75), (-0.85, -0.95))
        c.close_path()
    f.part(cone, colour)

    def ribbon(c):
        f.move(-0.82, -1.02)
        f.curve((-0.4, -0.86), (0.4, -0.86), (0.83, -1.02))
        f.line(0.76, -1.3)
        f.curve((0.4, -1.15), (-0.4, -1.15), (-0.76, -1.3))
        c.close_path()
    f.part(ribbon, band)
    ctx.set_source_rgb(*GOLD)
    star(ctx, f.X(0.35), f.Y(-1.16), 0.16 * R, 0.07 * R)
    ctx.fill()
    ctx.restore()


def cap(f, colour, visor):
    def dome(c):
        f.move(-1.1, -0.35)
        f.curve((-1.15, -1.5), (1.15, -1.5), (1.1, -0.35))
        f.curve((0.5, -0.5), (-0.5, -0.5), (-1.1, -0.35))
        c.close_path()
    f.part(dome, colour)
    f.part(lambda c: ellipse(c, f.X(0.1), f.Y(-0.38), 0.95 * f.R, 0.2 * f.R), visor)
    f.part(lambda c: c.arc(f.X(0), f.Y(-1.22), 0.1 * f.R, 0, 2 * math.pi), visor)


def pirate_hat(f, colour, trim):
    def hat(c):
        f.move(-1.8, -0.75)
        f.curve((-1.3, -0.95), (-1.1, -1.9), (-0.5, -1.85))
        f.curve((-0.2, -2.2), (0.2, -2.2), (0.5, -1.85))
        f.curve((1.1, -1.9), (1.3, -0.95), (1.8, -0.75))
        f.curve((0.8, -0.45), (-0.8, -0.45), (-1.8, -0.75))
        c.close_path()
    f.part(hat, colour)
    f.ctx.set_source_rgb(*trim)
    f.ctx.set_line_width(f.R * 0.08)
    f.move(-1.65, -0.78)
    f.curve((-0.8, -0.55), (0.8, -0.55), (1.65, -0.78))
    f.ctx.stroke()
    skull = hexc("#fffbf0")
    f.part(lambda c: c.arc(f.X(0), f.Y(-1.35), 0.2 * f.R, 0, 2 * math.pi), skull, lw=f.lw * 0.7)
    f.ctx.set_source_rgb(*dark(colour, 0.7))
    for s in (-1, 1):
        f.ctx.arc(f.X(s * 0.08), f.Y(-1.36), 0.05 * f.R, 0, 2 * math.pi)
        f.ctx.fill()


def animal_ears(f, kind, colour, inner):
    for s in (-1, 1):
        if kind == "cat":
            base = [(s * 0.95, -0.55), (s * 0.95, -1.55), (s * 0.25, -1.05)]
            inn = [(s * 0.85, -0.75), (s * 0.88, -1.35), (s * 0.45, -1.0)]
        elif kind == "fox":
            base = [(s * 1.05, -0.5), (s * 1.15, -1.8), (s * 0.2, -1.05)]
            inn = [(s * 0.92, -0.75), (s * 1.02, -1.55), (s * 0.45, -1.05)]
        else:
            base = inn = None
        if base:
            f.part(lambda c, b=base: f.poly(b), colour)
            f.part(lambda c, b=inn: f.poly(b), inner, lw=0)
        elif kind == "bunny":
            def ear(c, s=s):
                f.move(s * 0.35, -0.9)
                f.curve((s * 0.2, -1.8), (s * 0.35, -2.55), (s * 0.65, -2.55))
                f.curve((s * 1.0, -2.5), (s * 0.9, -1.7), (s * 0.75, -0.85))
                c.close_path()
            f.part(ear, colour)

            def inner_ear(c, s=s):
                f.move(s * 0.48, -1.0)
                f.curve((s * 0.38, -1.8), (s * 0.45, -2.35), (s * 0.63, -2.35))
                f.curve((s * 0.82, -2.3), (s * 0.75, -1.7), (s * 0.65, -1.0))
                c.close_path()
            f.part(inner_ear, inner, lw=0)
        elif kind == "elf":
            def ear(c, s=s):
                f.move(s * 0.9, 0.05)
                f.curve((s * 1.3, -0.1), (s * 1.55, -0.35), (s * 1.75, -0.7))
                f.curve((s * 1.45, -0.25), (s * 1.2, 0.45), (s * 0.92, 0.45))
                c.close_path()
            f.part(ear, f.skin)


def halo(f, y=-1.45):
    ctx, R = f.ctx, f.R
    ellipse(ctx, f.X(0), f.Y(y), 0.7 * R, 0.18 * R)
    ctx.set_source_rgb(*dark(GOLD, 0.6))
    ctx.set_line_width(0.16 * R)
    ctx.stroke()
    ellipse(ctx, f.X(0), f.Y(y), 0.7 * R, 0.18 * R)
    ctx.set_source_rgb(*light(GOLD, 0.4))
    ctx.set_line_width(0.09 * R)
    ctx.stroke()


def horns(f, colour):
    for s in (-1, 1):
        def horn(c, s=s):
            f.move(s * 0.45, -0.95)
            f.curve((s * 0.6, -1.4), (s * 1.0, -1.7), (s * 1.35, -1.65))
            f.curve((s * 1.0, -1.45), (s * 0.9, -1.1), (s * 0.85, -0.8))
            c.close_path()
        f.part(horn, colour)


def tiara(f, colour, gem):
    def band(c):
        f.move(-0.7, -0.95)
        for u, v in [(-0.5, -1.2), (-0.3, -1.05), (0, -1.45), (0.3, -1.05), (0.5, -1.2), (0.7, -0.95)]:
            f.line(u, v)
        f.curve((0.3, -1.02), (-0.3, -1.02), (-0.7, -0.95))
        c.close_path()
    f.part(band, colour)
    f.part(lambda c: c.arc(f.X(0), f.Y(-1.15), 0.1 * f.R, 0, 2 * math.pi), gem)


def feather_wings(f, colour, span=2.0, y=None):
    """Two fans of rounded feathers from the shoulder blades: long ones behind, short in front."""
    R, ctx = f.R, f.ctx
    y0 = f.rv(f.sh) + 0.25 if y is None else y
    layers = [(7, span, 0.3, -0.85, 0.55), (6, span * 0.7, 0.28, -0.75, 0.45),
              (5, span * 0.42, 0.26, -0.6, 0.35)]
    for s in (-1, 1):
        rx, ry = f.X(s * 0.3), f.Y(y0)
        for count, length, width, a0, a1 in layers:
            for i in range(count):
                t = i / (count - 1)
                a = a0 + (a1 - a0) * t
                reach = length * (1 - 0.4 * t)
                dx, dy = s * math.cos(a), math.sin(a)
                mx = rx + dx * reach * R * 0.55
                my = ry + dy * reach * R * 0.55

                def feather(c, mx=mx, my=my, a=a, reach=reach):
                    c.save()
                    c.translate(mx, my)
                    c.rotate(a if s > 0 else math.pi - a)
                    c.scale(reach * R * 0.5, width * R)
                    c.arc(0, 0, 1, 0, 2 * math.pi)
                    c.restore()
                cel(ctx, feather, colour, lw=f.lw * 0.9, offset=0.04 * R, shade=0.86)


def bat_wings(f, colour, span=3.0, y=None):
    y0 = f.rv(f.sh) + 0.2 if y is None else y
    for s in (-1, 1):
        def wing(c, s=s):
            f.move(s * 0.3, y0)
            f.curve((s * 1.0, y0 - 1.4), (s * 2.0, y0 - 1.8), (s * span, y0 - 1.5))
            f.curve((s * (span - 0.2), y0 - 0.8), (s * (span - 0.2), y0 - 0.4), (s * (span - 0.1), y0 + 0.1))
            f.curve((s * (span - 0.5), y0 - 0.1), (s * (span - 0.7), y0 + 0.1), (s * (span - 0.85), y0 + 0.4))
            f.curve((s * (span - 1.2), y0 + 0.1), (s * (span - 1.5), y0 + 0.3), (s * (span - 1.6), y0 + 0.65))
            f.curve((s * 1.1, y0 + 0.3), (s * 0.8, y0 + 0.6), (s * 0.3, y0 + 0.6))
            c.close_path()
        f.part(wing, colour)
        f.ctx.set_source_rgba(*line_of(colour), 0.7)
        f.ctx.set_line_width(f.lw)
        for tip in ((span - 0.1, y0 + 0.1), (span - 0.85, y0 + 0.4), (span - 1.6, y0 + 0.65)):
            f.move(s * 0.4, y0 - 0.2)
            f.line(s * tip[0], tip[1])
            f.ctx.stroke()


def butterfly_wings(f, upper, lower, scale=1.0):
    y0 = f.rv(f.sh) + 0.3
    for s in (-1, 1):
        f.part(lambda c, s=s: ellipse(c, f.X(s * 1.15 * scale), f.Y(y0 - 0.75 * scale),
                                      0.95 * f.R * scale, 0.75 * f.R * scale), upper)
        f.part(lambda c, s=s: ellipse(c, f.X(s * 0.9 * scale), f.Y(y0 + 0.55 * scale),
                                      0.6 * f.R * scale, 0.55 * f.R * scale), lower)
        f.part(lambda c, s=s: c.arc(f.X(s * 1.35 * scale), f.Y(y0 - 0.85 * scale),
                                    0.25 * f.R * scale, 0, 2 * math.pi), light(upper, 0.6), lw=0)


def cape(f, colour, lining, span=1.5, length=None):
    y0 = f.rv(f.sh) - 0.05
    y1 = f.rv(f.ground) - 0.1 if length is None else length

    def back(c):
        f.move(-0.55, y0)
        f.curve((-span * 0.8, y0 + 0.8), (-span * 1.1, y1 - 0.6), (-span, y1))
        for i in range(4):
            u = -span + (i + 1) * span * 2 / 4
            f.line(u - span / 4, y1 - 0.25)
            f.line(u, y1)
        f.curve((span * 1.1, y1 - 0.6), (span * 0.8, y0 + 0.8), (0.55, y0))
        c.close_path()
    f.part(back, lining)


def staff(f, top, bottom, colour, width=0.1):
    limb(f.ctx, [f.pt(*top), f.pt(*bottom)], width * f.R, colour, f.lw)


def broom(f, top, bottom, stick, straw):
    staff(f, top, bottom, stick, 0.12)
    bx, by = f.pt(*bottom)
    tx, ty = f.pt(*top)
    ang = math.atan2(by - ty, bx - tx)
    ctx = f.ctx
    ctx.save()
    ctx.translate(bx, by)
    ctx.rotate(ang - math.pi / 2)
    R = f.R

    def bristle(c):
        c.move_to(-0.15 * R, -0.15 * R)
        c.curve_to(-0.5 * R, 0.3 * R, -0.6 * R, 0.8 * R, -0.55 * R, 0.9 * R)
        c.line_to(0.55 * R, 0.9 * R)
        c.curve_to(0.6 * R, 0.8 * R, 0.5 * R, 0.3 * R, 0.15 * R, -0.15 * R)
        c.close_path()
    cel(ctx, bristle, straw, lw=f.lw, offset=0.05 * R)
    ctx.set_source_rgb(*hexc("#c8503c"))
    ctx.rectangle(-0.22 * R, -0.05 * R, 0.44 * R, 0.12 * R)
    ctx.fill()
    ctx.restore()


def star_wand(f, hand, length, colour, star_col):
    hx, hy = hand
    tx, ty = hx + length[0] * f.R, hy + length[1] * f.R
    limb(f.ctx, [(hx, hy + 0.2 * f.R), (tx, ty)], 0.08 * f.R, colour, f.lw)
    cel(f.ctx, lambda c: star(c, tx, ty, 0.32 * f.R, 0.14 * f.R), star_col, lw=f.lw,
        offset=0.04 * f.R)


def sword(f, hand, blade, hilt, tilt=0.0):
    """A sword held upright in `hand`, leaning outward by `tilt` radians."""
    hx, hy = hand
    R = f.R
    ctx = f.ctx
    ctx.save()
    ctx.translate(hx, hy)
    ctx.rotate(tilt)
    ctx.translate(-hx, -hy)

    def edge(c):
        c.move_to(hx - 0.07 * R, hy - 0.2 * R)
        c.line_to(hx - 0.07 * R, hy - 1.9 * R)
        c.line_to(hx, hy - 2.1 * R)
        c.line_to(hx + 0.07 * R, hy - 1.9 * R)
        c.line_to(hx + 0.07 * R, hy - 0.2 * R)
        c.close_path()
    cel(f.ctx, edge, blade, lw=f.lw, offset=0.03 * R)
    cel(f.ctx, lambda c: c.rectangle(hx - 0.3 * R, hy - 0.25 * R, 0.6 * R, 0.1 * R), hilt,
        lw=f.lw, offset=0.02 * R)
    cel(f.ctx, lambda c: c.rectangle(hx - 0.06 * R, hy - 0.15 * R, 0.12 * R, 0.4 * R),
        dark(hilt, 0.6), lw=f.lw, offset=0.0)
    ctx.restore()


def shield(f, cx, cy, size, colour, emblem):
    R = size

    def body(c):
        c.move_to(cx - R, cy - R * 0.9)
        c.curve_to(cx - R * 0.3, cy - R * 1.05, cx + R * 0.3, cy - R * 1.05, cx + R, cy - R * 0.9)
        c.curve_to(cx + R, cy + R * 0.1, cx + R * 0.6, cy + R * 0.8, cx, cy + R * 1.15)
        c.curve_to(cx - R * 0.6, cy + R * 0.8, cx - R, cy + R * 0.1, cx - R, cy - R * 0.9)
        c.close_path()
    cel(f.ctx, body, colour, lw=f.lw * 1.2, offset=0.12 * R)
    cel(f.ctx, lambda c: star(c, cx, cy - 0.05 * R, 0.5 * R, 0.22 * R), emblem, lw=f.lw,
        offset=0.05 * R)


def parasol(f, hand, canopy, trim, radius=1.3, lift=2.3, tilt=0.25):
    hx, hy = hand
    R = f.R
    ctx = f.ctx
    tx, ty = hx + math.sin(tilt) * lift * R, hy - math.cos(tilt) * lift * R
    limb(ctx, [(hx, hy + 0.15 * R), (tx, ty)], 0.07 * R, dark(trim, 0.6), f.lw)
    ctx.save()
    ctx.translate(tx, ty)
    ctx.rotate(tilt)

    def dome(c):
        c.move_to(-radius * R, 0.35 * R)
        c.curve_to(-radius * R, -0.9 * R, radius * R, -0.9 * R, radius * R, 0.35 * R)
        n = 5
        for i in range(n):
            x1 = radius * R - (i + 1) * 2 * radius * R / n
            c.curve_to(x1 + 0.7 * radius * R / n * 2, 0.05 * R, x1 + 0.3 * radius * R / n * 2,
                       0.05 * R, x1, 0.35 * R)
        c.close_path()
    cel(ctx, dome, canopy, lw=f.lw, offset=0.08 * R)
    ctx.set_source_rgba(*line_of(canopy), 0.6)
    ctx.set_line_width(f.lw * 0.8)
    for i in range(1, 5):
        x1 = -radius * R + i * 2 * radius * R / 5
        ctx.move_to(0, -0.55 * R)
        ctx.line_to(x1, 0.35 * R)
        ctx.stroke()
    ctx.set_source_rgb(*trim)
    ctx.set_line_width(0.08 * R)
    ctx.arc(0, -0.6 * R, 0.06 * R, 0, 2 * math.pi)
    ctx.stroke()
    ctx.restore()


def book(f, cx, cy, w, h, cover, pages):
    cel(f.ctx, lambda c: c.rectangle(cx - w / 2, cy - h / 2, w, h), cover, lw=f.lw,
        offset=0.05 * f.R)
    f.ctx.set_source_rgb(*pages)
    f.ctx.rectangle(cx + w / 2 - w * 0.12, cy - h / 2 + h * 0.08, w * 0.1, h * 0.84)
    f.ctx.fill()
    f.ctx.set_source_rgb(*GOLD)
    star(f.ctx, cx - w * 0.05, cy, w * 0.18, w * 0.08)
    f.ctx.fill()


def gohei(f, hand, length=1.6):
    hx, hy = hand
    R = f.R
    tx, ty = hx + 0.35 * R, hy - length * R
    limb(f.ctx, [(hx - 0.05 * R, hy + 0.3 * R), (tx, ty)], 0.08 * R, hexc("#c89050"), f.lw)
    for s in (-1, 1):
        pts = [(tx, ty + 0.05 * R), (tx + s * 0.3 * R, ty + 0.2 * R), (tx + s * 0.1 * R, ty + 0.45 * R),
               (tx + s * 0.4 * R, ty + 0.6 * R), (tx + s * 0.18 * R, ty + 0.85 * R),
               (tx + s * 0.45 * R, ty + 1.0 * R), (tx + s * 0.28 * R, ty + 1.05 * R),
               (tx + s * 0.02 * R, ty + 0.8 * R), (tx + s * 0.22 * R, ty + 0.58 * R),
               (tx, ty + 0.4 * R)]

        def zig(c, pts=pts):
            c.move_to(*pts[0])
            for p in pts[1:]:
                c.line_to(*p)
            c.close_path()
        cel(f.ctx, zig, hexc("#fdfdf6"), lw=f.lw * 0.9, offset=0.03 * R)


def bow_weapon(f, x, top, bottom, wood, string):
    R = f.R
    ctx = f.ctx
    ctx.set_source_rgb(*string)
    ctx.set_line_width(f.lw * 0.7)
    ctx.move_to(x, top)
    ctx.line_to(x, bottom)
    ctx.stroke()
    mid = (top + bottom) / 2
    limb(ctx, [(x, top), (x - 0.9 * R, mid - 0.5 * R), (x - 0.9 * R, mid + 0.5 * R), (x, bottom)],
         0.12 * R, wood, f.lw)


def microphone(f, hand, colour):
    hx, hy = hand
    R = f.R
    limb(f.ctx, [(hx, hy + 0.1 * R), (hx + 0.1 * R, hy - 0.45 * R)], 0.12 * R, hexc("#e8e8f0"), f.lw)
    cel(f.ctx, lambda c: c.arc(hx + 0.12 * R, hy - 0.55 * R, 0.17 * R, 0, 2 * math.pi), colour,
        lw=f.lw, offset=0.04 * R)


def trident(f, hand, colour, length=2.4):
    hx, hy = hand
    R = f.R
    limb(f.ctx, [(hx, hy + 0.9 * R), (hx, hy - length * R)], 0.09 * R, colour, f.lw)
    top = hy - length * R

    def fork(c):
        c.move_to(hx - 0.5 * R, top - 0.6 * R)
        c.curve_to(hx - 0.45 * R, top + 0.05 * R, hx - 0.3 * R, top + 0.15 * R, hx, top + 0.15 * R)
        c.curve_to(hx + 0.3 * R, top + 0.15 * R, hx + 0.45 * R, top + 0.05 * R, hx + 0.5 * R, top - 0.6 * R)
        c.line_to(hx + 0.3 * R, top - 0.15 * R)
        c.line_to(hx + 0.09 * R, top - 0.1 * R)
        c.line_to(hx, top - 0.8 * R)
        c.line_to(hx - 0.09 * R, top - 0.1 * R)
        c.line_to(hx - 0.3 * R, top - 0.15 * R)
        c.close_path()
    cel(f.ctx, fork, colour, lw=f.lw, offset=0.03 * R)


def tray_with_tea(f, hand, silver, cup, width=0.75):
    hx, hy = hand
    R = f.R
    cel(f.ctx, lambda c: ellipse(c, hx, hy - 0.05 * R, width * R, 0.14 * R), silver, lw=f.lw,
        offset=0.03 * R)

    def mug(c):
        c.move_to(hx - 0.25 * R, hy - 0.5 * R)
        c.line_to(hx + 0.25 * R, hy - 0.5 * R)
        c.curve_to(hx + 0.25 * R, hy - 0.1 * R, hx + 0.1 * R, hy - 0.1 * R, hx, hy - 0.1 * R)
        c.curve_to(hx - 0.1 * R, hy - 0.1 * R, hx - 0.25 * R, hy - 0.1 * R, hx - 0.25 * R, hy - 0.5 * R)
        c.close_path()
    cel(f.ctx, mug, cup, lw=f.lw, offset=0.03 * R)
    f.ctx.set_source_rgb(*line_of(cup))
    f.ctx.set_line_width(f.lw)
    f.ctx.arc(hx + 0.3 * R, hy - 0.36 * R, 0.09 * R, -math.pi / 2, math.pi / 2)
    f.ctx.stroke()
    f.ctx.set_source_rgba(1, 1, 1, 0.7)
    for dx in (-0.08, 0.08):
        f.ctx.move_to(hx + dx * R, hy - 0.6 * R)
        f.ctx.curve_to(hx + (dx - 0.08) * R, hy - 0.75 * R, hx + (dx + 0.08) * R, hy - 0.85 * R,
                       hx + dx * R, hy - 1.0 * R)
        f.ctx.stroke()


def folding_fan(f, hand, colour, radius=0.8):
    hx, hy = hand
    R = f.R

    def fan(c):
        c.move_to(hx, hy)
        c.arc(hx, hy, radius * R, -math.pi * 0.85, -math.pi * 0.25)
        c.close_path()
    cel(f.ctx, fan, colour, lw=f.lw, offset=0.05 * R)
    f.ctx.set_source_rgba(*line_of(colour), 0.6)
    f.ctx.set_line_width(f.lw * 0.7)
    for i in range(1, 6):
        a = -math.pi * 0.85 + i * math.pi * 0.6 / 6
        f.ctx.move_to(hx, hy)
        f.ctx.line_to(hx + math.cos(a) * radius * R, hy + math.sin(a) * radius * R)
        f.ctx.stroke()


def scarf_tail(f, colour, side=1, reach=1.9):
    """Two fluttering scarf ends blown out to one side."""
    s = side
    y = f.rv(f.sh)
    for lift, drop in ((-0.35, 0.0), (0.1, 0.3)):
        def tail(c, lift=lift, drop=drop):
            f.move(s * 0.2, y + 0.05)
            f.curve((s * 0.7, y + lift - 0.1), (s * (reach - 0.7), y + lift + 0.35),
                    (s * reach, y + lift + drop))
            f.line(s * (reach - 0.25), y + lift + drop + 0.12)
            f.line(s * (reach - 0.05), y + lift + drop + 0.32)
            f.curve((s * (reach - 0.7), y + lift + 0.6), (s * 0.7, y + lift + 0.25),
                    (s * 0.3, y + 0.4))
            c.close_path()
        f.part(tail, colour)


def telescope(f, hand, colour, trim):
    hx, hy = hand
    R = f.R
    ctx = f.ctx
    ctx.save()
    ctx.translate(hx, hy)
    ctx.rotate(-0.5)
    cel(ctx, lambda c: c.rectangle(-0.2 * R, -0.12 * R, 1.0 * R, 0.24 * R), colour, lw=f.lw,
        offset=0.03 * R)
    cel(ctx, lambda c: c.rectangle(0.75 * R, -0.16 * R, 0.5 * R, 0.32 * R), colour, lw=f.lw,
        offset=0.03 * R)
    cel(ctx, lambda c: c.rectangle(0.7 * R, -0.18 * R, 0.1 * R, 0.36 * R), trim, lw=f.lw,
        offset=0.0)
    ctx.restore()
