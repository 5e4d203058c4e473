#!/usr/bin/env python3
"""Writes the site icons the screenshot server gives its channels: 16 x 16, 32-bit ICO files.

  make-screenshot-icons.py FOLDER   writes daily.ico, evening.ico and tech.ico into FOLDER"""
import math
import os
import struct
import sys


def daily(x, y):
    # A blue globe with a lighter band.
    d = math.hypot(x - 7.5, y - 7.5)
    if d > 7.4:
        return None
    return (250, 250, 255) if abs(y - 7.5) < 1 or abs(x - 7.5) < 1 else (40, 110, 210)


def evening(x, y):
    # A yellow crescent moon on a dark violet disc.
    d = math.hypot(x - 7.5, y - 7.5)
    if d > 7.4:
        return None
    if math.hypot(x - 6.5, y - 7.5) < 5 and math.hypot(x - 9, y - 6) > 4:
        return (250, 210, 60)
    return (70, 40, 120)


def tech(x, y):
    # A green rounded square with a white chip outline.
    if x in (0, 15) and y in (0, 15):
        return None
    if 4 <= x <= 11 and 4 <= y <= 11 and (x in (4, 11) or y in (4, 11)):
        return (255, 255, 255)
    if (x in (6, 9) and y in (1, 2, 13, 14)) or (y in (6, 9) and x in (1, 2, 13, 14)):
        return (255, 255, 255)
    return (40, 150, 80)


def ico(draw):
    pixels = b''
    for y in reversed(range(16)):
        for x in range(16):
            c = draw(x, y)
            pixels += b'\0\0\0\0' if c is None else bytes((c[2], c[1], c[0], 255))
    mask = b'\0' * 64
    header = struct.pack('<IiiHHIIiiII', 40, 16, 32, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + pixels + mask
    return struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', 16, 16, 0, 0, 1, 32, len(image), 22) + image


def main():
    folder = sys.argv[1]
    for name, draw in (('daily', daily), ('evening', evening), ('tech', tech)):
        with open(os.path.join(folder, name + '.ico'), 'wb') as f:
            f.write(ico(draw))


if __name__ == '__main__':
    main()
