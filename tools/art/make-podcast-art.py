#!/usr/bin/env python3
"""Draws the podcast manager's toolbar images (Resume, Stop, Properties; 16 x 16 each) on magenta, the colour the
toolbar masks out. The output is kept in res/art."""
import math
import os
import struct

ART = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'res', 'art')
MAGENTA = (255, 0, 255)


def bmp_bytes(width, height, pixel):
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows.append(bytes(row))
    data = b''.join(rows)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 0, 0, 0, 0)
    return struct.pack('<HIHHI', 0x4D42, 14 + len(info) + len(data), 0, 0, 14 + len(info)) + info + data


def resume(x, y):
    # A green play triangle with a dark edge.
    cx = x + 0.5
    cy = y + 0.5
    if 4 <= cx <= 13 and abs(cy - 8) <= (13 - cx) * 0.62 + 0.3:
        edge = cx < 5 or abs(cy - 8) > (13 - cx) * 0.62 - 0.9
        return (20, 110, 30) if edge else (60, 190, 70)
    return MAGENTA


def stop(x, y):
    if 3 <= x <= 12 and 3 <= y <= 12:
        edge = x in (3, 12) or y in (3, 12)
        return (140, 20, 20) if edge else (215, 55, 45)
    return MAGENTA


def properties(x, y):
    # A grey gear: a ring with eight teeth around a hole.
    cx = x + 0.5 - 8
    cy = y + 0.5 - 8
    d = math.hypot(cx, cy)
    angle = math.atan2(cy, cx)
    tooth = (math.cos(angle * 8) > 0.3)
    if d <= 2.2:
        return MAGENTA
    if d <= 5.0 or (tooth and d <= 7.0):
        return (70, 80, 95) if d > 4.2 and not tooth or d > 6.2 else (120, 130, 150)
    return MAGENTA


def strip(x, y):
    return (resume, stop, properties)[x // 16](x % 16, y)


def main():
    with open(os.path.join(ART, 'podcast-toolbar.bmp'), 'wb') as f:
        f.write(bmp_bytes(48, 16, strip))


if __name__ == '__main__':
    main()
