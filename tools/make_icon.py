#!/usr/bin/env python3
"""Draws the program icon (a microphone on a blue disc) as a 16, 32 and 48 pixel .ico.

Usage: tools/make_icon.py OUT.ico
The picture is computed from shapes, so the icon is ours and can be drawn again at will.
"""
import math
import struct
import sys


def shade(x, y, size):
    """RGBA of one pixel, sampled 4x4 for smooth edges."""
    acc = [0.0, 0.0, 0.0, 0.0]
    n = 4
    for sy in range(n):
        for sx in range(n):
            u = (x + (sx + 0.5) / n) / size  # 0..1
            v = (y + (sy + 0.5) / n) / size
            c = sample(u, v)
            if c:
                a = c[3] / 255.0
                for i in range(3):
                    acc[i] += c[i] * a
                acc[3] += a
    if acc[3] == 0:
        return (0, 0, 0, 0)
    return (int(acc[0] / acc[3]), int(acc[1] / acc[3]), int(acc[2] / acc[3]),
            int(255 * acc[3] / (n * n)))


def sample(u, v):
    # Microphone head: a capsule, grey with a light stripe.
    if 0.38 <= u <= 0.62 and 0.12 <= v <= 0.58:
        cy = min(max(v, 0.24), 0.46)
        if (u - 0.5) ** 2 + (v - cy) ** 2 <= 0.12 ** 2:
            light = 0.45 <= u <= 0.50
            return (235, 235, 240, 255) if light else (150, 155, 170, 255)
    # Holder: a U arc under the head.
    d = math.hypot(u - 0.5, v - 0.46)
    if 0.17 <= d <= 0.21 and v >= 0.46:
        return (40, 40, 50, 255)
    # Stand and foot.
    if 0.48 <= u <= 0.52 and 0.66 <= v <= 0.82:
        return (40, 40, 50, 255)
    if 0.34 <= u <= 0.66 and 0.80 <= v <= 0.86:
        return (40, 40, 50, 255)
    # Background disc.
    if (u - 0.5) ** 2 + (v - 0.5) ** 2 <= 0.48 ** 2:
        t = v
        return (int(60 + 40 * (1 - t)), int(120 + 60 * (1 - t)), int(210 + 40 * (1 - t)), 255)
    return None


def image(size):
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up rows
        row = b""
        for x in range(size):
            r, g, b, a = shade(x, y, size)
            row += bytes((b, g, r, a))
        rows.append(row)
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    and_mask = bytes(mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask),
                         0, 0, 0, 0)
    return header + xor + and_mask


def main():
    sizes = (16, 32, 48)
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
