#!/usr/bin/python3
"""Draws every picture the program carries and writes them under res/.

Run by hand when the art changes (Debian: python3-cairo, python3-pil, python3-numpy,
fonts-noto-cjk, fonts-dejavu-core, fonts-dejavu-extra); the build only reads what this writes:
  res/*.bmp, res/character_NN.png, res/images.rc and docs/pictures.png."""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "pictures"))

import characters  # noqa: E402
import contact_sheet  # noqa: E402
import resources  # noqa: E402
from raster import Canvas, save_bmp24, save_png_rgba, unpremultiply  # noqa: E402

ROOT = os.path.dirname(HERE)
RES = os.path.join(ROOT, "res")


def character_image(number):
    w, h = characters.TABLE[number][:2]
    canvas = Canvas(w, h, 4)
    characters.draw(number, canvas.ctx)
    return unpremultiply(canvas.reduced())


def write_rc(bitmaps, pngs):
    lines = ["// Pictures of the watch: panels, glyphs, alarm symbols and characters.",
             "// Written by tools/make_pictures.py; file names are relative to res/.", ""]
    for rid, name, _ in bitmaps:
        lines.append(f'{rid} BITMAP "{name}"')
    lines.append("")
    for rid, name, _ in pngs:
        lines.append(f'{rid} PNG "{name}"')
    with open(os.path.join(RES, "images.rc"), "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def main():
    os.makedirs(RES, exist_ok=True)
    pictures = {}
    bitmaps = resources.bitmaps()
    for rid, name, make in bitmaps:
        pic = make()
        save_bmp24(pic, os.path.join(RES, name))
        pictures[rid] = pic
    pngs = resources.pngs()
    for rid, name, number in pngs:
        img = character_image(number)
        save_png_rgba(img, os.path.join(RES, name))
        pictures[rid] = img
    write_rc(bitmaps, pngs)
    contact_sheet.write(pictures, os.path.join(ROOT, "docs", "pictures.png"))


if __name__ == "__main__":
    main()
