#!/usr/bin/env python3
"""Writes res/art/download.avi: the download dialog's animation, an uncompressed 8-bit AVI that the animation
control plays without a decompressor. A page flies from a globe to a folder; the top-left pixel's colour is the
background the control makes transparent."""
import os
import struct
import sys

WIDTH, HEIGHT, FRAMES = 80, 30, 12
PALETTE = [
    (0xF0, 0xF0, 0xF0),  # 0 background (transparent)
    (0x20, 0x50, 0xB0),  # 1 globe
    (0x60, 0xA0, 0xE8),  # 2 globe light
    (0x30, 0x90, 0x30),  # 3 land
    (0xE8, 0xC0, 0x40),  # 4 folder
    (0xB0, 0x88, 0x20),  # 5 folder edge
    (0xFF, 0xFF, 0xFF),  # 6 page
    (0x50, 0x50, 0x50),  # 7 outline
]


def frame(n):
    px = [[0] * WIDTH for _ in range(HEIGHT)]
    # Globe at the left.
    cx, cy, r = 12, 15, 10
    for y in range(HEIGHT):
        for x in range(WIDTH):
            d = (x - cx) ** 2 + (y - cy) ** 2
            if d <= r * r:
                px[y][x] = 7 if d > (r - 1) ** 2 else (3 if (x + y + n) % 7 < 2 else (2 if x < cx else 1))
    # Folder at the right.
    for y in range(10, 26):
        for x in range(58, 76):
            edge = y in (10, 25) or x in (58, 75)
            px[y][x] = 5 if edge else 4
    for x in range(58, 66):
        px[9][x] = 5
    # The page on its way, rising and falling along an arc.
    t = n / (FRAMES - 1)
    left = int(24 + t * 30)
    top = int(12 - 8 * 4 * t * (1 - t))
    for y in range(top, top + 9):
        for x in range(left, left + 7):
            edge = y in (top, top + 8) or x in (left, left + 6)
            px[y][x] = 7 if edge else 6
    return px


def chunk(fourcc, data):
    pad = b'\0' if len(data) % 2 else b''
    return fourcc + struct.pack('<I', len(data)) + data + pad


def listchunk(kind, data):
    return chunk(b'LIST', kind + data)


def main(out):
    stride = (WIDTH + 3) & ~3
    size = stride * HEIGHT
    frames = []
    for n in range(FRAMES):
        rows = frame(n)
        data = b''.join(bytes(rows[y]) + b'\0' * (stride - WIDTH) for y in reversed(range(HEIGHT)))
        frames.append(data)
    usec = 100000
    avih = struct.pack('<14I', usec, size * 10, 0, 0x10, FRAMES, 0, 1, size, WIDTH, HEIGHT, 0, 0, 0, 0)
    strh = struct.pack('<4s4sIHHIIIIIIII4h', b'vids', b'DIB ', 0, 0, 0, 0, 1, 10, 0, FRAMES, size, 0xFFFFFFFF,
                       0, 0, 0, WIDTH, HEIGHT)
    bih = struct.pack('<IiiHHIIiiII', 40, WIDTH, HEIGHT, 1, 8, 0, size, 0, 0, len(PALETTE), len(PALETTE))
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    hdrl = listchunk(b'hdrl', chunk(b'avih', avih) + listchunk(b'strl', chunk(b'strh', strh) + chunk(b'strf', bih + pal)))
    movi_body = b''
    index = b''
    for data in frames:
        offset = 4 + len(movi_body)  # from the 'movi' type field
        index += struct.pack('<4sIII', b'00db', 0x10, offset, len(data))
        movi_body += chunk(b'00db', data)
    body = b'AVI ' + hdrl + listchunk(b'movi', movi_body) + chunk(b'idx1', index)
    with open(out, 'wb') as f:
        f.write(b'RIFF' + struct.pack('<I', len(body)) + body)


if __name__ == '__main__':
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, 'res', 'art', 'download.avi'))
