#!/usr/bin/env python3
"""Draws the program's own artwork. Run it after changing a drawing; the outputs are kept in res/."""
import math
import os
import struct
import sys

RES = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'res')


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def lantern_pixel(x, y, n):
    """RGBA of the application icon (a glowing lantern) at pixel centre (x, y) of an n x n image."""
    u, v = (x + 0.5) / n, (y + 0.5) / n
    # Handle: a ring above the body.
    ring = math.hypot(u - 0.5, (v - 0.16) * 1.4)
    if v < 0.2 and 0.09 < ring < 0.15:
        return (60, 50, 40, 255)
    # Cap and base.
    if 0.2 <= v < 0.29 and 0.22 <= u <= 0.78:
        return (90, 62, 35, 255)
    if 0.84 <= v < 0.93 and 0.2 <= u <= 0.8:
        return (90, 62, 35, 255)
    # Glass body with a warm glow from the flame.
    if 0.29 <= v < 0.84 and 0.27 <= u <= 0.73:
        edge = min(u - 0.27, 0.73 - u)
        if edge < 0.035:
            return (70, 52, 32, 255)
        d = math.hypot(u - 0.5, (v - 0.58) * 0.8)
        # Flame: a teardrop.
        fy = (v - 0.62) / 0.16
        fx = (u - 0.5) / (0.07 * max(0.0, 1.0 - max(fy, -1.0) ** 2) ** 0.5 + 1e-6)
        if -1.0 < fy < 1.0 and abs(fx) < 1.0 and v > 0.46:
            return lerp((255, 250, 210), (255, 150, 20), min(1.0, abs(fx) + max(0.0, -fy) * 0.5)) + (255,)
        return lerp((255, 226, 120), (222, 140, 40), min(1.0, d / 0.3)) + (255,)
    return (0, 0, 0, 0)


def dib_entry(n, pixel):
    header = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in reversed(range(n)):
        row = b''
        for x in range(n):
            r, g, b, a = pixel(x, y, n)
            row += bytes((b, g, r, a))
        rows.append(row)
    mask_stride = ((n + 31) // 32) * 4
    mask = b''
    for y in reversed(range(n)):
        bits = bytearray(mask_stride)
        for x in range(n):
            if pixel(x, y, n)[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + b''.join(rows) + mask


def write_icon(path, pixel, sizes=(16, 32, 48)):
    images = [dib_entry(n, pixel) for n in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', n % 256, n % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(path, 'wb') as f:
        f.write(out)


def main():
    write_icon(os.path.join(RES, 'art', 'Lanternquill.ico'), lantern_pixel)
    return 0


if __name__ == '__main__':
    sys.exit(main())
