"""The two pale panels: the watch panel under the character and the player panel of the
alarm popup. Pure black marks everything outside the rounded shape."""

import math

import cairo

from raster import Canvas, hard_edge

SS = 8


def rounded_rect(ctx, x, y, w, h, r):
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
    ctx.close_path()


def vertical_gradient(y0, y1, top, bottom):
    g = cairo.LinearGradient(0, y0, 0, y1)
    g.add_color_stop_rgb(0, *top)
    g.add_color_stop_rgb(1, *bottom)
    return g


def rgb(r, g, b):
    return (r / 255, g / 255, b / 255)


def framed_body(ctx, w, h, face_top, face_bottom, rim, radius):
    """Rim colour, then a pale face inset by one pixel, then a thin highlight."""
    rounded_rect(ctx, 0, 0, w, h, radius)
    ctx.set_source_rgb(*rim)
    ctx.fill()
    rounded_rect(ctx, 1, 1, w - 2, h - 2, radius - 1)
    ctx.set_source(vertical_gradient(1, h - 1, face_top, face_bottom))
    ctx.fill()
    ctx.set_line_width(1)
    ctx.set_source_rgba(1, 1, 1, 0.9)
    ctx.move_to(radius, 1.5)
    ctx.line_to(w - radius, 1.5)
    ctx.stroke()


def star(ctx, cx, cy, r_out, r_in, points=5, rotate=-math.pi / 2):
    for i in range(points * 2):
        r = r_out if i % 2 == 0 else r_in
        a = rotate + i * math.pi / points
        x, y = cx + r * math.cos(a), cy + r * math.sin(a)
        ctx.line_to(x, y) if i else ctx.move_to(x, y)
    ctx.close_path()


def watch_panel():
    w, h = 149, 51
    c = Canvas(w, h, SS)
    ctx = c.ctx
    framed_body(ctx, w, h, rgb(255, 253, 247), rgb(250, 238, 244), rgb(196, 150, 186), 5)
    # A faint band behind the time line groups the large digits.
    ctx.set_source_rgba(*rgb(255, 214, 232), 0.35)
    rounded_rect(ctx, 8, 21, 104, 28, 4)
    ctx.fill()
    # Small ribbon of dots along the top edge, clear of the date line (rows 6..17).
    for i, x in enumerate(range(14, 136, 8)):
        ctx.set_source_rgb(*(rgb(240, 160, 196) if i % 2 else rgb(170, 186, 240)))
        ctx.arc(x, 3.5, 1.0, 0, 2 * math.pi)
        ctx.fill()
    ctx.set_source_rgb(*rgb(250, 200, 90))
    star(ctx, 143.0, 8.5, 3.6, 1.6)
    ctx.fill()
    return hard_edge(c.reduced())


def player_panel():
    w, h = 280, 51
    c = Canvas(w, h, SS)
    ctx = c.ctx
    framed_body(ctx, w, h, rgb(255, 253, 247), rgb(246, 238, 248), rgb(170, 150, 200), 6)
    # Track under the progress bar (rows 44..45 from the top, columns 6..133).
    rounded_rect(ctx, 4, 42.5, 132, 5, 2.5)
    ctx.set_source_rgb(*rgb(214, 206, 228))
    ctx.fill()
    # Visualizer screen: columns 140..275, rows 1..49; a pale face with a faint grid so that
    # blue-to-magenta bars, cyan hover bars and both trace colours all stand out.
    ctx.rectangle(139, 0.5, 138, 50)
    ctx.set_source_rgb(*rgb(184, 172, 214))
    ctx.fill()
    ctx.rectangle(140, 1, 136, 49)
    ctx.set_source(vertical_gradient(1, 50, rgb(252, 252, 255), rgb(236, 238, 250)))
    ctx.fill()
    ctx.set_line_width(1)
    ctx.set_source_rgb(*rgb(226, 228, 242))
    for y in range(8, 50, 8):
        ctx.move_to(140, h - 2 - y + 0.5)
        ctx.line_to(276, h - 2 - y + 0.5)
    for x in range(140 + 17, 276, 17):
        ctx.move_to(x + 0.5, 1)
        ctx.line_to(x + 0.5, 50)
    ctx.stroke()
    # Centre line of the oscilloscope (row 25 from the bottom).
    ctx.set_source_rgb(*rgb(214, 216, 236))
    ctx.move_to(140, h - 1 - 25 + 0.5)
    ctx.line_to(276, h - 1 - 25 + 0.5)
    ctx.stroke()
    # Rounded corners: clear what the screen frame put outside the shape.
    ctx.set_fill_rule(cairo.FILL_RULE_EVEN_ODD)
    ctx.rectangle(0, 0, w, h)
    rounded_rect(ctx, 0, 0, w, h, 6)
    ctx.set_operator(cairo.OPERATOR_CLEAR)
    ctx.fill()
    return hard_edge(c.reduced())
