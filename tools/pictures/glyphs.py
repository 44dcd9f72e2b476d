"""Digit, separator, label and mark glyphs: white pixel shapes on pure black.

The watch prints every non-black glyph pixel as solid black, so each glyph is strictly two
levels. Small text uses the fonts' own hinting at its real pixel size (FreeType without
anti-aliasing), which keeps strokes one or two whole pixels wide; the large digits are
drawn from an outline fitted into their cell at eight times the size and cut at half
coverage."""

import cairo
import numpy as np
from PIL import Image, ImageDraw, ImageFont

from raster import Canvas

DEJAVU_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
DEJAVU_CONDENSED_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf"
NOTO_CJK = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"  # face 0 is Japanese


def ink(text, path, size, index=0):
    """Hinted, non-anti-aliased rendering of `text`, cropped to its ink: a bool array."""
    font = ImageFont.truetype(path, size, index=index)
    img = Image.new("L", (size * len(text) * 2 + 8, size * 2 + 8), 0)
    draw = ImageDraw.Draw(img)
    draw.fontmode = "1"
    draw.text((4, 4), text, font=font, fill=255)
    a = np.array(img) > 127
    rows, cols = np.nonzero(a)
    return a[rows.min():rows.max() + 1, cols.min():cols.max() + 1]


def place(cell_w, cell_h, shapes):
    """White picture of cell size with each (bool array, left, bottom row) stamped in."""
    rgb = np.zeros((cell_h, cell_w, 3), np.uint8)
    for shape, left, bottom in shapes:
        h, w = shape.shape
        top = bottom - h + 1
        rgb[top:top + h, left:left + w][shape] = 255
    return rgb


def centred(cell_w, cell_h, shape, bottom):
    return place(cell_w, cell_h, [(shape, (cell_w - shape.shape[1]) // 2, bottom)])


def largest_fitting(text, path, max_w, max_h, sizes, index=0):
    for size in sizes:
        shape = ink(text, path, size, index)
        if shape.shape[1] <= max_w and shape.shape[0] <= max_h:
            return shape
    raise ValueError(f"{text!r} does not fit {max_w}x{max_h}")


def small_digit(d):
    return centred(7, 12, ink(str(d), DEJAVU_BOLD, 11), 10)


def small_slash():
    return centred(7, 12, ink("/", DEJAVU_BOLD, 11), 10)


def small_colon():
    return centred(7, 12, ink(":", DEJAVU_BOLD, 11), 10)


def english_label(text, width):
    shape = largest_fitting(text, DEJAVU_BOLD, width - 2, 10, (11, 10, 9))
    return place(width, 12, [(shape, 1, 10)])


def cjk_mark(ch):
    return centred(14, 12, ink(ch, NOTO_CJK, 12), 11)


def japanese_label(ch):
    """A weekday kanji between round brackets in a 28x12 cell."""
    kanji = ink(ch, NOTO_CJK, 12)
    left = ink("(", NOTO_CJK, 12)
    right = ink(")", NOTO_CJK, 12)
    kx = (28 - kanji.shape[1]) // 2
    return place(28, 12, [(left, kx - 2 - left.shape[1], 11), (kanji, kx, 11),
                          (right, kx + kanji.shape[1] + 2, 11)])


def ampm(text):
    """AM or PM, both at the size that fits the wider one; the ink bottom lines up with the
    large digits' bottom when the mark is printed 12 rows below the time line."""
    size = max(sz for sz in (10, 9, 8, 7)
               if all(ink(t, DEJAVU_CONDENSED_BOLD, sz).shape[1] <= 13 and
                      ink(t, DEJAVU_CONDENSED_BOLD, sz).shape[0] <= 8 for t in ("AM", "PM")))
    return centred(14, 12, ink(text, DEJAVU_CONDENSED_BOLD, size), 8)


def fitted_text(width, height, text, box, bold=True, threshold=0.5):
    """White `text` whose ink exactly fills `box` = (left, top, right, bottom) in pixels."""
    ss = 8
    canvas = Canvas(width, height, ss)
    ctx = canvas.ctx
    ctx.select_font_face("DejaVu Sans", cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(100)
    xb, yb, tw, th, _, _ = ctx.text_extents(text)
    left, top, right, bottom = box
    ctx.translate(left, top)
    ctx.scale((right - left) / tw, (bottom - top) / th)
    ctx.move_to(-xb, -yb)
    ctx.text_path(text)
    ctx.set_source_rgb(1, 1, 1)
    ctx.fill()
    on = canvas.reduced()[..., 3] >= threshold
    rgb = np.zeros((height, width, 3), np.uint8)
    rgb[on] = 255
    return rgb


def large_digit(d):
    return fitted_text(12, 24, str(d), (1.0, 3.0, 11.0, 21.0))


def large_slash():
    return fitted_text(12, 24, "/", (2.0, 3.0, 10.0, 21.0))


def large_colon():
    return fitted_text(6, 24, ":", (1.5, 7.0, 4.5, 21.0))
