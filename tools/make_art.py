#!/usr/bin/env python3
"""Draws the program's pictures and its beep sound from shapes and numbers.

Usage: tools/make_art.py OUTDIR
Writes 24-bit BMP files (magenta 255,0,255 marks transparent pixels where a picture needs it)
and beep.wav. The results are committed under src/resources/art; run this again after a
change and commit what it writes.
"""
import math
import os
import struct
import sys

MAGENTA = (255, 0, 255)
DISPLAY = (65, 59, 52)      # the display's dark grey
AMBER = (255, 206, 54)      # the display's text colour
WINDOW = (227, 222, 215)    # the main window's colour ($D7DEE3 with red in the low byte)


class Picture:
    def __init__(self, w, h, fill=MAGENTA):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def put(self, x, y, c, a=1.0):
        if 0 <= x < self.w and 0 <= y < self.h and a > 0:
            if a >= 1:
                self.px[y][x] = c
            else:
                o = self.px[y][x]
                if o == MAGENTA:
                    o = c if a > 0.5 else MAGENTA
                    self.px[y][x] = o
                    return
                self.px[y][x] = tuple(int(o[i] + (c[i] - o[i]) * a) for i in range(3))

    def shape(self, inside, color, samples=4):
        """Fills the pixels covered by inside(u, v) (pixel units), anti-aliased."""
        for y in range(self.h):
            for x in range(self.w):
                hits = 0
                for sy in range(samples):
                    for sx in range(samples):
                        if inside(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples):
                            hits += 1
                if hits:
                    c = color(x, y) if callable(color) else color
                    self.put(x, y, c, hits / (samples * samples))

    def rect(self, x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                self.px[y][x] = c

    def save(self, path):
        row = (self.w * 3 + 3) & ~3
        data = b""
        for y in range(self.h - 1, -1, -1):
            line = b"".join(bytes((c[2], c[1], c[0])) for c in self.px[y])
            data += line + b"\0" * (row - self.w * 3)
        header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(data), 2835, 2835,
                           0, 0)
        with open(path, "wb") as f:
            f.write(header + info + data)


def mix(a, b, t):
    return tuple(int(a[i] + (b[i] - a[i]) * t) for i in range(3))


def rounded(x0, y0, x1, y1, r):
    def inside(u, v):
        if not (x0 <= u <= x1 and y0 <= v <= y1):
            return False
        cx = min(max(u, x0 + r), x1 - r)
        cy = min(max(v, y0 + r), y1 - r)
        return (u - cx) ** 2 + (v - cy) ** 2 <= r * r
    return inside


def background():
    # The strip behind the display and the toolbar: a light brushed-metal band.
    p = Picture(477, 51)
    top, bottom = (244, 246, 248), (200, 209, 216)
    for y in range(51):
        base = mix(top, bottom, y / 50)
        for x in range(477):
            grain = ((x * 7 + y * 13) % 11 - 5) * 0.6
            p.px[y][x] = tuple(max(0, min(255, int(base[i] + grain))) for i in range(3))
    p.rect(0, 0, 477, 1, (255, 255, 255))
    p.rect(0, 50, 477, 51, (168, 178, 188))
    return p


def display_face():
    p = Picture(201, 37, WINDOW)
    p.shape(rounded(0, 0, 201, 37, 5), (120, 128, 136))
    p.shape(rounded(1.5, 1.5, 199.5, 35.5, 4), DISPLAY)
    # A faint glass reflection along the top.
    for x in range(4, 197):
        p.put(x, 3, (90, 84, 78))
    return p


def lamp(on):
    p = Picture(12, 12)
    core, rim = ((80, 255, 80), (0, 140, 0)) if on else ((120, 120, 120), (60, 60, 60))
    p.shape(lambda u, v: (u - 6) ** 2 + (v - 6) ** 2 <= 5.5 ** 2, rim)
    p.shape(lambda u, v: (u - 6) ** 2 + (v - 6) ** 2 <= 4.2 ** 2,
            lambda x, y: mix(core, rim, min(1, math.hypot(x - 4.5, y - 4.5) / 5)))
    return p


