#!/usr/bin/env python3
"""Draws the Button Editor's tool strips (16 images of 16 x 16: a 24-bit one on light grey and a 32-bit one with
alpha) and its four tool cursors (32 x 32, black and white) beside this script."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
GREY = (192, 192, 192)
INK = (40, 40, 40)
BLUE = (40, 90, 200)
RED = (200, 50, 40)
YELLOW = (230, 180, 30)


def seg(x, y, x0, y0, x1, y1, w=0.8):
    dx, dy = x1 - x0, y1 - y0
    t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / float(dx * dx + dy * dy)))
    return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= w


def arrow(x, y, direction):
    # A block arrow pointing left; the others are turned from it.
    for _ in range(direction):
        x, y = y, 15 - x
    head = 2 <= x <= 7 and abs(y - 7.5) <= (x - 1.5)
    shaft = 7 <= x <= 13 and 5.5 <= y <= 9.5
    return head or shaft


def image(index, x, y):
    """The colour of pixel (x, y) of image index, or None for the background."""
    cx, cy = x - 7.5, y - 7.5
    if index == 0:  # pencil
        if seg(x, y, 3, 12, 12, 3, 1.6):
            return YELLOW if not seg(x, y, 3, 12, 5, 10, 1.6) else INK
    elif index == 1:  # fill bucket: a pail with paint running over its rim
        half = 4.0 - (y - 6) * 0.2
        if 6 <= y <= 13 and abs(x - 6.5) <= half:
            if abs(x - 6.5) > half - 1 or y == 13:
                return INK
            return BLUE if y <= 7 else (235, 235, 235)
        if y in (3, 4) and 3 <= x <= 10 and (y == 3) == (4 <= x <= 9):
            return INK
        if 11 <= x <= 12 and 6 <= y <= 11 - (x - 11) * 2:
            return BLUE
    elif index in (2, 3):  # undo, redo
        xx = x if index == 2 else 15 - x
        r = math.hypot(xx - 8, y - 9)
        if 3.5 <= r <= 5.5 and (y <= 9 or xx >= 8):
            return BLUE
        if 1 <= xx <= 5 and 5 <= y <= 11 and abs(y - 8) <= (xx - 1) * 0.8 and xx <= 5:
            return BLUE
    elif index == 4:  # colour picker
        if seg(x, y, 3, 12, 9, 6, 1.0):
            return INK
        if math.hypot(x - 11, y - 4) <= 2.6:
            return RED
    elif index == 5:  # line
        if seg(x, y, 2, 13, 13, 2, 0.8):
            return INK
    elif index in (6, 7):  # copy, paste
        if index == 6:
            if (2 <= x <= 9 and 2 <= y <= 10 and (x in (2, 9) or y in (2, 10))):
                return INK
            if (6 <= x <= 13 and 5 <= y <= 13 and (x in (6, 13) or y in (5, 13))):
                return BLUE
            if 7 <= x <= 12 and 6 <= y <= 12:
                return (255, 255, 255)
        else:
            if 2 <= x <= 11 and 3 <= y <= 13:
                return (150, 100, 50) if not (4 <= x <= 9 and 1 <= y <= 4) else INK
            if 4 <= x <= 9 and 1 <= y <= 3:
                return INK
            if 7 <= x <= 14 and 7 <= y <= 14:
                return (255, 255, 255) if 8 <= x <= 13 and 8 <= y <= 13 else BLUE
    elif index == 8:  # rectangle
        if 2 <= x <= 13 and 3 <= y <= 12 and (x in (2, 13) or y in (3, 12)):
            return INK
    elif index == 9:  # ellipse
        if abs(math.hypot(cx / 6.0, cy / 4.8) - 1) <= 0.17:
            return INK
    elif index == 10:  # clear
        if seg(x, y, 3, 3, 12, 12, 1.1) or seg(x, y, 3, 12, 12, 3, 1.1):
            return RED
    elif index == 11:  # import from a file
        if 1 <= x <= 14 and 5 <= y <= 13:
            return YELLOW if 2 <= x <= 13 and 6 <= y <= 12 else (160, 110, 20)
        if 1 <= x <= 6 and 3 <= y <= 5:
            return (160, 110, 20)
    else:  # move left, down, up, right
        turns = {12: 0, 13: 3, 14: 1, 15: 2}[index]
        if arrow(x, y, turns):
            return INK
    return None


def write_bmp(path, width, height, pixel, bits):
    stride = ((width * bits // 8) + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            c = pixel(x, y)
            if bits == 24:
                r, g, b = c
                row += bytes((b, g, r))
            else:
                r, g, b, a = c
                row += bytes((b, g, r, a))
        row += b'\0' * (stride - len(row))
        rows.append(bytes(row))
    data = b''.join(rows)
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', 14 + len(header) + len(data), 0, 0, 14 + len(header)))
        f.write(header + data)


def strip24(x, y):
    c = image(x // 16, x % 16, y)
    return GREY if c is None else c


def strip32(x, y):
    c = image(x // 16, x % 16, y)
    return (0, 0, 0, 0) if c is None else c + (255,)


CURSORS = {
    # name: (hot spot, shape of the black outline)
    'cursor-line': ((15, 15), lambda x, y: (x == 15 or y == 15) and not (13 <= x <= 17 and 13 <= y <= 17)),
    'cursor-pick': ((2, 29), lambda x, y: seg(x, y, 2, 29, 16, 15, 1.2) or math.hypot(x - 21, y - 10) <= 5),
    'cursor-fill': ((4, 27), lambda x, y: (x == 4 and 20 <= y <= 27) or (4 <= x <= 11 and y == 27) or
                    (10 <= x <= 22 and 8 <= y <= 22 and (x in (10, 22) or y in (8, 22)))),
    'cursor-pencil': ((2, 29), lambda x, y: seg(x, y, 2, 29, 22, 9, 2.2) and not seg(x, y, 5, 26, 20, 11, 0.6)),
}


def write_cursor(path, hot, shape):
    size = 32
    # XOR bits: 1 is white where the AND mask is 0; black pixels have both 0. The shape is black; the rest shows
    # the screen (AND 1, XOR 0).
    xor_rows, and_rows = [], []
    for y in range(size - 1, -1, -1):
        xor_row = bytearray(4)
        and_row = bytearray(4)
        for x in range(size):
            if not shape(x, y):
                and_row[x // 8] |= 0x80 >> (x % 8)
        xor_rows.append(bytes(xor_row))
        and_rows.append(bytes(and_row))
    bih = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    body = bih + palette + b''.join(xor_rows) + b''.join(and_rows)
    directory = struct.pack('<HHH', 0, 2, 1) + struct.pack('<BBBBHHII', size, size, 2, 0, hot[0], hot[1],
                                                           len(body), 6 + 16)
    with open(path, 'wb') as f:
        f.write(directory + body)


def main():
    write_bmp(os.path.join(HERE, 'editor-tools.bmp'), 256, 16, strip24, 24)
    write_bmp(os.path.join(HERE, 'editor-tools32.bmp'), 256, 16, strip32, 32)
    for name, (hot, shape) in CURSORS.items():
        write_cursor(os.path.join(HERE, name + '.cur'), hot, shape)


if __name__ == '__main__':
    main()
