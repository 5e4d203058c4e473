#!/usr/bin/env python3
"""Draws the toolkit's own cursors and glyph bitmaps into res/art. Run it after changing a drawing."""
import os
import struct
import sys

ART = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'res', 'art')

BLACK, WHITE = (0, 0, 0, 255), (255, 255, 255, 255)
CLEAR = (0, 0, 0, 0)


def outlined(shape):
    """Pixel function from a set of filled cells: black shape with a one-pixel white outline."""
    def pixel(x, y):
        if (x, y) in shape:
            return BLACK
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                if (x + dx, y + dy) in shape:
                    return WHITE
        return CLEAR
    return pixel


def arrow_shape(x0, y0, dx, dy, length, width):
    """A two-headed arrow along (dx, dy) centred on (x0, y0)."""
    cells = set()
    for t in range(-length, length + 1):
        for w in range(-(width // 2), width // 2 + 1):
            cells.add((x0 + dx * t + dy * w, y0 + dy * t + dx * w))
    for side in (-1, 1):
        tip = length + 1
        for k in range(5):
            for w in range(-k, k + 1):
                t = side * (tip - k)
                cells.add((x0 + dx * t + dy * w, y0 + dy * t + dx * w))
    return cells


def split_shape(horizontal):
    """A splitter cursor: two parallel bars with arrows pointing away from them."""
    cells = set()
    for t in range(-8, 9):
        for w in (-2, 2):
            cells.add((16 + t, 16 + w) if horizontal else (16 + w, 16 + t))
    for side in (-1, 1):
        for k in range(6):
            for w in range(-k // 2 - 1, k // 2 + 2):
                pos = 16 + side * (11 - k)
                cells.add((16 + w, pos) if horizontal else (pos, 16 + w))
        for t in range(4, 8):
            for w in (-1, 0, 1):
                pos = 16 + side * t
                cells.add((16 + w, pos) if horizontal else (pos, 16 + w))
    return cells


def hand_shape():
    cells = set()
    # Pointing finger, then the palm with three folded fingers and the thumb.
    for y in range(4, 16):
        for x in range(12, 15):
            cells.add((x, y))
    for y in range(14, 27):
        for x in range(9, 23):
            cells.add((x, y))
    for y in range(16, 21):
        for x in range(6, 9):
            cells.add((x, y))
    return cells


def drag_shape(plus):
    cells = set()
    for y in range(0, 17):
        for x in range(0, y // 2 + 1):
            cells.add((x, y))
    for y in range(20, 29):
        for x in range(14, 28):
            if y in (20, 28) or x in (14, 27):
                cells.add((x, y))
    if plus:
        for t in range(21, 28):
            cells.add((20, t))
            cells.add((t - 1, 24))
    return cells


def cursor_bytes(pixel, hotspot, n=32):
    header = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b''
    mask = b''
    stride = ((n + 31) // 32) * 4
    for y in reversed(range(n)):
        bits = bytearray(stride)
        for x in range(n):
            r, g, b, a = pixel(x, y)
            colour += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    image = header + colour + mask
    entry = struct.pack('<BBBBHHII', n, n, 0, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    return struct.pack('<HHH', 0, 2, 1) + entry + image


def glyph_bitmap(glyphs, n=16):
    """A 24-bit strip of n x n glyphs, black on the mask colour magenta."""
    width = n * len(glyphs)
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in reversed(range(n)):
        row = bytearray()
        for i, cells in enumerate(glyphs):
            for x in range(n):
                row += bytes((0, 0, 0)) if (x, y) in cells else bytes((255, 0, 255))
        row += bytes(stride - len(row))
        rows.append(bytes(row))
    bits = b''.join(rows)
    info = struct.pack('<IiiHHIIiiII', 40, width, n, 1, 24, 0, len(bits), 0, 0, 0, 0)
    return struct.pack('<HIHHI', 0x4D42, 14 + len(info) + len(bits), 0, 0, 14 + len(info)) + info + bits


def frame_glyphs():
    restore, minimise, maximise, close = set(), set(), set(), set()
    for x in range(3, 13):
        minimise.update({(x, 11), (x, 12)})
        maximise.update({(x, 2), (x, 3), (x, 12)})
    for y in range(2, 13):
        maximise.update({(3, y), (12, y)})
    for x in range(5, 13):
        restore.update({(x, 2), (x, 3)})
    for y in range(2, 9):
        restore.add((12, y))
    for x in range(2, 10):
        restore.update({(x, 6), (x, 7), (x, 13)})
    for y in range(6, 14):
        restore.update({(2, y), (9, y)})
    restore.update({(5, 4), (5, 5)})
    for t in range(3, 12):
        close.update({(t, t), (t + 1, t), (t, 14 - t), (t + 1, 14 - t)})
    return [restore, minimise, maximise, close]


def bmp_bytes(width, height, bits, pixel, truncate=None):
    """A bottom-up .bmp of 24 or 32 bits per pixel; pixel(x, y) gives (r, g, b, a)."""
    stride = (width * bits // 8 + 3) & ~3
    rows = []
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b, a = pixel(x, y)
            row += bytes((b, g, r, a)) if bits == 32 else bytes((b, g, r))
        row += bytes(stride - len(row))
        rows.append(bytes(row))
    data = b''.join(rows)
    if truncate is not None:
        data = data[:truncate]
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, stride * height, 0, 0, 0, 0)
    return struct.pack('<HIHHI', 0x4D42, 14 + len(info) + len(data), 0, 0, 14 + len(info)) + info + data


def strip_pixel(x, y):
    """Image i of a 16-pixel strip: a square of its own colour on magenta, half transparent at the edge."""
    i, u = divmod(x, 16)
    if 2 <= u < 14 and 2 <= y < 14:
        return (i * 25, 250 - i * 25, 40 + i * 10, 255)
    return (255, 0, 255, 0 if u in (0, 15) or y in (0, 15) else 128)


def icon_file(entries):
    """An .ico of (size, bits, pixel) images."""
    images = []
    for n, bits, pixel in entries:
        stride = (n * bits // 8 + 3) & ~3
        header = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, bits, 0, 0, 0, 0, 0, 0)
        colour = b''
        for y in reversed(range(n)):
            row = bytearray()
            for x in range(n):
                r, g, b, a = pixel(x, y)
                row += bytes((b, g, r, a)) if bits == 32 else bytes((b, g, r))
            colour += bytes(row) + bytes(stride - len(row))
        mask_stride = ((n + 31) // 32) * 4
        mask = bytes(mask_stride * n)
        images.append((n, bits, header + colour + mask))
    offset = 6 + 16 * len(images)
    out = struct.pack('<HHH', 0, 1, len(images))
    body = b''
    for n, bits, image in images:
        out += struct.pack('<BBBBHHII', n, n, 0, 0, 1, bits, len(image), offset + len(body))
        body += image
    return out + body


def fixtures():
    """Images of the image manager tests."""
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tests', 'toolkit', 'fixtures')
    os.makedirs(folder, exist_ok=True)
    files = {
        'im-alpha160.bmp': bmp_bytes(160, 16, 32, strip_pixel),
        'im-alpha150.bmp': bmp_bytes(150, 16, 32, strip_pixel),
        'im-colour160.bmp': bmp_bytes(160, 16, 24, strip_pixel),
        'im-short32.bmp': bmp_bytes(16, 16, 32, strip_pixel, truncate=100),
        'im-icon.ico': icon_file([(16, 24, lambda x, y: (0, 0, 200, 255)),
                                  (16, 32, lambda x, y: (200, 10, 20, 255 if x < 8 else 0)),
                                  (24, 32, lambda x, y: (10, 200, 20, 255))]),
    }
    files['im-bad.ico'] = files['im-icon.ico'][:40]
    for name, data in files.items():
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(data)


def main():
    fixtures()
    os.makedirs(ART, exist_ok=True)
    cursors = {
        'tk-split-rows.cur': (outlined(split_shape(True)), (16, 16)),
        'tk-split-cols.cur': (outlined(split_shape(False)), (16, 16)),
        'tk-hand.cur': (outlined(hand_shape()), (13, 4)),
        'tk-drag-move.cur': (outlined(drag_shape(False)), (0, 0)),
        'tk-drag-copy.cur': (outlined(drag_shape(True)), (0, 0)),
        'tk-size-ns.cur': (outlined(arrow_shape(16, 16, 0, 1, 9, 1)), (16, 16)),
        'tk-size-we.cur': (outlined(arrow_shape(16, 16, 1, 0, 9, 1)), (16, 16)),
    }
    for name, (pixel, hotspot) in cursors.items():
        with open(os.path.join(ART, name), 'wb') as f:
            f.write(cursor_bytes(pixel, hotspot))
    with open(os.path.join(ART, 'tk-frame-glyphs.bmp'), 'wb') as f:
        f.write(glyph_bitmap(frame_glyphs()))
    return 0


if __name__ == '__main__':
    sys.exit(main())