def title():
    # A sound wave in an oval: the recorder's title artwork.
    p = Picture(140, 30)
    p.shape(rounded(0, 0, 140, 30, 14), (52, 92, 150))
    p.shape(rounded(1.5, 1.5, 138.5, 28.5, 12.5), (74, 126, 196))
    for x in range(10, 130):
        env = math.sin(math.pi * (x - 10) / 120)
        amp = 10 * env * (0.6 + 0.4 * math.sin(x * 0.31))
        y = 15 + amp * math.sin(x * 0.9)
        p.shape(lambda u, v, x=x, y=y: abs(u - x - 0.5) <= 0.8 and abs(v - y) <= 1.1,
                (255, 255, 255), samples=2)
    return p


def icon_shapes(index):
    """Shapes of the toolbar pictures (20 by 20), as (inside, colour) pairs."""
    c = lambda cx, cy, r: (lambda u, v: (u - cx) ** 2 + (v - cy) ** 2 <= r * r)
    if index == 0:  # record: a red dot
        return [(c(10, 10, 7.5), (150, 0, 0)), (c(10, 10, 6.3), (230, 30, 30)),
                (c(8, 8, 2.2), (255, 150, 150))]
    if index == 1:  # play: a green triangle
        tri = lambda u, v: 5 <= u <= 16 and abs(v - 10) <= (16 - u) * 0.62
        return [(tri, (20, 140, 40))]
    if index == 2:  # send: an envelope with an arrow
        env = lambda u, v: 2 <= u <= 17 and 5 <= v <= 15
        flap = lambda u, v: env(u, v) and abs(v - 5 - (u - 2) * 0.6) < 1.0 or \
            env(u, v) and abs(v - 5 - (17 - u) * 0.6) < 1.0
        return [(env, (250, 240, 200)), (flap, (120, 100, 60)),
                (lambda u, v: env(u, v) and (u < 3 or u > 16 or v < 6 or v > 14), (120, 100, 60))]
    if index == 3:  # attach: a paper clip
        def clip(u, v):
            d1 = abs(math.hypot(u - 10, v - 6) - 4) < 0.9 and v <= 6
            d2 = abs(math.hypot(u - 10, v - 14) - 4) < 0.9 and v >= 14
            s = (abs(u - 6) < 0.9 or abs(u - 14) < 0.9) and 6 <= v <= 14
            inner = abs(u - 10) < 0.9 and 8 <= v <= 14
            return d1 or d2 or s or inner
        return [(clip, (90, 90, 110))]
    if index == 4:  # language: a globe
        def globe(u, v):
            return (u - 10) ** 2 + (v - 10) ** 2 <= 8 ** 2
        def lines(u, v):
            r = math.hypot(u - 10, v - 10)
            return r <= 8 and (abs(v - 10) < 0.6 or abs(u - 10) < 0.6 or
                               abs(math.hypot((u - 10) * 2, v - 10) - 8) < 1.0)
        return [(globe, (60, 130, 210)), (lines, (230, 240, 255))]
    if index == 5:  # options: a gear
        def gear(u, v):
            r = math.hypot(u - 10, v - 10)
            a = math.atan2(v - 10, u - 10)
            outer = 7.5 if math.cos(8 * a) > 0.2 else 6
            return 2.5 <= r <= outer
        return [(gear, (110, 110, 120))]
    # exit: an open door with an arrow
    door = lambda u, v: 3 <= u <= 11 and 2 <= v <= 18
    arrow = lambda u, v: (9 <= u <= 15 and abs(v - 10) <= 1.2) or \
        (14 <= u <= 18 and abs(v - 10) <= (18 - u))
    return [(door, (150, 100, 50)), (arrow, (200, 40, 40))]


