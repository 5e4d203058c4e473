#!/usr/bin/env python3
"""Draws the options sheet's theme pictures: a small window with a menu bar and a toolbar in each command-bar
theme. Run it after changing a drawing; the outputs are kept in res/art."""
import importlib.util
import os

HERE = os.path.dirname(os.path.abspath(__file__))
ART = os.path.join(HERE, '..', '..', 'res', 'art')

_spec = importlib.util.spec_from_file_location('wizardart', os.path.join(HERE, 'make-wizard-art.py'))
wizardart = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(wizardart)
lerp = wizardart.lerp

W, H = 120, 60
FRAME = (96, 110, 140)
CAPTION = (60, 92, 160)
PAGE = (255, 255, 255)
TEXT = (120, 120, 120)
BUTTONS = [(200, 70, 60), (60, 140, 70), (60, 100, 190), (220, 160, 40)]


def themed(bar_top, bar_bottom, menu, hot, border=None, rounded=False):
    def pixel(x, y):
        if x == 0 or y == 0 or x == W - 1 or y == H - 1:
            return FRAME
        if y < 9:
            return CAPTION
        if y < 18:
            # The menu bar: four words.
            for i in range(4):
                if 12 <= y < 15 and 5 + i * 24 <= x < 22 + i * 24:
                    return (40, 40, 40)
            return menu
        if y < 34:
            inside = 3 <= x < 100 and 20 <= y < 32
            if rounded and inside and (x, y) in ((3, 20), (99, 20), (3, 31), (99, 31)):
                return menu
            if inside:
                if border and (x in (3, 99) or y in (20, 31)):
                    return border
                for i, colour in enumerate(BUTTONS):
                    left = 8 + i * 22
                    if left <= x < left + 12 and 22 <= y < 30:
                        return colour
                if i == 1 and 28 <= x < 44 and 21 <= y < 31:
                    return hot
                return lerp(bar_top, bar_bottom, (y - 20) / 11)
            return menu
        for line in range(4):
            if 38 + line * 5 <= y < 40 + line * 5 and 6 <= x < 110 - line * 12:
                return TEXT
        return PAGE
    return pixel


def main():
    wizardart.write_bmp(os.path.join(ART, 'theme-default.bmp'), W, H,
                        themed((212, 208, 200), (212, 208, 200), (212, 208, 200), (212, 208, 200),
                               border=(128, 128, 128)))
    wizardart.write_bmp(os.path.join(ART, 'theme-xp.bmp'), W, H,
                        themed((252, 252, 249), (226, 222, 212), (236, 233, 216), (193, 210, 238),
                               border=(172, 168, 153)))
    wizardart.write_bmp(os.path.join(ART, 'theme-office2003.bmp'), W, H,
                        themed((221, 236, 254), (129, 169, 226), (195, 218, 249), (255, 238, 194),
                               border=(59, 97, 156), rounded=True))


if __name__ == '__main__':
    main()
