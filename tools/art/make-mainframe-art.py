#!/usr/bin/env python3
"""Draws the main window's toolbar, menu and pane images. Run it after changing a drawing; the outputs are kept in
res/art. Every image sits on magenta, the colour the program masks out."""
import math
import os
import struct

ART = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'res', 'art')
MAGENTA = (255, 0, 255)
SAMPLES = 4


def bmp_bytes(width, height, pixel):
    """A bottom-up 24-bit .bmp; pixel(x, y) gives (r, g, b)."""
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


# Shapes work on the unit square (u right, v down) and return a colour or None where they leave the pixel alone.

def disc(cx, cy, r, colour):
    return lambda u, v: colour if math.hypot(u - cx, v - cy) <= r else None


def ring(cx, cy, r0, r1, colour, start=0.0, end=360.0):
    def shape(u, v):
        d = math.hypot(u - cx, v - cy)
        if not r0 <= d <= r1:
            return None
        angle = math.degrees(math.atan2(cy - v, u - cx)) % 360
        inside = start <= angle <= end if start <= end else angle >= start or angle <= end
        return colour if inside else None
    return shape


def box(x0, y0, x1, y1, colour):
    return lambda u, v: colour if x0 <= u <= x1 and y0 <= v <= y1 else None


def segment(x0, y0, x1, y1, width, colour):
    def shape(u, v):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((u - x0) * dx + (v - y0) * dy) / (dx * dx + dy * dy)))
        return colour if math.hypot(u - x0 - t * dx, v - y0 - t * dy) <= width / 2 else None
    return shape