def toolbar(disabled):
    p = Picture(20 * 7, 20)
    for i in range(7):
        for inside, colour in icon_shapes(i):
            if disabled:
                g = int(0.3 * colour[0] + 0.59 * colour[1] + 0.11 * colour[2])
                colour = mix((g, g, g), (200, 200, 200), 0.55)
            p.shape(lambda u, v, i=i, f=inside: f(u - 20 * i, v) and 20 * i <= u < 20 * i + 20,
                    colour)
    return p


def stop_glyph():
    p = Picture(16, 16)
    p.shape(rounded(3, 3, 13, 13, 1.2), (40, 40, 40))
    return p


def pause_glyph():
    p = Picture(16, 16)
    p.shape(rounded(3, 3, 7, 13, 0.8), (40, 40, 40))
    p.shape(rounded(9, 3, 13, 13, 0.8), (40, 40, 40))
    return p


# --- The level slider window and the main window's level indicators ----------------------
# Lime (0, 255, 0) is the level bar's colour: where these pictures are lime, the bar drawn
# behind them shows. The slider's handle uses lime as its transparent colour as well.
LIME = (0, 255, 0)
PANEL = (58, 62, 70)        # the slider window's dark face
PANEL_EDGE = (130, 138, 150)
GROOVE = (24, 26, 30)

# Where the slider window's parts lie (fSlider.cpp places its controls at the same spots).
LEVEL_BOX = (19, 24, 15, 70)    # left, top, width, height of the level bar's paint box


def slider_background():
    # A square window: its outer corners are the edge's colour, not the desktop's.
    p = Picture(65, 105, PANEL_EDGE)
    p.shape(rounded(1.5, 1.5, 63.5, 103.5, 5), lambda x, y: mix((78, 84, 94), PANEL, y / 104))
    # A thin rule under the strip that holds the close button.
    for x in range(6, 59):
        p.put(x, 19, (40, 43, 50))
        p.put(x, 20, (96, 102, 112))
    # The level window: a wedge, wide at the top (loud) and narrow at the bottom, framed dark.
    left, top, w, h = LEVEL_BOX
    def wedge_width(v):
        return 4 + 7 * (1 - v / (h - 1))
    def inside(u, v, grow=0.0):
        lv = v - top
        return -grow <= lv <= h - 1 + grow and left + 2 - grow <= u <= left + 2 + wedge_width(
            min(max(lv, 0), h - 1)) + grow
    p.shape(lambda u, v: inside(u, v, 1.0), GROOVE, samples=2)
    for y in range(top, top + h):
        for x in range(left, left + w):
            if inside(x + 0.5, y + 0.5):
                p.px[y][x] = LIME
    return p


def slider_track():
    # Drawn opaque over the background at (36, 25): the same face with a groove in the middle.
    p = Picture(24, 68)
    for y in range(68):
        c = mix((78, 84, 94), PANEL, (y + 25) / 104)
        for x in range(24):
            p.px[y][x] = c
    p.rect(10, 2, 14, 66, GROOVE)
    p.rect(10, 2, 11, 66, (30, 32, 36))
    p.rect(13, 2, 14, 66, (110, 116, 126))
    for y in range(4, 66, 8):  # scale marks
        p.rect(3, y, 7, y + 1, PANEL_EDGE)
        p.rect(17, y, 21, y + 1, PANEL_EDGE)
    return p


