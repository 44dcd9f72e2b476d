"""The seven alarm symbols, 29x36 on pure black (black is transparent).

Symbols sit 17 pixels below the watch panel's top, so their last two rows would fall
below the panel: every symbol keeps its drawing within rows 0..33."""

import math

import cairo

from raster import Canvas, hard_edge
from panels import star

SS = 8
W, H = 29, 36

NAMES = ["ベル", "おひさま", "おつきさま", "おほしさま", "ハート", "おんぷ", "さくら"]


def rgb(r, g, b):
    return (r / 255, g / 255, b / 255)


def radial(cx, cy, r, inner, outer):
    g = cairo.RadialGradient(cx - r * 0.35, cy - r * 0.4, r * 0.1, cx, cy, r * 1.1)
    g.add_color_stop_rgb(0, *inner)
    g.add_color_stop_rgb(1, *outer)
    return g


def fill_outline(ctx, paint, outline, width=1.3):
    ctx.set_source(paint) if isinstance(paint, cairo.Pattern) else ctx.set_source_rgb(*paint)
    ctx.fill_preserve()
    ctx.set_source_rgb(*outline)
    ctx.set_line_width(width)
    ctx.stroke()


def shine(ctx, x, y, rx, ry):
    ctx.save()
    ctx.translate(x, y)
    ctx.scale(rx, ry)
    ctx.arc(0, 0, 1, 0, 2 * math.pi)
    ctx.restore()
    ctx.set_source_rgba(1, 1, 1, 0.85)
    ctx.fill()


def bell(ctx):
    out = rgb(110, 70, 20)
    ctx.move_to(14.5, 3.5)
    ctx.curve_to(7.5, 3.5, 6.5, 11, 6.2, 17)
    ctx.curve_to(6, 22, 4, 24, 2.5, 26)
    ctx.line_to(26.5, 26)
    ctx.curve_to(25, 24, 23, 22, 22.8, 17)
    ctx.curve_to(22.5, 11, 21.5, 3.5, 14.5, 3.5)
    ctx.close_path()
    fill_outline(ctx, radial(14.5, 15, 13, rgb(255, 240, 150), rgb(230, 160, 30)), out)
    ctx.arc(14.5, 29, 3, 0, 2 * math.pi)
    fill_outline(ctx, radial(14.5, 29, 3, rgb(255, 230, 140), rgb(210, 140, 30)), out)
    ctx.arc(14.5, 2.6, 1.8, 0, 2 * math.pi)
    fill_outline(ctx, rgb(240, 190, 60), out, 1.0)
    ctx.rectangle(5, 22, 19, 2.4)
    ctx.set_source_rgb(*rgb(220, 60, 80))
    ctx.fill()
    shine(ctx, 10.5, 11, 1.6, 3.5)


def sun(ctx):
    cx, cy = 14.5, 16.5
    for i in range(12):
        a = i * math.pi / 6
        ctx.save()
        ctx.translate(cx, cy)
        ctx.rotate(a)
        ctx.move_to(-2.2, -9.5)
        ctx.line_to(0, -14.3)
        ctx.line_to(2.2, -9.5)
        ctx.close_path()
        ctx.restore()
        fill_outline(ctx, rgb(255, 150, 40), rgb(170, 70, 10), 1.0)
    ctx.arc(cx, cy, 9, 0, 2 * math.pi)
    fill_outline(ctx, radial(cx, cy, 9, rgb(255, 245, 150), rgb(255, 170, 40)), rgb(170, 80, 10))
    ctx.set_source_rgb(*rgb(120, 60, 10))
    for ex in (-3.2, 3.2):
        ctx.arc(cx + ex, cy - 1, 1.1, 0, 2 * math.pi)
        ctx.fill()
    ctx.set_line_width(1.1)
    ctx.arc(cx, cy + 1.2, 3, 0.25 * math.pi, 0.75 * math.pi)
    ctx.stroke()
    ctx.set_source_rgba(*rgb(255, 120, 120), 0.8)
    for ex in (-5.5, 5.5):
        ctx.arc(cx + ex, cy + 2.2, 1.3, 0, 2 * math.pi)
        ctx.fill()


