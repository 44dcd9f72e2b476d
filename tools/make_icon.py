#!/usr/bin/python3
"""Draws the program icon (res/vesk.ico): a round clock face with two small ears, hands at
ten past ten. Run by hand when the art changes; needs python3-pil."""
import math
import os

from PIL import Image, ImageDraw

SCALE = 4  # drawn large and scaled down for smooth edges


def draw(size):
    s = size * SCALE
    img = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    ink = (74, 52, 92, 255)
    face = (255, 244, 248, 255)
    rim = (240, 128, 160, 255)
    c = s / 2
    r = s * 0.40
    ear = s * 0.17
    for side in (-1, 1):
        x = c + side * r * 0.62
        d.polygon([(x - ear, c - r * 0.55), (x + side * ear * 0.4, c - r - ear * 0.9),
                   (x + ear, c - r * 0.55)], fill=rim, outline=ink)
    d.ellipse([c - r, c - r + s * 0.05, c + r, c + r + s * 0.05], fill=rim, outline=ink,
              width=max(1, s // 40))
    inner = r * 0.80
    cy = c + s * 0.05
    d.ellipse([c - inner, cy - inner, c + inner, cy + inner], fill=face)
    for hour in range(12):
        a = math.radians(hour * 30)
        x, y = c + math.sin(a) * inner * 0.82, cy - math.cos(a) * inner * 0.82
        dot = s * 0.022
        d.ellipse([x - dot, y - dot, x + dot, y + dot], fill=ink)
    for angle, length, width in ((-60, 0.45, 0.07), (60, 0.68, 0.045)):
        a = math.radians(angle)
        d.line([(c, cy), (c + math.sin(a) * inner * length, cy - math.cos(a) * inner * length)],
               fill=ink, width=max(1, int(s * width)))
    hub = s * 0.04
    d.ellipse([c - hub, cy - hub, c + hub, cy + hub], fill=rim)
    return img.resize((size, size), Image.LANCZOS)


def main():
    out = os.path.join(os.path.dirname(__file__), "..", "res", "vesk.ico")
    big = draw(256)
    big.save(out, sizes=[(16, 16), (24, 24), (32, 32), (48, 48), (256, 256)],
             append_images=[draw(n) for n in (16, 24, 32, 48)])
    draw(128).save(os.path.join(os.path.dirname(__file__), "..", "docs", "icon.png"))


if __name__ == "__main__":
    main()
