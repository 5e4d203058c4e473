#!/usr/bin/env python3
"""Draws the skin's twenty images into res/skin/SkinOne/images/.

The normal list: button1_01..04.png (the menu captions Feeds, Edit, View, Help), button1_11..14.png (the toolbar
buttons Subscribe, Manage Feeds, Stop, Refresh), button1_min.png and button1_cls.png (the caption buttons). The
selected list has the same images with the prefix "button_". Everything is drawn here from shapes and a small
pixel font; run the script after changing a drawing: the outputs are kept in the repository and copied beside the
program by the build.
"""
import math
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'res', 'skin', 'SkinOne', 'images')

# A 5 by 7 pixel font (p descends a row) with the letters of the four menu captions.
GLYPHS = {
    'F': ['11111', '10000', '10000', '11110', '10000', '10000', '10000'],
    'E': ['11111', '10000', '10000', '11110', '10000', '10000', '11111'],
    'V': ['10001', '10001', '10001', '10001', '01010', '01010', '00100'],
    'H': ['10001', '10001', '10001', '11111', '10001', '10001', '10001'],
    'e': ['00000', '00000', '01110', '10001', '11111', '10000', '01110'],
    'd': ['00001', '00001', '01101', '10011', '10001', '10011', '01101'],
    's': ['00000', '00000', '01111', '10000', '01110', '00001', '11110'],
    'i': ['00100', '00000', '01100', '00100', '00100', '00100', '01110'],
    't': ['01000', '01000', '11110', '01000', '01000', '01001', '00110'],
    'w': ['00000', '00000', '10001', '10001', '10101', '10101', '01010'],
    'l': ['01100', '00100', '00100', '00100', '00100', '00100', '01110'],
    'p': ['00000', '00000', '11110', '10001', '10001', '11110', '10000', '10000'],
}


class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [[(0, 0, 0, 0)] * width for _ in range(height)]

    def blend(self, x, y, colour, alpha):
        if not (0 <= x < self.width and 0 <= y < self.height) or alpha <= 0:
            return
        alpha = min(1.0, alpha) * colour[3] / 255.0
        r0, g0, b0, a0 = self.pixels[y][x]
        a0 /= 255.0
        out = alpha + a0 * (1 - alpha)
        if out <= 0:
            return
        mix = [(c * alpha + c0 * a0 * (1 - alpha)) / out for c, c0 in zip(colour[:3], (r0, g0, b0))]
        self.pixels[y][x] = tuple(int(round(v)) for v in mix) + (int(round(out * 255)),)

    def shape(self, inside, colour):
        """Covers every pixel by the share of its 16 samples that inside() accepts."""
        for y in range(self.height):
            for x in range(self.width):
                hits = sum(inside(x + (i + 0.5) / 4, y + (j + 0.5) / 4) for i in range(4) for j in range(4))
                if hits:
                    self.blend(x, y, colour, hits / 16.0)

    def gradient_shape(self, inside, top, bottom):
        for y in range(self.height):
            t = y / max(1, self.height - 1)
            colour = tuple(int(a + (b - a) * t) for a, b in zip(top, bottom))
            for x in range(self.width):
                hits = sum(inside(x + (i + 0.5) / 4, y + (j + 0.5) / 4) for i in range(4) for j in range(4))
                if hits:
                    self.blend(x, y, colour, hits / 16.0)

    def save(self, path):
        rows = b''.join(b'\x00' + b''.join(bytes(p) for p in row) for row in self.pixels)

        def chunk(kind, data):
            return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)

        header = struct.pack('>IIBBBBB', self.width, self.height, 8, 6, 0, 0, 0)
        with open(path, 'wb') as f:
            f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(rows, 9)) +
                    chunk(b'IEND', b''))


def rounded(x0, y0, x1, y1, r):
    def inside(px, py):
        if not (x0 <= px <= x1 and y0 <= py <= y1):
            return False
        cx = min(max(px, x0 + r), x1 - r)
        cy = min(max(py, y0 + r), y1 - r)
        return math.hypot(px - cx, py - cy) <= r
    return inside


def ring(cx, cy, r_out, r_in):
    return lambda px, py: r_in <= math.hypot(px - cx, py - cy) <= r_out


def segment(x0, y0, x1, y1, half):
    def inside(px, py):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / (dx * dx + dy * dy)))
        return math.hypot(px - (x0 + t * dx), py - (y0 + t * dy)) <= half
    return inside


def text(canvas, word, x, y, colour, scale=2):
    for ch in word:
        rows = GLYPHS[ch]
        for j, row in enumerate(rows):
            for i, bit in enumerate(row):
                if bit == '1':
                    for sy in range(scale):
                        for sx in range(scale):
                            canvas.blend(x + i * scale + sx, y + j * scale + sy, colour, 1.0)
        x += 6 * scale


WHITE = (255, 255, 255, 255)
TEXT = (236, 236, 236, 255)
SHADOW = (0, 0, 0, 110)


def menu_caption(word, selected):
    scale = 2
    width = len(word) * 6 * scale - scale + 16
    c = Canvas(width, 22)
    if selected:
        c.gradient_shape(rounded(0.5, 1.5, width - 0.5, 20.5, 5), (255, 255, 255, 120), (255, 255, 255, 50))
        c.shape(lambda px, py: rounded(0.5, 1.5, width - 0.5, 20.5, 5)(px, py) and
                not rounded(1.5, 2.5, width - 1.5, 19.5, 4)(px, py), (255, 255, 255, 200))
    text(c, word, 9, 5, SHADOW, scale)
    text(c, word, 8, 4, WHITE if selected else TEXT, scale)
    return c


