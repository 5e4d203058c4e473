#!/usr/bin/env python3
"""Draws the customise drag's no-target cursor (an arrow with a barred circle) beside this script."""
import importlib.util
import os

HERE = os.path.dirname(os.path.abspath(__file__))
spec = importlib.util.spec_from_file_location('toolkit_art', os.path.join(HERE, '..', '..', '..', 'tools',
                                                                          'make-toolkit-art.py'))
art = importlib.util.module_from_spec(spec)
spec.loader.exec_module(art)


def drag_none_shape():
    cells = set()
    for y in range(0, 17):
        for x in range(0, y // 2 + 1):
            cells.add((x, y))
    cx, cy = 21, 24
    for y in range(16, 32):
        for x in range(13, 30):
            d2 = (x - cx) ** 2 + (y - cy) ** 2
            if 25 <= d2 <= 49 or (abs((x - cx) - (cy - y)) <= 1 and d2 <= 36):
                cells.add((x, y))
    return cells


if __name__ == '__main__':
    with open(os.path.join(HERE, 'drag-none.cur'), 'wb') as out:
        out.write(art.cursor_bytes(art.outlined(drag_none_shape()), (0, 0)))
