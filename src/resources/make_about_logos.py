#!/usr/bin/env python3
"""Draws the two about-box logos and writes them as
src/resources/about-logo-zh.bmp and about-logo-en.bmp, which the dialogs
library compiles in as Qt resources (src/resources/about.qrc).

Each logo is 200 x 73 pixels, stored as an 8-bit (256-colour palette) BMP of
15,678 bytes: a small family-tree emblem and the word "Morvane", with the
vendor's Chinese name under it (Chinese variant) or the web address under it
(English variant).

ImageMagick's `convert` renders and quantises the picture; this script writes
the BMP itself so that the file layout is fixed whatever ImageMagick version
is installed.

Run from anywhere:  python3 src/resources/make_about_logos.py
Needs: ImageMagick 6 or 7 and a CJK font (fonts-wqy-microhei on Debian).
"""

import os
import shutil
import struct
import subprocess
import sys

WIDTH, HEIGHT = 200, 73
HERE = os.path.dirname(os.path.abspath(__file__))
OUTPUTS = (os.path.join(HERE, "about-logo-zh.bmp"), os.path.join(HERE, "about-logo-en.bmp"))

CJK_FONTS = [
    "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc",
    "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf",
    "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc",
]
LATIN_BOLD_FONTS = [
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf",
]

# Colours of the drawing.
PAPER = "#FFFFFF"
LEAF = "#2E8B57"
TRUNK = "#8B5A2B"
INK = "#1F3A60"
CAPTION = "#555555"


def first_existing(paths, what):
    for path in paths:
        if os.path.exists(path):
            return path
    sys.exit("no %s found; looked for: %s" % (what, ", ".join(paths)))


def convert_command():
    for name in ("magick", "convert"):
        if shutil.which(name):
            return [name]
    sys.exit("ImageMagick (magick or convert) is needed")


def render(caption, caption_font, caption_size):
    """Returns the picture as rows of (r, g, b) tuples, top row first."""
    latin = first_existing(LATIN_BOLD_FONTS, "bold Latin font")
    draw = [
        "-size", "%dx%d" % (WIDTH, HEIGHT), "xc:" + PAPER,
        # Frame.
        "-fill", "none", "-stroke", INK, "-strokewidth", "1",
        "-draw", "roundrectangle 1,1 198,71 6,6",
        # Emblem: a trunk that forks into three branches, one leaf each.
        "-stroke", TRUNK, "-strokewidth", "3",
        "-draw", "line 27,44 27,24",
        "-draw", "line 27,30 15,18",
        "-draw", "line 27,30 39,18",
        "-stroke", "none", "-fill", LEAF,
        "-draw", "circle 15,15 15,9",
        "-draw", "circle 27,12 27,6",
        "-draw", "circle 39,15 39,9",
        "-fill", TRUNK, "-draw", "rectangle 17,44 37,47",
        # Word mark.
        "-fill", INK, "-font", latin, "-pointsize", "24",
        "-annotate", "+52+36", "Morvane",
        # Caption under the logo.
        "-fill", CAPTION, "-font", caption_font, "-pointsize", str(caption_size),
        "-gravity", "south", "-annotate", "+0+6", caption,
        "-colors", "256", "-depth", "8",
    ]
    ppm = subprocess.run(convert_command() + draw + ["ppm:-"], check=True,
                         stdout=subprocess.PIPE).stdout
    # Binary PPM: "P6", width, height, maxval, one white-space byte, then RGB.
    fields, pos = [], 0
    while len(fields) < 4:
        while ppm[pos:pos + 1].isspace():
            pos += 1
        if ppm[pos:pos + 1] == b"#":
            pos = ppm.index(b"\n", pos) + 1
            continue
        end = pos
        while not ppm[end:end + 1].isspace():
            end += 1
        fields.append(ppm[pos:end])
        pos = end
    pos += 1
    if fields[0] != b"P6" or int(fields[1]) != WIDTH or int(fields[2]) != HEIGHT:
        sys.exit("unexpected picture from ImageMagick: %r" % fields)
    data = ppm[pos:pos + WIDTH * HEIGHT * 3]
    return [[tuple(data[(y * WIDTH + x) * 3:(y * WIDTH + x) * 3 + 3]) for x in range(WIDTH)]
            for y in range(HEIGHT)]


def bmp8(rows):
    """An uncompressed bottom-up 8-bit BMP with a full 256-entry palette."""
    palette = sorted({pixel for row in rows for pixel in row})
    if len(palette) > 256:
        sys.exit("more than 256 colours after quantisation")
    index = {colour: i for i, colour in enumerate(palette)}
    palette += [(0, 0, 0)] * (256 - len(palette))
    stride = (WIDTH + 3) // 4 * 4
    pixels = bytearray()
    for row in reversed(rows):
        pixels += bytes(index[p] for p in row) + bytes(stride - WIDTH)
    colour_table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    offset = 14 + 40 + len(colour_table)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(pixels), 2835, 2835,
                       256, 0)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + colour_table + bytes(pixels)


def main():
    cjk = first_existing(CJK_FONTS, "CJK font")
    chinese = bmp8(render("Morvane软件", cjk, 14))
    english = bmp8(render("www.morvane.example", cjk, 12))
    for blob in (chinese, english):
        assert len(blob) == 15678, len(blob)
    for path, blob in zip(OUTPUTS, (chinese, english)):
        with open(path, "wb") as out:
            out.write(blob)
        print("wrote", os.path.normpath(path))

if __name__ == "__main__":
    main()
