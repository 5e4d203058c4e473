#!/usr/bin/env python3
"""The include checker against small trees: one including file and the file it names, per case."""
import glob
import importlib.util
import os
import tempfile
import unittest

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))


def load_checker():
    path = glob.glob(os.path.join(ROOT, "tools", "**", "check-layers.py"), recursive=True)[0]
    spec = importlib.util.spec_from_file_location("check_layers", path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


checker = load_checker()

# including file, the text of its #include, where the named file lies (None: as named from the root), allowed
CASES = [
    ("toolkit/base/A.cpp", "framework/win/Wnd.h", None, True),
    ("toolkit/base/A.cpp", "toolkit/base/B.h", None, True),
    ("toolkit/base/A.cpp", "toolkit/commandbars/B.h", None, False),
    ("toolkit/base/A.cpp", "toolkit/customize/B.h", None, False),
    ("toolkit/commandbars/A.cpp", "toolkit/base/B.h", None, True),
    ("toolkit/commandbars/bars/A.cpp", "toolkit/base/B.h", None, True),
    ("toolkit/commandbars/A.cpp", "toolkit/controls/B.h", None, False),
    ("toolkit/controls/A.cpp", "toolkit/taskpanel/B.h", None, False),
    ("toolkit/taskpanel/A.cpp", "toolkit/commandbars/B.h", None, False),
    ("toolkit/commandbars/A.cpp", "toolkit/customize/B.h", None, False),
    ("toolkit/customize/A.cpp", "toolkit/commandbars/B.h", None, True),
    ("toolkit/customize/A.cpp", "toolkit/base/B.h", None, True),
    ("toolkit/Toolkit.rc", "toolkit/customize/Customize.rc", None, True),
    ("toolkit/base/Base.rc", "toolkit/Toolkit.rc", None, False),
    ("toolkit/base/A.cpp", "feeds/B.h", None, False),
    ("toolkit/extra/A.cpp", "framework/B.h", None, False),
    ("toolkit/base/A.cpp", "toolkit/extra/B.h", None, False),
    ("framework/A.cpp", "toolkit/base/B.h", None, False),
    ("feeds/A.cpp", "toolkit/taskpanel/B.h", None, True),
    ("views/A.cpp", "companions/B.h", None, False),
    ("app/A.cpp", "views/B.h", None, True),
    ("toolkit/base/A.cpp", "res/resource.h", None, True),
    # A bare name is looked up beside the including file first.
    ("toolkit/base/A.cpp", "B.h", "toolkit/base/B.h", True),
    ("toolkit/controls/A.cpp", "../commandbars/B.h", "toolkit/commandbars/B.h", False),
    ("toolkit/controls/A.cpp", "Missing.h", None, True),
]


def write(path, text=""):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


class CheckLayersTest(unittest.TestCase):
    def test_cases(self):
        for including, include, target, expected in CASES:
            with self.subTest(including=including, include=include), tempfile.TemporaryDirectory() as root:
                write(os.path.join(root, target or include))
                write(os.path.join(root, including), f'// a comment\n#include "{include}"\n')
                faults = checker.find_faults(root)
                self.assertEqual(expected, not faults, faults)

    def test_fault_names_the_line_and_both_places(self):
        with tempfile.TemporaryDirectory() as root:
            write(os.path.join(root, "toolkit/controls/B.h"))
            write(os.path.join(root, "toolkit/taskpanel/A.cpp"), '#pragma once\n#include "toolkit/controls/B.h"\n')
            self.assertEqual(["toolkit/taskpanel/A.cpp:2: toolkit/taskpanel includes toolkit/controls/B.h "
                              "(toolkit/controls)"], checker.find_faults(root))


if __name__ == "__main__":
    unittest.main()
