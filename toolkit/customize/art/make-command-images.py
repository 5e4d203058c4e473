#!/usr/bin/env python3
"""Draws the Customize sheet's 25 command images (16 x 16 each, green as transparent) into command-images.bmp."""
import math
import os
import struct

GREEN = (0, 255, 0)
SIZE = 16
COUNT = 25
PALETTE = [(200, 40, 40), (40, 110, 200), (230, 170, 20), (40, 150, 70), (130, 60, 170)]


def shape(index, x, y):
    """True when the pixel belongs to image index: five shapes in five colours."""
    cx, cy = x - 7.5, y - 7.5
    kind = index % 5
    if kind == 0:
        return cx * cx + cy * cy <= 42
    if kind == 1:
        return 2 <= x <= 13 and 2 <= y <= 13
    if kind == 2:
        return abs(cx) + abs(cy) <= 7
    if kind == 3:
        return y >= 2 and abs(cx) <= (y - 1) / 2
    r = math.hypot(cx, cy)
    a = math.atan2(cy, cx)
    return r <= 3.5 + 3.5 * abs(math.cos(2.5 * a))


def pixel(index, x, y):
    colour = PALETTE[index // 5]
    if not shape(index, x, y):
        return GREEN
    edge = any(not shape(index, x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
    return tuple(c // 2 for c in colour) if edge else colour


def main():
    width, height = SIZE * COUNT, SIZE
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x // SIZE, x % SIZE, y)
            row += bytes((b, g, r))
        row += b'\0' * (stride - len(row))
        rows.append(bytes(row))
    data = b''.join(rows)
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'command-images.bmp')
    with open(out, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', 14 + len(header) + len(data), 0, 0, 14 + len(header)))
        f.write(header + data)


if __name__ == '__main__':
    main()