def button_base(selected):
    c = Canvas(32, 32)
    if selected:
        c.gradient_shape(rounded(0.5, 0.5, 31.5, 31.5, 7), (255, 255, 255, 150), (255, 255, 255, 60))
    c.shape(lambda px, py: rounded(0.5, 0.5, 31.5, 31.5, 7)(px, py) and
            not rounded(1.5, 1.5, 30.5, 30.5, 6)(px, py), (255, 255, 255, 210 if selected else 90))
    return c


def subscribe(selected):
    c = button_base(selected)
    orange = (255, 160, 40, 255) if selected else (240, 140, 30, 255)
    c.shape(rounded(6, 6, 23, 23, 4), orange)
    c.shape(lambda px, py: math.hypot(px - 9.5, py - 19.5) <= 2.0, WHITE)
    c.shape(lambda px, py: px > 8 and py < 21 and 6.0 <= math.hypot(px - 8, py - 21) <= 8.2, WHITE)
    c.shape(lambda px, py: px > 8 and py < 21 and 10.5 <= math.hypot(px - 8, py - 21) <= 12.7, WHITE)
    c.shape(lambda px, py: math.hypot(px - 23, py - 23) <= 6.5, (40, 170, 60, 255))
    c.shape(segment(23, 19.5, 23, 26.5, 1.2), WHITE)
    c.shape(segment(19.5, 23, 26.5, 23, 1.2), WHITE)
    return c


def manage(selected):
    c = button_base(selected)
    paper = (250, 250, 250, 255) if selected else (232, 232, 232, 255)
    c.shape(rounded(7, 5, 25, 27, 2), paper)
    for row in range(4):
        y = 10 + row * 4.5
        c.shape(lambda px, py, y=y: math.hypot(px - 11, py - y) <= 1.3, (240, 140, 30, 255))
        c.shape(segment(14, y, 22, y, 1.0), (90, 90, 110, 255))
    return c


def stop(selected):
    c = button_base(selected)
    red = (235, 60, 50, 255) if selected else (210, 40, 35, 255)

    def octagon(px, py):
        dx, dy = abs(px - 16), abs(py - 16)
        return dx <= 10 and dy <= 10 and dx + dy <= 14.2
    c.shape(octagon, red)
    c.shape(lambda px, py: octagon(px, py) and not (abs(px - 16) <= 9 and abs(py - 16) <= 9 and
                                                   abs(px - 16) + abs(py - 16) <= 12.8), (255, 255, 255, 200))
    c.shape(rounded(11, 14.5, 21, 17.5, 1), WHITE)
    return c


def refresh(selected):
    c = button_base(selected)
    green = (255, 255, 255, 255) if selected else (235, 240, 250, 255)

    def arc(px, py, start, end):
        angle = math.degrees(math.atan2(py - 16, px - 16)) % 360
        return 6.0 <= math.hypot(px - 16, py - 16) <= 9.5 and start <= angle <= end

    c.shape(lambda px, py: arc(px, py, 200, 340), green)
    c.shape(lambda px, py: arc(px, py, 20, 160), green)

    def arrow(tip, base_a, base_b):
        def inside(px, py):
            (x1, y1), (x2, y2), (x3, y3) = tip, base_a, base_b
            d1 = (px - x2) * (y1 - y2) - (x1 - x2) * (py - y2)
            d2 = (px - x3) * (y2 - y3) - (x2 - x3) * (py - y3)
            d3 = (px - x1) * (y3 - y1) - (x3 - x1) * (py - y1)
            return (d1 >= 0 and d2 >= 0 and d3 >= 0) or (d1 <= 0 and d2 <= 0 and d3 <= 0)
        return inside
    c.shape(arrow((26.5, 14), (21, 8), (29.5, 8.5)), green)
    c.shape(arrow((5.5, 18), (11, 24), (2.5, 23.5)), green)
    return c


def caption_button(kind, selected):
    c = Canvas(19, 19)
    if selected:
        fill_top, fill_bottom = ((250, 90, 80, 255), (200, 30, 25, 255)) if kind == 'cls' else \
            ((255, 255, 255, 170), (255, 255, 255, 90))
    else:
        fill_top, fill_bottom = (255, 255, 255, 70), (255, 255, 255, 25)
    c.gradient_shape(rounded(0.5, 0.5, 18.5, 18.5, 4), fill_top, fill_bottom)
    c.shape(lambda px, py: rounded(0.5, 0.5, 18.5, 18.5, 4)(px, py) and
            not rounded(1.5, 1.5, 17.5, 17.5, 3)(px, py), (255, 255, 255, 200))
    if kind == 'cls':
        c.shape(segment(5.5, 5.5, 13.5, 13.5, 1.4), WHITE)
        c.shape(segment(13.5, 5.5, 5.5, 13.5, 1.4), WHITE)
    else:
        c.shape(rounded(5, 11.5, 14, 14, 0.8), WHITE)
    return c


def main():
    os.makedirs(OUT, exist_ok=True)
    for prefix, selected in (('button1_', False), ('button_', True)):
        for d, word in enumerate(('Feeds', 'Edit', 'View', 'Help'), start=1):
            menu_caption(word, selected).save(os.path.join(OUT, '%s0%d.png' % (prefix, d)))
        for d, draw in enumerate((subscribe, manage, stop, refresh), start=1):
            draw(selected).save(os.path.join(OUT, '%s1%d.png' % (prefix, d)))
        caption_button('min', selected).save(os.path.join(OUT, prefix + 'min.png'))
        caption_button('cls', selected).save(os.path.join(OUT, prefix + 'cls.png'))


if __name__ == '__main__':
    main()
