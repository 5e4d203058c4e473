#!/usr/bin/env python3
"""Draws the read-state images of the news page (new.png, unread.png, read.png) into res/templates/.

Run it after changing a drawing; the outputs are kept in the repository.
"""
import math
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'res', 'templates')
SIZE = 16


def png(path, pixel):
    rows = b''
    for y in range(SIZE):
        rows += b'\x00' + b''.join(bytes(pixel(x, y)) for x in range(SIZE))

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)

    header = struct.pack('>IIBBBBB', SIZE, SIZE, 8, 6, 0, 0, 0)
    data = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(rows, 9)) + chunk(b'IEND', b'')
    with open(path, 'wb') as f:
        f.write(data)


def disc(fill, ring, filled=True):
    """A round mark: a solid disc (filled) or a ring, with a soft edge."""
    def pixel(x, y):
        d = math.hypot(x + 0.5 - SIZE / 2, y + 0.5 - SIZE / 2)
        outer = SIZE / 2 - 2.0
        if d > outer + 0.5:
            return (0, 0, 0, 0)
        alpha = int(255 * min(1.0, outer + 0.5 - d))
        if d > outer - 1.5:
            return ring + (alpha,)
        return fill + (255,) if filled else (0, 0, 0, 0)
    return pixel


def star(fill, ring):
    """A five-pointed star for new items."""
    def inside(px, py):
        cx, cy = SIZE / 2, SIZE / 2 + 0.5
        angle = math.atan2(py - cy, px - cx) + math.pi / 2
        r = math.hypot(px - cx, py - cy)
        k = (angle % (2 * math.pi / 5)) / (2 * math.pi / 5)
        limit = 7.0 - 4.0 * (1 - abs(2 * k - 1))
        return r <= limit

    def pixel(x, y):
        hits = sum(inside(x + (i + 0.5) / 4, y + (j + 0.5) / 4) for i in range(4) for j in range(4))
        if hits == 0:
            return (0, 0, 0, 0)
        edge = hits < 16 or not inside(x + 1.5, y + 0.5) or not inside(x - 0.5, y + 0.5) \
            or not inside(x + 0.5, y - 0.5) or not inside(x + 0.5, y + 1.5)
        colour = ring if edge else fill
        return colour + (int(255 * hits / 16),)
    return pixel


def main():
    os.makedirs(OUT, exist_ok=True)
    png(os.path.join(OUT, 'new.png'), star((255, 196, 40), (180, 110, 10)))
    png(os.path.join(OUT, 'unread.png'), disc((60, 120, 220), (25, 70, 150)))
    png(os.path.join(OUT, 'read.png'), disc((0, 0, 0), (150, 150, 150), filled=False))


if __name__ == '__main__':
    main()
