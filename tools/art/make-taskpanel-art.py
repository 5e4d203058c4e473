#!/usr/bin/env python3
"""Draws the task panel's expand-button glyphs into toolkit/taskpanel/art. Run it after changing a drawing.

Each glyph is 19 x 19, 24 bits: a round button on a white background. The panel recolours it at run time: the
background (the top-left pixel) becomes transparent, near-white pixels stay, the others take the caption's tint.
The normal glyph has a white face (dark chevrons go on it); the special one a mid-grey face that takes the dark
caption tint, for the light chevrons of special captions."""
import math
import os
import struct

ART = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'toolkit', 'taskpanel', 'art')
SIZE = 19


def glyph_pixel(x, y, ring_dark, face):
    cx = cy = (SIZE - 1) / 2.0
    d = math.hypot(x - cx, y - cy)
    if d > 9.0:
        return (255, 255, 255)  # background: masked out
    if d > 7.6:
        # The ring, darker towards the lower right as if lit from the upper left.
        shade = (x + y) / (2.0 * (SIZE - 1))
        level = int(200 - ring_dark * shade)
        edge = min(1.0, 9.0 - d)  # soften the outer edge against the caption
        level = int(level + (250 - level) * (1.0 - edge) * 0.5)
        return (level, level, level)
    return (face, face, face)


def write_bmp(path, pixel):
    row_bytes = (SIZE * 3 + 3) & ~3
    data = bytearray()
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(SIZE):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b'\0' * (row_bytes - len(row))
        data += row
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


def main():
    os.makedirs(ART, exist_ok=True)
    write_bmp(os.path.join(ART, 'tp-glyph-normal.bmp'), lambda x, y: glyph_pixel(x, y, 60, 250))
    write_bmp(os.path.join(ART, 'tp-glyph-special.bmp'), lambda x, y: glyph_pixel(x, y, 110, 150))


if __name__ == '__main__':
    main()