def slider_handle():
    p = Picture(24, 16, LIME)
    # No anti-aliasing against lime: a blended edge would show as a green fringe.
    def body(x, y):
        cx = min(max(x + 0.5, 3.5), 20.5)
        cy = min(max(y + 0.5, 3.5), 12.5)
        return ((x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2) <= 3.2 ** 2 and 0 < x < 23 and 0 < y < 15
    for y in range(16):
        for x in range(24):
            if body(x, y):
                p.px[y][x] = mix((236, 238, 242), (150, 156, 166), y / 15)
    for y in range(16):
        for x in range(24):
            if body(x, y) and not all(body(x + dx, y + dy) for dx, dy in
                                      ((1, 0), (-1, 0), (0, 1), (0, -1))):
                p.px[y][x] = (70, 74, 82)
    p.rect(5, 7, 19, 8, (80, 84, 92))   # the grip line
    p.rect(5, 8, 19, 9, (250, 250, 252))
    return p


def close_glyph():
    p = Picture(9, 9)
    for i in range(9):
        for d in (0, 1):
            if i + d < 9:
                p.px[i][i + d] = (230, 232, 236)
                p.px[i][8 - i - d] = (230, 232, 236)
    return p


def speaker(p, x0):
    p.shape(lambda u, v: x0 + 1 <= u <= x0 + 4 and 5.5 <= v <= 10.5, (60, 60, 66))
    p.shape(lambda u, v: x0 + 3.5 <= u <= x0 + 9 and abs(v - 8) <= 2.5 + (u - x0 - 3.5) * 0.9,
            (60, 60, 66))
    p.shape(lambda u, v: abs(math.hypot(u - x0 - 8, v - 8) - 3.5) < 0.6 and u > x0 + 10,
            (60, 60, 66), samples=3)


def microphone(p, x0):
    p.shape(rounded(x0 + 3, 1, x0 + 8, 10, 2.5), (60, 60, 66))
    p.shape(lambda u, v: abs(math.hypot(u - x0 - 5.5, v - 7) - 4.2) < 0.6 and v > 7,
            (60, 60, 66), samples=3)
    p.shape(lambda u, v: abs(u - x0 - 5.5) < 0.6 and 11 <= v <= 14, (60, 60, 66))
    p.shape(lambda u, v: x0 + 2.5 <= u <= x0 + 8.5 and 14 <= v <= 15, (60, 60, 66))


def indicator(width, glyph):
    # A glyph and a rising ramp of 16 rows in lime: the level bar lights the ramp from the
    # bottom, one row per step.
    p = Picture(width, 16, WINDOW)
    glyph(p, 0)
    left = width - 20
    for y in range(16):
        for x in range(left, width):
            if 15 - y <= (x - left) * 15 / 19 + 0.5:
                p.px[y][x] = LIME
    return p


def beep(path):
    # 4824 samples of 8-bit mono PCM at 22050 Hz: a short two-tone chime with soft edges.
    n, rate = 4824, 22050
    samples = bytearray()
    for i in range(n):
        t = i / rate
        f = 880 if i < n // 2 else 1320
        env = min(1.0, i / 300, (n - i) / 600)
        s = 0.6 * env * math.sin(2 * math.pi * f * t)
        samples.append(max(0, min(255, int(round(128 + 127 * s)))))
    fmt = struct.pack("<HHIIHHH", 1, 1, rate, rate, 1, 8, 0)  # 18 bytes with cbSize
    fact = struct.pack("<I", n)
    body = (b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"fact" +
            struct.pack("<I", 4) + fact + b"data" + struct.pack("<I", n) + bytes(samples))
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    background().save(os.path.join(out, "display_bkg.bmp"))
    display_face().save(os.path.join(out, "display_face.bmp"))
    lamp(True).save(os.path.join(out, "lamp_on.bmp"))
    lamp(False).save(os.path.join(out, "lamp_off.bmp"))
    title().save(os.path.join(out, "title.bmp"))
    toolbar(False).save(os.path.join(out, "toolbar.bmp"))
    toolbar(True).save(os.path.join(out, "toolbar_disabled.bmp"))
    stop_glyph().save(os.path.join(out, "stop.bmp"))
    pause_glyph().save(os.path.join(out, "pause.bmp"))
    slider_background().save(os.path.join(out, "slider_bkg.bmp"))
    slider_track().save(os.path.join(out, "slider_track.bmp"))
    slider_handle().save(os.path.join(out, "slider_handle.bmp"))
    close_glyph().save(os.path.join(out, "slider_close.bmp"))
    indicator(34, speaker).save(os.path.join(out, "level_volume.bmp"))
    indicator(32, microphone).save(os.path.join(out, "level_mic.bmp"))
    beep(os.path.join(out, "beep.wav"))


if __name__ == "__main__":
    main()
