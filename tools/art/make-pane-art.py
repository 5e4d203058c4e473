#!/usr/bin/env python3
"""Draws the navigation pane's 16 x 16 entry icons into res/art/pane-icons.bmp (24-bit, magenta is clear).

Image 0 a feed, 1 an unreachable feed, 2 a notice, 3 a result page, 4 a search entry, 5 a web page, 6 weather."""
import math
import os
import struct

RES = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'res')
CLEAR = (255, 0, 255)


def feed(x, y):
    # An orange rounded square with the two arcs and the dot of a feed.
    if x in (0, 15) and y in (0, 15):
        return CLEAR
    d = math.hypot(x - 3.5, y - 11.5)
    if d < 1.9 or 5.0 < d < 6.6 and x >= 3 and y <= 12 or 8.6 < d < 10.2 and x >= 3 and y <= 12:
        return (255, 255, 255)
    return (236, 120, 30) if y > 1 else (246, 160, 80)


def unreachable(x, y):
    # A grey feed square crossed by a red X.
    if abs(x - y) <= 1 or abs(x + y - 15) <= 1:
        return (210, 30, 30)
    if 2 <= x <= 13 and 2 <= y <= 13:
        return (170, 170, 170)
    return CLEAR


def notice(x, y):
    # A blue disc with a white "i".
    d = math.hypot(x - 7.5, y - 7.5)
    if d > 7.6:
        return CLEAR
    if 7 <= x <= 8 and (3 <= y <= 4 or 6 <= y <= 12):
        return (255, 255, 255)
    return (40, 100, 200)


def results(x, y):
    # A green funnel.
    if y <= 2:
        return (40, 150, 60) if 1 <= x <= 14 else CLEAR
    half = max(1, 7 - (y - 2))
    if y <= 8 and 7.5 - half <= x <= 7.5 + half:
        return (60, 180, 80)
    if 9 <= y <= 14 and 6 <= x <= 9:
        return (40, 150, 60)
    return CLEAR


def search(x, y):
    # A magnifying glass: a blue lens in a dark ring, a brown handle to the bottom right.
    d = math.hypot(x - 6, y - 6)
    if d <= 3.6:
        return (200, 225, 250)
    if d <= 5.2:
        return (50, 60, 80)
    if 9 <= x <= 14 and 9 <= y <= 14 and abs(x - y) <= 1:
        return (140, 90, 40)
    return CLEAR


def webpage(x, y):
    # A globe: a blue disc with green land and white lines of latitude and longitude.
    d = math.hypot(x - 7.5, y - 7.5)
    if d > 7.6:
        return CLEAR
    if d > 6.6 or y == 7 or y == 8 or abs(x - 7.5) < 1 and d < 6.6:
        return (30, 80, 160)
    if (x - 4) ** 2 + (y - 5) ** 2 < 7 or (x - 10) ** 2 + (y - 11) ** 2 < 6:
        return (70, 160, 70)
    return (90, 150, 230)


def weather(x, y):
    # A yellow sun behind a white cloud.
    if 5 <= y <= 12 and (math.hypot(x - 6, y - 10) < 3.2 or math.hypot(x - 10, y - 9) < 3.6 or
                         9 <= y <= 12 and 4 <= x <= 13):
        edge = math.hypot(x - 6, y - 10) > 2.4 and math.hypot(x - 10, y - 9) > 2.8 and (y in (12,) or x in (4, 13))
        return (150, 160, 175) if edge else (245, 248, 252)
    d = math.hypot(x - 5, y - 5)
    if d < 3.5:
        return (250, 200, 30)
    if 4.5 < d < 5.8 and (x + y) % 2 == 0:
        return (240, 170, 20)
    return CLEAR


def main():
    drawings = (feed, unreachable, notice, results, search, webpage, weather)
    width, height = 16 * len(drawings), 16
    stride = (width * 3 + 3) & ~3
    pixels = b''
    for y in reversed(range(height)):
        row = b''
        for x in range(width):
            r, g, b = drawings[x // 16](x % 16, y)
            row += bytes((b, g, r))
        pixels += row + b'\0' * (stride - width * 3)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(os.path.join(RES, 'art', 'pane-icons.bmp'), 'wb') as f:
        f.write(header + info + pixels)


if __name__ == '__main__':
    main()