def moon(ctx):
    """A crescent: the full disc with a second disc cut out, outlined along both arcs."""
    out = rgb(140, 110, 20)
    ctx.push_group()
    ctx.arc(14.5, 16.5, 12.5, 0, 2 * math.pi)
    ctx.set_source(radial(10, 20, 13, rgb(255, 250, 200), rgb(240, 200, 60)))
    ctx.fill_preserve()
    ctx.set_source_rgb(*out)
    ctx.set_line_width(1.3)
    ctx.stroke()
    ctx.set_operator(cairo.OPERATOR_CLEAR)
    ctx.arc(20.5, 12.5, 10.5, 0, 2 * math.pi)
    ctx.fill()
    ctx.set_operator(cairo.OPERATOR_OVER)
    ctx.save()
    ctx.arc(14.5, 16.5, 12.5, 0, 2 * math.pi)
    ctx.clip()
    ctx.arc(20.5, 12.5, 10.5, 0, 2 * math.pi)
    ctx.set_source_rgb(*out)
    ctx.stroke()
    ctx.restore()
    ctx.pop_group_to_source()
    ctx.paint()
    ctx.set_source_rgb(*rgb(255, 240, 170))
    star(ctx, 23.5, 27.5, 3.2, 1.3, 4)
    ctx.fill()
    ctx.set_source_rgb(*rgb(120, 90, 20))
    ctx.arc(8, 21, 0.9, 0, 2 * math.pi)
    ctx.fill()
    ctx.set_line_width(0.9)
    ctx.move_to(7.2, 14.5)
    ctx.curve_to(7.8, 15.5, 8.8, 15.5, 9.4, 14.5)
    ctx.stroke()


def star_symbol(ctx):
    star(ctx, 14.5, 17.5, 14, 6.2)
    fill_outline(ctx, radial(14.5, 17, 13, rgb(255, 250, 180), rgb(250, 190, 30)),
                 rgb(170, 100, 10))
    star(ctx, 14.5, 17.5, 8.5, 3.8)
    ctx.set_source_rgba(1, 1, 1, 0.35)
    ctx.fill()
    shine(ctx, 11.5, 12.5, 1.2, 2.2)


def heart(ctx):
    ctx.move_to(14.5, 29.5)
    ctx.curve_to(5, 23, 1.5, 17, 1.8, 11.5)
    ctx.curve_to(2, 6.5, 6, 4, 9, 4)
    ctx.curve_to(12, 4, 13.8, 6, 14.5, 8.5)
    ctx.curve_to(15.2, 6, 17, 4, 20, 4)
    ctx.curve_to(23, 4, 27, 6.5, 27.2, 11.5)
    ctx.curve_to(27.5, 17, 24, 23, 14.5, 29.5)
    ctx.close_path()
    fill_outline(ctx, radial(14.5, 15, 14, rgb(255, 170, 200), rgb(230, 40, 100)),
                 rgb(130, 20, 60))
    shine(ctx, 8, 10, 2.2, 2.8)
    ctx.arc(11.5, 14.5, 0.9, 0, 2 * math.pi)
    ctx.fill()


def note(ctx):
    out = rgb(40, 40, 110)
    paint = radial(10, 24, 8, rgb(140, 170, 255), rgb(50, 80, 210))
    ctx.move_to(9.5, 25)
    ctx.line_to(9.5, 7)
    ctx.line_to(25, 3)
    ctx.line_to(25, 21)
    ctx.line_to(22.8, 21)
    ctx.line_to(22.8, 8.5)
    ctx.line_to(11.7, 11.4)
    ctx.line_to(11.7, 25)
    ctx.close_path()
    fill_outline(ctx, paint, out, 1.0)
    for x, y in ((7, 26.5), (20.3, 22.5)):
        ctx.save()
        ctx.translate(x, y)
        ctx.rotate(-0.4)
        ctx.scale(4.6, 3.4)
        ctx.arc(0, 0, 1, 0, 2 * math.pi)
        ctx.restore()
        fill_outline(ctx, paint, out, 1.2)
        shine(ctx, x - 1.6, y - 1, 1.1, 0.8)


def sakura(ctx):
    cx, cy = 14.5, 17
    for i in range(5):
        ctx.save()
        ctx.translate(cx, cy)
        ctx.rotate(i * 2 * math.pi / 5)
        ctx.move_to(0, -1)
        ctx.curve_to(-7.5, -5, -6, -13, -1.8, -13.5)
        ctx.line_to(0, -11.5)
        ctx.line_to(1.8, -13.5)
        ctx.curve_to(6, -13, 7.5, -5, 0, -1)
        ctx.close_path()
        ctx.restore()
        fill_outline(ctx, radial(cx, cy, 13, rgb(255, 245, 250), rgb(250, 150, 190)),
                     rgb(170, 60, 110), 1.1)
    ctx.arc(cx, cy, 3, 0, 2 * math.pi)
    ctx.set_source_rgb(*rgb(250, 200, 70))
    ctx.fill()
    ctx.set_source_rgb(*rgb(200, 60, 110))
    for i in range(5):
        a = -math.pi / 2 + (i + 0.5) * 2 * math.pi / 5
        ctx.arc(cx + 4.4 * math.cos(a), cy + 4.4 * math.sin(a), 0.8, 0, 2 * math.pi)
        ctx.fill()


DRAWERS = [bell, sun, moon, star_symbol, heart, note, sakura]


def symbol(index):
    c = Canvas(W, H, SS)
    DRAWERS[index](c.ctx)
    pic = hard_edge(c.reduced())
    pic[34:] = 0
    return pic
