"""Shared raster helpers: cairo canvases drawn at a multiple of the target size and
reduced to 8-bit pictures, plus writers for the two file formats the program carries."""

import cairo
import numpy as np
from PIL import Image


class Canvas:
    """A cairo surface `ss` times the size of the picture it will become.

    Drawing code works in picture pixels; the context is pre-scaled."""

    def __init__(self, width, height, ss=4):
        self.width = width
        self.height = height
        self.ss = ss
        self.surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, width * ss, height * ss)
        self.ctx = cairo.Context(self.surface)
        self.ctx.scale(ss, ss)
        self.ctx.set_line_join(cairo.LINE_JOIN_ROUND)
        self.ctx.set_line_cap(cairo.LINE_CAP_ROUND)

    def premultiplied(self):
        """Premultiplied float RGBA (0..1) at full resolution, shape (H*ss, W*ss, 4)."""
        self.surface.flush()
        buf = np.ndarray((self.height * self.ss, self.width * self.ss, 4), np.uint8,
                         self.surface.get_data(), strides=(self.surface.get_stride(), 4, 1))
        bgra = buf.astype(np.float64) / 255.0
        return bgra[..., [2, 1, 0, 3]]

    def reduced(self):
        """Box-filtered premultiplied RGBA at picture size (floats 0..1)."""
        p = self.premultiplied()
        s = self.ss
        return p.reshape(self.height, s, self.width, s, 4).mean(axis=(1, 3))


def unpremultiply(pm):
    """Straight 8-bit RGBA from premultiplied floats; colour of edge pixels is kept
    at full strength so semi-transparent outlines show their real colour."""
    alpha = pm[..., 3]
    rgb = np.zeros(pm.shape[:2] + (3,))
    nz = alpha > 0
    rgb[nz] = pm[nz][:, :3] / alpha[nz][:, None]
    out = np.zeros(pm.shape[:2] + (4,), np.uint8)
    out[..., :3] = np.clip(np.rint(rgb * 255), 0, 255)
    out[..., 3] = np.clip(np.rint(alpha * 255), 0, 255)
    out[out[..., 3] == 0] = 0
    return out


def save_png_rgba(rgba, path):
    Image.fromarray(rgba, "RGBA").save(path, optimize=True)


def save_bmp24(rgb, path):
    Image.fromarray(rgb[..., :3].astype(np.uint8), "RGB").save(path)


def hard_edge(pm, threshold=0.5):
    """Opaque-or-absent RGB picture from premultiplied floats: pixels at least
    `threshold` covered keep their straight colour, the rest become pure black."""
    rgba = unpremultiply(pm)
    rgb = rgba[..., :3].copy()
    keep = pm[..., 3] >= threshold
    rgb[~keep] = 0
    # Pure black marks transparency in 24-bit pictures; a kept pixel must never be black.
    black = keep & (rgb.sum(axis=2) == 0)
    rgb[black] = (1, 1, 1)
    return rgb
