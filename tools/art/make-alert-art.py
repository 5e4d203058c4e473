#!/usr/bin/env python3
"""Draws the new-items alert's close button icon (16 x 16, 32-bit with alpha) into res/art/alert-close.ico."""
import os
import struct

ART = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'res', 'art')
SIZE = 16
SAMPLES = 4


def coverage(x, y):
    """How much of the pixel the cross covers: two strokes 1.6 px wide between (4, 4) and (12, 12)."""
    hits = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            px = x + (sx + 0.5) / SAMPLES
            py = y + (sy + 0.5) / SAMPLES
            if 4 <= px <= 12 and 4 <= py <= 12 and (abs(px - py) < 1.1 or abs(px + py - 16) < 1.1):
                hits += 1
    return hits / (SAMPLES * SAMPLES)


def icon_bytes():
    pixels = bytearray()
    for y in reversed(range(SIZE)):
        for x in range(SIZE):
            alpha = int(round(255 * coverage(x, y)))
            pixels += bytes((0x55, 0x55, 0x55, alpha))  # grey, as b, g, r, a
    mask = bytes(4 * SIZE)  # 1-bit mask rows of 32 bits: all drawn through alpha
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + bytes(pixels) + mask
    directory = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, 1, 32, len(image), 22)
    return directory + image


with open(os.path.join(ART, 'alert-close.ico'), 'wb') as out:
    out.write(icon_bytes())
