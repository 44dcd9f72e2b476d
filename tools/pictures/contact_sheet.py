"""docs/pictures.png: every picture, and the sprite of every CharacterTable row composed
and faced the way the watch does it, at 1:1 and 2:1."""

import numpy as np
from PIL import Image, ImageDraw, ImageFont

import resources

# companionImage, companionLeft, mainImage, mainX, panelDrop
CHARACTER_TABLE = [
    (0, 0, 0, 0, 0), (0, 0, 17, 0, 40), (0, 0, 1, 0, 0), (0, 0, 2, 0, 0), (0, 0, 4, 0, 0),
    (0, 0, 3, 0, 0), (0, 0, 9, 0, 0), (0, 0, 10, 0, 0), (0, 0, 11, 0, 0), (0, 0, 12, 0, 0),
    (12, 0, 11, 0, 0), (0, 0, 5, 0, 0), (0, 0, 6, 0, 0), (0, 0, 8, 0, 0), (0, 0, 7, 0, 0),
    (0, 0, 13, 0, 0), (0, 0, 14, 0, 0), (0, 0, 15, 0, 0), (0, 0, 16, 0, 0), (15, 0, 16, 0, 0),
    (0, 0, 18, 0, 0), (18, 0, 1, 0, 0), (0, 0, 19, 0, 0), (0, 0, 20, 0, 0), (0, 0, 21, 0, 25),
    (0, 0, 26, 0, 20), (0, 0, 22, 0, 50), (0, 0, 23, 0, 50), (24, 4, 0, 0, 50),
    (0, 0, 25, 0, 50),
]

BACKGROUND = (206, 216, 230)
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"


def as_rgba(pic):
    """24-bit pictures become RGBA with pure black transparent, as blitted with skip set."""
    if pic.shape[2] == 4:
        return pic
    alpha = np.where(pic.sum(axis=2) > 0, 255, 0).astype(np.uint8)
    return np.dstack([pic, alpha])


def blit(dst, pic, x, y):
    """Copy non-transparent pixels (alpha byte kept), clipped to the destination."""
    src = as_rgba(pic)
    h, w = src.shape[:2]
    H, W = dst.shape[:2]
    x0, y0, x1, y1 = max(x, 0), max(y, 0), min(x + w, W), min(y + h, H)
    if x0 >= x1 or y0 >= y1:
        return
    part = src[y0 - y:y1 - y, x0 - x:x1 - x]
    keep = part[..., 3] > 0
    dst[y0:y1, x0:x1][keep] = part[keep]


def compose(pictures, row):
    comp_n, comp_left, main_n, main_x, drop = CHARACTER_TABLE[row]
    panel = pictures[101]
    png_id = {n: rid for rid, _, n in resources.pngs()}
    comp = pictures[png_id[comp_n]] if comp_n else None
    main = pictures[png_id[main_n]] if main_n else None
    hp, wp = panel.shape[:2]
    hc, wc = comp.shape[:2] if comp is not None else (0, 0)
    hm, wm = main.shape[:2] if main is not None else (0, 0)
    s = wc + wm
    width, panel_x = (wp, 0) if wp > s else (s, s - wp)
    if main_x and width < main_x + wm:
        width, panel_x = main_x + wm, 0
    if comp is not None and main is not None:
        cx = wp - wm - wc if wp > s else 0
        mxo = wp - wm if wp > s else wc
        cy, my = (hm - hc, 0) if hm >= hc else (0, hc - hm)
        panel_x >>= 1
    else:
        cx = 0 if comp_left else (width >> 1) - (wc >> 1)
        mxo = 0 if main_x else (width >> 1) - (wm >> 1)
        cy = my = 0
    t = max(hc, hm) + drop
    height, panel_y = (hp, 0) if hp > t else (t, t - hp)
    sprite = np.zeros((height, width, 4), np.uint8)
    if comp is not None:
        blit(sprite, comp, cx, cy)
    if main is not None:
        blit(sprite, main, main_x + mxo, my)
    blit(sprite, panel, panel_x, panel_y)
    return sprite, panel_x, panel_y


def print_glyph(surface, pic, x, y):
    """Glyphs print as black silhouettes of their non-black pixels."""
    h, w = pic.shape[:2]
    mask = pic.sum(axis=2) > 0
    H, W = surface.shape[:2]
    for gy, gx in zip(*np.nonzero(mask)):
        if 0 <= y + gy < H and 0 <= x + gx < W:
            surface[y + gy, x + gx, :3] = 0
    return w


def face(pictures, sprite, panel_x, panel_y, symbol):
    """The face for 7 December 2026, 09:05:03, date format 0, with an alarm symbol."""
    ids = {name: rid for rid, name, _ in resources.bitmaps()}

    def g(name):
        return pictures[ids[name]]
    x, y = panel_x + 6, panel_y + 6
    for d in "2026":
        x += print_glyph(sprite, g(f"digit_small_{d}.bmp"), x, y)
    x += print_glyph(sprite, g("mark_year.bmp"), x, y)
    x += print_glyph(sprite, g("digit_small_1.bmp"), x, y)
    x += print_glyph(sprite, g("digit_small_2.bmp"), x, y)
    x += print_glyph(sprite, g("mark_month.bmp"), x, y)
    x += g("digit_small_0.bmp").shape[1]
    x += print_glyph(sprite, g("digit_small_7.bmp"), x, y)
    x += print_glyph(sprite, g("mark_day.bmp"), x, y) + 5
    print_glyph(sprite, g("week_ja_mon.bmp"), x, y)
    x, y = panel_x + 12, panel_y + 23
    x += g("digit_large_0.bmp").shape[1]
    for name in ("digit_large_9", "colon_large", "digit_large_0", "digit_large_5", "colon_large",
                 "digit_large_0", "digit_large_3"):
        x += print_glyph(sprite, g(name + ".bmp"), x, y)
    blit(sprite, g(f"symbol_{symbol}.bmp"), panel_x + 115, panel_y + 17)


