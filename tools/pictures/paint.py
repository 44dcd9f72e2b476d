"""Colour arithmetic and the cel-shaded fill used by every character part."""

import colorsys
import math

import cairo


def hexc(s):
    s = s.lstrip("#")
    return tuple(int(s[i:i + 2], 16) / 255 for i in (0, 2, 4))


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def dark(c, f=0.75):
    """Shade of `c`: scaled toward black with a slight violet tilt, as anime shadows are."""
    r, g, b = (x * f for x in c)
    tilt = (1 - f) * 0.18
    return (r, g * (1 - tilt * 0.5), min(1.0, b + tilt * (1 - b) * 0.6))


def light(c, f=0.35):
    h, l, s = colorsys.rgb_to_hls(*c)
    return colorsys.hls_to_rgb(h, l + (1 - l) * f, s)


INK = hexc("#3a2436")


def line_of(c):
    """Outline colour for a fill: a deep, slightly warm version of the same hue."""
    return mix(dark(c, 0.42), INK, 0.35)


def ellipse(ctx, cx, cy, rx, ry, start=0.0, end=2 * math.pi):
    ctx.save()
    ctx.translate(cx, cy)
    ctx.scale(rx, ry)
    ctx.arc(0, 0, 1, start, end)
    ctx.restore()


def cel(ctx, build, base, line=None, lw=1.0, offset=1.5, shade=0.8, gloss=None):
    """Fill the path made by `build` in `base` with a lit top-left and a cel shadow on
    the lower right, then outline it. `gloss` adds a soft sheen stroke inside."""
    ctx.new_path()
    build(ctx)
    path = ctx.copy_path()
    x0, y0, x1, y1 = ctx.fill_extents()
    ctx.save()
    ctx.clip()
    ctx.set_source_rgb(*dark(base, shade))
    ctx.paint()
    ctx.translate(-offset, -offset * 1.2)
    ctx.new_path()
    ctx.append_path(path)
    g = cairo.LinearGradient(x0, y0, x0 + (x1 - x0) * 0.3, y1)
    g.add_color_stop_rgb(0, *light(base, 0.28))
    g.add_color_stop_rgb(0.55, *base)
    g.add_color_stop_rgb(1, *dark(base, 0.94))
    ctx.set_source(g)
    ctx.fill()
    ctx.restore()
    if gloss:
        ctx.save()
        ctx.new_path()
        ctx.append_path(path)
        ctx.clip()
        gloss(ctx)
        ctx.restore()
    if lw > 0:
        ctx.new_path()
        ctx.append_path(path)
        ctx.set_source_rgb(*(line or line_of(base)))
        ctx.set_line_width(lw)
        ctx.stroke()
    ctx.new_path()


def flat(ctx, build, colour, alpha=1.0):
    ctx.new_path()
    build(ctx)
    ctx.set_source_rgba(*colour, alpha)
    ctx.fill()


def limb(ctx, points, width, colour, lw=1.0, line=None):
    """A rounded stroke with an outline: arms, legs, staffs."""
    def trace():
        ctx.new_path()
        ctx.move_to(*points[0])
        if len(points) == 4:
            ctx.curve_to(*points[1], *points[2], *points[3])
        else:
            for p in points[1:]:
                ctx.line_to(*p)
    trace()
    ctx.set_source_rgb(*(line or line_of(colour)))
    ctx.set_line_width(width + 2 * lw)
    ctx.stroke()
    trace()
    ctx.set_source_rgb(*colour)
    ctx.set_line_width(width)
    ctx.stroke()
    ctx.save()
    ctx.translate(-width * 0.2, -width * 0.05)
    trace()
    ctx.set_source_rgba(*light(colour, 0.5), 0.55)
    ctx.set_line_width(width * 0.3)
    ctx.stroke()
    ctx.restore()
    ctx.new_path()
