#!/usr/bin/env python3
"""Writes the small icons and bitmaps of the toolkit control tests into fixtures/. Run it after changing one."""
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'fixtures')


def ico(path, size, pixel):
    """A one-image .ico: 32-bit colour with alpha and an AND mask; pixel(x, y) gives (r, g, b, a)."""
    rows = []
    for y in reversed(range(size)):
        rows.append(b''.join(struct.pack('<BBBB', *(lambda p: (p[2], p[1], p[0], p[3]))(pixel(x, y)))
                             for x in range(size)))
    mask_stride = ((size + 31) // 32) * 4
    mask = b''
    for y in reversed(range(size)):
        row = bytearray(mask_stride)
        for x in range(size):
            if pixel(x, y)[3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(row)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    image = header + b''.join(rows) + mask
    directory = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(image), 22)
    with open(path, 'wb') as f:
        f.write(directory + image)


def bmp24(path, width, height, pixel):
    stride = (width * 3 + 3) & ~3
    data = b''
    for y in reversed(range(height)):
        row = b''.join(struct.pack('<BBB', *(lambda p: (p[2], p[1], p[0]))(pixel(x, y))) for x in range(width))
        data += row + b'\0' * (stride - len(row))
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 0, 0, 0, 0)
    with open(path, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', 14 + len(header) + len(data), 0, 0, 14 + len(header)) + header + data)


def disc(colour):
    def pixel(x, y):
        inside = (x - 7.5) ** 2 + (y - 7.5) ** 2 < 7.2 ** 2
        return colour + (255,) if inside else (0, 0, 0, 0)
    return pixel


def square(colour):
    def pixel(x, y):
        return colour + (255,) if 2 <= x < 14 and 2 <= y < 14 else (0, 0, 0, 0)
    return pixel


def main():
    os.makedirs(HERE, exist_ok=True)
    ico(os.path.join(HERE, 'tray-blue.ico'), 16, disc((40, 90, 220)))
    ico(os.path.join(HERE, 'tray-orange.ico'), 16, disc((240, 140, 30)))
    ico(os.path.join(HERE, 'tray-green.ico'), 16, square((40, 170, 60)))
    # A red square on magenta: the corner colour is the transparent one.
    bmp24(os.path.join(HERE, 'button-square.bmp'), 16, 16,
          lambda x, y: (200, 30, 30) if 3 <= x < 13 and 3 <= y < 13 else (255, 0, 255))


if __name__ == '__main__':
    main()
