#!/usr/bin/env python3
"""Draws the first-run wizard's pictures: the watermark beside the greeting and the two view-style pictures.
Run it after changing a drawing; the outputs are kept in res/art."""
import importlib.util
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
ART = os.path.join(HERE, '..', '..', 'res', 'art')

_spec = importlib.util.spec_from_file_location('artwork', os.path.join(HERE, 'make-artwork.py'))
artwork = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(artwork)
lerp = artwork.lerp


def write_bmp(path, width, height, pixel):
    """A 24-bit bottom-up BMP; pixel(x, y) gives (r, g, b) with y from the top."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b'\0' * (stride - width * 3)
        rows.append(bytes(row))
    bits = b''.join(rows)
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(bits), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', 14 + len(header) + len(bits), 0, 0, 14 + len(header)))
        f.write(header + bits)


def watermark(x, y, w=164, h=314):
    base = lerp((28, 52, 104), (86, 128, 196), y / (h - 1))
    # The lantern, 96 pixels, in the upper third.
    n, left, top = 96, (w - 96) // 2, 48
    if left <= x < left + n and top <= y < top + n:
        r, g, b, a = artwork.lantern_pixel(x - left, y - top, n)
        if a:
            return (r, g, b)
    # A soft glow around it.
    d = ((x - w / 2) ** 2 + (y - (top + 60)) ** 2) ** 0.5
    if d < 80:
        return lerp(base, (150, 170, 210), (1 - d / 80) * 0.35)
    return base


FRAME = (96, 110, 140)
CAPTION = (60, 92, 160)
FACE = (236, 236, 236)
PAGE = (255, 255, 255)
TEXT = (150, 150, 150)
TITLE = (40, 70, 140)


def window(x, y, w, h, client):
    if x == 0 or y == 0 or x == w - 1 or y == h - 1:
        return FRAME
    if y < 9:
        return CAPTION
    return client(x, y)


def classic_view(x, y, w=120, h=84):
    """A pane of channels at the left and the channel's page at the right, as in a browser."""
    def client(x, y):
        if x < 36:
            if x == 35:
                return FRAME
            row = (y - 12) // 7
            if y >= 12 and (y - 12) % 7 < 4 and 4 <= x < 30 - (row % 3) * 4:
                return (90, 110, 150) if row == 1 else TEXT
            return FACE
        if 12 <= y < 16 and 40 <= x < 100:
            return TITLE
        for top in (22, 46):
            if top <= y < top + 3 and 40 <= x < 90:
                return TITLE
            for line in range(3):
                if top + 6 + line * 5 <= y < top + 8 + line * 5 and 40 <= x < 114 - line * 9:
                    return TEXT
        return PAGE
    return window(x, y, w, h, client)


def modern_view(x, y, w=120, h=84):
    """The navigation pane fills the window: channel groups with their headlines as rows."""
    def client(x, y):
        if 12 <= y < 20 and 4 <= x < w - 4:
            return lerp((120, 150, 210), (70, 100, 170), (x - 4) / (w - 8))
        if 50 <= y < 58 and 4 <= x < w - 4:
            return lerp((120, 150, 210), (70, 100, 170), (x - 4) / (w - 8))
        for top in (23, 31, 39, 61, 69):
            if top <= y < top + 5:
                if 8 <= x < 13:
                    return (230, 150, 40)
                if 17 <= x < 96 - (top % 3) * 10:
                    return (40, 60, 110) if top in (23, 61) else TEXT
        return (246, 248, 252)
    return window(x, y, w, h, client)


def main():
    write_bmp(os.path.join(ART, 'wizard-watermark.bmp'), 164, 314, watermark)
    write_bmp(os.path.join(ART, 'view-classic.bmp'), 120, 84, classic_view)
    write_bmp(os.path.join(ART, 'view-modern.bmp'), 120, 84, modern_view)


if __name__ == '__main__':
    main()
