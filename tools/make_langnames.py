#!/usr/bin/env python3
"""Draws the language-name strip MLS_LANGNAMES: 20 pictures of 60 by 13 pixels side by side
(1200 by 13), 16 colours, magenta where the menu shows through. Picture i shows language i's
own name for itself, so that a user finds his language even when the menu's code page cannot
spell it (the Cyrillic names on a Western system, for example).

Usage: tools/make_langnames.py OUT.bmp [--font FILE.ttf]

The glyphs come from DejaVu Sans (Latin and Cyrillic in one font), rasterised by ImageMagick's
convert; this script only lays them out, reduces the anti-aliasing to a grey ramp and writes
the 4-bit BMP. The result is committed (src/resources/langnames.bmp), so the build itself
needs neither the font nor ImageMagick.
"""

import argparse
import struct
import subprocess
import sys

# Index -> the language's name in that language; index 0 stands for no language.
NAMES = [
    "(Unknown)", "Català", "Dansk", "Deutsch", "English", "Español", "Suomi", "Français",
    "Íslenska", "Italiano", "Nederlands", "Norsk", "Português", "Русский", "Svenska", "Bahasa",
    "Українська", "Беларуская", "Euskara", "Afrikaans",
]
CELL_W, CELL_H = 60, 13
BASELINE = 10       # row of the baseline; three rows below it for descenders
LEFT = 1
PIXEL_SIZE = 10     # DejaVu at 10 pixels: accented capitals still fit above the baseline
FONTS = ["/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
         "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed.ttf"]

MAGENTA = (255, 0, 255)
# Palette: 0 is the transparent magenta, 1..15 a ramp from black to light grey, so that the
# soft edges of the glyphs blend into a light menu background.
GREYS = [round(k * 224 / 14) for k in range(15)]
PALETTE = [MAGENTA] + [(g, g, g) for g in GREYS]
INK_THRESHOLD = 0.2  # coverage below this stays transparent
# Thin stems at 10 pixels rarely cover a whole pixel; darkening the partial ones keeps the
# names as legible as hinted system text.
INK_GAIN = 1.6


def render(text, font):
    """Coverage rows (0.0 .. 1.0) of text drawn at the cell's origin, CELL_W by CELL_H."""
    cmd = ["convert", "-size", f"{CELL_W}x{CELL_H}", "xc:white", "-font", font,
           "-density", "72", "-pointsize", str(PIXEL_SIZE), "-fill", "black",
           "-annotate", f"+{LEFT}+{BASELINE}", text, "-depth", "8", "gray:-"]
    data = subprocess.run(cmd, check=True, capture_output=True).stdout
    if len(data) != CELL_W * CELL_H:
        raise RuntimeError(f"convert gave {len(data)} bytes for {text!r}")
    return [[1.0 - data[y * CELL_W + x] / 255.0 for x in range(CELL_W)] for y in range(CELL_H)]


def fits(cov):
    # The last column stays empty so that neighbouring names never touch.
    return all(row[-1] == 0.0 for row in cov)


def text_width(text, font):
    """Width in pixels of the rendered text (rendered wide so nothing is cut)."""
    cmd = ["convert", "-font", font, "-density", "72", "-pointsize", str(PIXEL_SIZE),
           f"label:{text}", "-trim", "-format", "%w", "info:"]
    return int(subprocess.run(cmd, check=True, capture_output=True, text=True).stdout)


def cell(text):
    """Palette indexes of one picture: the regular face if the name fits, else condensed."""
    for font in FONTS:
        if text_width(text, font) + LEFT < CELL_W:
            break
    cov = render(text, font)
    if not fits(cov):
        raise RuntimeError(f"{text!r} does not fit in {CELL_W} pixels")
    out = []
    for row in cov:
        line = []
        for c in row:
            c = min(1.0, c * INK_GAIN)
            if c < INK_THRESHOLD:
                line.append(0)
            else:
                grey = (1.0 - c) * 255
                line.append(1 + min(range(15), key=lambda k: abs(GREYS[k] - grey)))
        out.append(line)
    return out


def bmp_4bit(width, height, pixels):
    """A bottom-up BI_RGB bitmap of 4 bits per pixel with the 16-colour palette."""
    stride = ((width * 4 + 31) // 32) * 4
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(0, width, 2):
            hi = pixels[y][x]
            lo = pixels[y][x + 1] if x + 1 < width else 0
            row.append(hi << 4 | lo)
        rows.append(bytes(row.ljust(stride, b"\0")))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    image = b"".join(rows)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(image), 2835, 2835,
                       16, 16)
    return header + info + palette + image


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("output")
    p.add_argument("--font", help="a TrueType font with Latin and Cyrillic (default DejaVu Sans)")
    args = p.parse_args()
    if args.font:
        FONTS[:] = [args.font]
    strip = [[0] * (CELL_W * len(NAMES)) for _ in range(CELL_H)]
    for i, name in enumerate(NAMES):
        picture = cell(name)
        for y in range(CELL_H):
            strip[y][i * CELL_W:(i + 1) * CELL_W] = picture[y]
    with open(args.output, "wb") as f:
        f.write(bmp_4bit(CELL_W * len(NAMES), CELL_H, strip))
    return 0


if __name__ == "__main__":
    sys.exit(main())