def polygon(points, colour):
    def shape(u, v):
        inside = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > v) != (by > v) and u < ax + (v - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return colour if inside else None
    return shape


ORANGE = (236, 120, 20)
DARK_ORANGE = (176, 80, 10)
GREEN = (40, 150, 50)
BLUE = (40, 96, 190)
RED = (200, 40, 36)
WHITE = (255, 255, 255)
GREY = (110, 110, 110)
PAPER = (250, 248, 240)


def feed_badge(x, y, s):
    """The orange feed badge: a rounded square with a dot and two arcs, at (x, y), side s."""
    return [
        box(x, y, x + s, y + s, DARK_ORANGE),
        box(x + s * 0.06, y + s * 0.06, x + s * 0.94, y + s * 0.94, ORANGE),
        disc(x + s * 0.28, y + s * 0.72, s * 0.11, WHITE),
        ring(x + s * 0.2, y + s * 0.8, s * 0.3, s * 0.42, WHITE, 0, 90),
        ring(x + s * 0.2, y + s * 0.8, s * 0.54, s * 0.66, WHITE, 0, 90),
    ]


def subscribe():
    return feed_badge(0.06, 0.06, 0.66) + [
        box(0.62, 0.52, 0.78, 0.96, GREEN), box(0.46, 0.66, 0.94, 0.82, GREEN)]


def manage():
    shapes = [box(0.12, 0.08, 0.88, 0.92, GREY), box(0.16, 0.12, 0.84, 0.88, PAPER)]
    for i in range(4):
        y = 0.22 + i * 0.18
        shapes += [disc(0.27, y + 0.04, 0.055, ORANGE), box(0.38, y, 0.76, y + 0.08, BLUE)]
    return shapes


def refresh():
    return [
        ring(0.5, 0.5, 0.26, 0.38, GREEN, 20, 170),
        ring(0.5, 0.5, 0.26, 0.38, GREEN, 200, 350),
        polygon([(0.06, 0.42), (0.38, 0.42), (0.22, 0.62)], GREEN),
        polygon([(0.62, 0.58), (0.94, 0.58), (0.78, 0.38)], GREEN),
    ]


def stop():
    octagon = [(0.5 + 0.44 * math.cos(math.radians(22.5 + 45 * i)), 0.5 + 0.44 * math.sin(math.radians(22.5 + 45 * i)))
               for i in range(8)]
    return [polygon(octagon, RED), segment(0.33, 0.33, 0.67, 0.67, 0.12, WHITE),
            segment(0.33, 0.67, 0.67, 0.33, 0.12, WHITE)]


def mark_read():
    return [box(0.08, 0.2, 0.78, 0.76, GREY), box(0.12, 0.24, 0.74, 0.72, PAPER),
            segment(0.12, 0.26, 0.43, 0.5, 0.06, GREY), segment(0.43, 0.5, 0.74, 0.26, 0.06, GREY),
            segment(0.5, 0.66, 0.66, 0.84, 0.13, GREEN), segment(0.66, 0.84, 0.94, 0.46, 0.13, GREEN)]


def quick_filter():
    return [polygon([(0.1, 0.14), (0.9, 0.14), (0.58, 0.52), (0.58, 0.88), (0.42, 0.78), (0.42, 0.52)], BLUE),
            polygon([(0.2, 0.2), (0.8, 0.2), (0.55, 0.48), (0.45, 0.48)], (120, 170, 240))]


def search():
    return [ring(0.42, 0.42, 0.2, 0.3, BLUE), disc(0.42, 0.42, 0.2, (220, 235, 255)),
            segment(0.62, 0.62, 0.88, 0.88, 0.14, GREY)]


def warning():
    return [polygon([(0.5, 0.08), (0.94, 0.88), (0.06, 0.88)], (230, 180, 20)),
            box(0.45, 0.34, 0.55, 0.64, (40, 30, 0)), box(0.45, 0.7, 0.55, 0.8, (40, 30, 0))]


def notice():
    return [box(0.16, 0.08, 0.84, 0.92, GREY), box(0.2, 0.12, 0.8, 0.88, PAPER)] + [
        box(0.28, 0.22 + i * 0.16, 0.72, 0.28 + i * 0.16, BLUE) for i in range(4)]


def folder():
    return [polygon([(0.06, 0.24), (0.36, 0.24), (0.44, 0.32), (0.94, 0.32), (0.94, 0.84), (0.06, 0.84)],
                    (200, 150, 40)),
            polygon([(0.06, 0.4), (0.94, 0.4), (0.94, 0.84), (0.06, 0.84)], (240, 200, 90))]


def category_arrow():
    return [polygon([(0.3, 0.2), (0.75, 0.5), (0.3, 0.8)], BLUE)]


def render(shapes, n, style):
    """One n x n image; style 'normal', 'hot' (brighter) or 'disabled' (light grey)."""
    def pixel(x, y):
        total = [0, 0, 0]
        covered = 0
        for sy in range(SAMPLES):
            for sx in range(SAMPLES):
                u, v = (x + (sx + 0.5) / SAMPLES) / n, (y + (sy + 0.5) / SAMPLES) / n
                colour = None
                for shape in shapes:
                    colour = shape(u, v) or colour
                if colour is not None:
                    covered += 1
                    total = [t + c for t, c in zip(total, colour)]
        # Half-covered edge pixels are kept whole: blending into magenta would leave pink fringes.
        if covered * 2 < SAMPLES * SAMPLES:
            return MAGENTA
        r, g, b = (t / covered for t in total)
        if style == 'hot':
            r, g, b = (min(255, c * 1.1 + 18) for c in (r, g, b))
        elif style == 'disabled':
            # Wide enough a range that the shapes inside stay visible: a narrow one made the light icons a plain
            # grey square.
            grey = 0.3 * r + 0.59 * g + 0.11 * b
            r = g = b = 96 + grey * 0.6
        colour = tuple(int(round(c)) for c in (r, g, b))
        # Never the mask colour itself.
        return (254, 0, 254) if colour == MAGENTA else colour
    return pixel


def strip(drawings, n, style):
    images = [render(d(), n, style) for d in drawings]
    return bmp_bytes(n * len(images), n, lambda x, y: images[x // n](x % n, y))


# The toolbar's commands, in the order of its resource: subscribe, manage feeds, update now, stop, mark all feeds
# read, quick filter.
TOOLBAR = [subscribe, manage, refresh, stop, mark_read, quick_filter]
# The frame's image list: feed, notice, search results, filtered results.
FRAME_IMAGES = [lambda: feed_badge(0.08, 0.08, 0.84), notice, search, quick_filter]
# The pane's image manager: default feed, unreachable feed, search results, filtered results, category, notice.
PANE_IMAGES = [lambda: feed_badge(0.08, 0.08, 0.84), warning, search, quick_filter, folder, notice]


def main():
    outputs = {
        'toolbar-normal.bmp': strip(TOOLBAR, 24, 'normal'),
        'toolbar-hot.bmp': strip(TOOLBAR, 24, 'hot'),
        'toolbar-disabled.bmp': strip(TOOLBAR, 24, 'disabled'),
        'menu-images.bmp': strip(TOOLBAR, 16, 'normal'),
        'frame-images.bmp': strip(FRAME_IMAGES, 16, 'normal'),
        'pane-images.bmp': strip(PANE_IMAGES, 16, 'normal'),
    }
    for name, data in outputs.items():
        with open(os.path.join(ART, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
