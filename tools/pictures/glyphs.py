"""Digit, separator, label and mark glyphs: white pixel shapes on pure black.

The watch prints every non-black glyph pixel as solid black, so each glyph is a crisp
two-level picture: the outline of a font is fitted into a box, drawn at eight times the
size and cut at half coverage."""

import cairo
import numpy as np

from raster import Canvas

SS = 8


def fitted_text(width, height, text, box, font="DejaVu Sans", bold=True, threshold=0.5):
    """White `text` whose ink exactly fills `box` = (left, top, right, bottom) in pixels."""
    canvas = Canvas(width, height, SS)
    ctx = canvas.ctx
    ctx.set_source_rgb(0, 0, 0)
    ctx.paint()
    ctx.select_font_face(font, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(100)
    xb, yb, tw, th, _, _ = ctx.text_extents(text)
    left, top, right, bottom = box
    ctx.save()
    ctx.translate(left, top)
    ctx.scale((right - left) / tw, (bottom - top) / th)
    ctx.move_to(-xb, -yb)
    ctx.text_path(text)
    ctx.restore()
    ctx.set_source_rgb(1, 1, 1)
    ctx.fill()
    cover = canvas.reduced()[..., 0]
    on = cover >= threshold
    rgb = np.zeros((height, width, 3), np.uint8)
    rgb[on] = 255
    return rgb


def small_digit(d):
    return fitted_text(7, 12, str(d), (0.6, 1.5, 6.2, 10.5))


def large_digit(d):
    return fitted_text(12, 24, str(d), (1.0, 3.0, 11.0, 21.0))


def small_slash():
    return fitted_text(7, 12, "/", (1.0, 1.5, 6.0, 10.5), bold=False, threshold=0.42)


def small_colon():
    return fitted_text(7, 12, ":", (2.5, 3.5, 4.5, 10.5))


def large_slash():
    return fitted_text(12, 24, "/", (2.0, 3.0, 10.0, 21.0))


def large_colon():
    return fitted_text(6, 24, ":", (1.5, 7.0, 4.5, 21.0))


def english_label(text, width):
    return fitted_text(width, 12, text, (1.0, 1.5, width - 1.5, 10.5), font="DejaVu Sans",
                       bold=True)


JP_FONT = "Noto Sans CJK JP"


def cjk_mark(ch):
    return fitted_text(14, 12, ch, (1.5, 1.0, 12.5, 11.0), font=JP_FONT, threshold=0.45)


def japanese_label(ch):
    """A weekday kanji between round brackets in a 28x12 cell."""
    left = fitted_text(28, 12, "(", (2.0, 0.5, 5.0, 11.5), font=JP_FONT)
    mid = fitted_text(28, 12, ch, (8.0, 1.0, 19.0, 11.0), font=JP_FONT, threshold=0.45)
    right = fitted_text(28, 12, ")", (22.0, 0.5, 25.0, 11.5), font=JP_FONT)
    return np.maximum(np.maximum(left, mid), right)


def ampm(text):
    return fitted_text(14, 12, text, (0.5, 2.5, 13.5, 10.5), font="DejaVu Sans Condensed")