def fill_from_bottom(surface, x0, y0, x1, y1, colour):
    """Half-open rectangle with rows counted from the bottom edge, as the popup fills."""
    h = surface.shape[0]
    surface[h - y1:h - y0, x0:x1, :3] = colour


def player_preview(pictures, oscilloscope):
    """The popup as it plays: symbol, elapsed time 1:02:03, progress bar and visualizer."""
    ids = {name: rid for rid, name, _ in resources.bitmaps()}
    panel = pictures[157]
    surface = as_rgba(panel).copy()
    w, h = panel.shape[1], panel.shape[0]
    blit(surface, pictures[ids["symbol_5.bmp"]], 4, 10)
    x = 38 + pictures[ids["digit_large_0.bmp"]].shape[1]
    for name in ("digit_large_1", "colon_large", "digit_large_0", "digit_large_2", "colon_large",
                 "digit_large_0", "digit_large_3"):
        x += print_glyph(surface, pictures[ids[name + ".bmp"]], x, 15)
    length = w // 2 - 12
    b = int(0.4 * length) + 6
    fill_from_bottom(surface, 6, 5, b, 7, (0xF0, 0x28, 0xC8))
    fill_from_bottom(surface, b, 5, length + 6, 7, (0x32, 0x32, 0x32))
    origin, columns = w // 2, w // 2 - 4
    if oscilloscope:
        prev = None
        for i in range(columns):
            v = 0.7 * np.sin(i * 0.21) * np.cos(i * 0.047)
            y = 2 - int(v * 47 * 0.5 - 23.5)
            if prev is not None:
                lo, hi = sorted((prev, y))
                surface[h - 1 - hi:h - lo, origin + i, :3] = (0xFF, 0x32, 0xC8)
            prev = y
    else:
        for g in range(columns // 5):
            o = max(0.0, 0.95 - g * 0.03 - 0.25 * abs(np.sin(g * 1.3)))
            level = int(o * 255)
            x0 = origin + g * 5 + 1
            fill_from_bottom(surface, x0, 2, x0 + 4, 2 + int(47 * o), (level, 10, 200))
            peak = min(1.0, o + 0.08)
            fill_from_bottom(surface, x0, 2 + int(47 * peak), x0 + 4, 3 + int(47 * peak),
                             (level, 10, 200))
    return surface


def on_background(rgba, scale):
    """Show a picture as the layered windows do: alpha below 16 is not shown."""
    a = rgba[..., 3:4].astype(np.float64) / 255
    a[a < 16 / 255] = 0
    bg = np.zeros(rgba.shape[:2] + (3,)) + BACKGROUND
    out = (rgba[..., :3] * a + bg * (1 - a)).astype(np.uint8)
    img = Image.fromarray(out, "RGB")
    if scale != 1:
        img = img.resize((img.width * scale, img.height * scale), Image.NEAREST)
    return img


class Flow:
    """Left-to-right, top-to-bottom placement of labelled tiles."""

    def __init__(self, width):
        self.width = width
        self.items = []
        self.x = self.y = self.row_h = 0

    def add(self, img, label=""):
        if self.x + img.width > self.width and self.x > 0:
            self.x, self.y, self.row_h = 0, self.y + self.row_h + 6, 0
        self.items.append((img, label, self.x, self.y))
        self.x += img.width + 8
        self.row_h = max(self.row_h, img.height + 14)

    def height(self):
        return self.y + self.row_h + 6

    def paste(self, sheet, top, draw, font):
        for img, label, x, y in self.items:
            sheet.paste(img, (x + 8, top + y))
            if label:
                draw.text((x + 8, top + y + img.height + 1), label, fill=(40, 40, 60), font=font)


def write(pictures, path):
    width = 1800
    font = ImageFont.truetype(FONT, 10)
    title_font = ImageFont.truetype(FONT, 16)
    sections = []
    for scale in (1, 2):
        flow = Flow(width - 16)
        for rid, name, _ in resources.bitmaps():
            pic = pictures[rid]
            img = Image.fromarray(pic, "RGB")
            if scale != 1:
                img = img.resize((img.width * scale, img.height * scale), Image.NEAREST)
            flow.add(img, str(rid) if scale == 2 or pic.shape[1] > 20 else "")
        for rid, name, number in resources.pngs():
            flow.add(on_background(pictures[rid], scale), f"{number} ({rid})")
        sections.append((f"Pictures {scale}:1", flow))
    for scale in (1, 2):
        flow = Flow(width - 16)
        for row in range(len(CHARACTER_TABLE)):
            sprite, px, py = compose(pictures, row)
            face(pictures, sprite, px, py, row % 7)
            flow.add(on_background(sprite, scale), f"row {row}")
        for osc in (False, True):
            flow.add(on_background(player_preview(pictures, osc), scale),
                     "player: oscilloscope" if osc else "player: spectrum")
        sections.append((f"Composed sprites {scale}:1", flow))
    total = sum(f.height() + 30 for _, f in sections)
    sheet = Image.new("RGB", (width, total), BACKGROUND)
    draw = ImageDraw.Draw(sheet)
    top = 0
    for title, flow in sections:
        draw.text((8, top + 6), title, fill=(30, 30, 50), font=title_font)
        flow.paste(sheet, top + 30, draw, font)
        top += flow.height() + 30
    sheet.save(path, optimize=True)
