#!/usr/bin/env python3
"""Refuses an #include that points up the layer order.

Layers, lowest first: framework < toolkit < feeds < views, companions < app. A file includes its own layer and
those below; views and companions stand side by side and include neither each other nor app. Resource ids under
res/ may be included from anywhere. Tests, benchmarks and tools are not layers and are not checked.

Inside the toolkit the families keep their own order: base < commandbars, controls, taskpanel < customize. The
three in the middle stand side by side: what two of them need lives in base. A file directly in toolkit/ (the
resource script that gathers every family) stands above them all. A folder of the toolkit that is not in this
order is refused until it is given a place.
"""
import os
import re
import sys

RANK = {"framework": 0, "toolkit": 1, "feeds": 2, "views": 3, "companions": 3, "app": 4}
TOOLKIT_RANK = {"base": 0, "commandbars": 1, "controls": 1, "taskpanel": 1, "customize": 2, "": 3}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".c", ".inl", ".rc")


def place_of(relative_path):
    """The layer of a path, and within the toolkit its family ("" for a file directly in toolkit/)."""
    parts = relative_path.split("/")
    if parts[0] not in RANK:
        return None
    if parts[0] != "toolkit":
        return parts[0]
    return "toolkit/" + parts[1] if len(parts) > 2 else "toolkit/"


def rank_of(place):
    layer, _, family = place.partition("/")
    return RANK[layer], TOOLKIT_RANK.get(family) if layer == "toolkit" else 0


def allowed(from_place, to_place):
    if to_place == from_place:
        return True
    from_rank, from_inner = rank_of(from_place)
    to_rank, to_inner = rank_of(to_place)
    if from_rank != to_rank:
        return to_rank < from_rank
    if from_place.startswith("toolkit/"):
        return from_inner is not None and to_inner is not None and to_inner < from_inner
    # views and companions
    return False


def resolve(root, including_file, target):
    # The build puts the repository root on the include path; a bare name is looked up beside the file first.
    beside = os.path.normpath(os.path.join(os.path.dirname(including_file), target))
    if os.path.exists(beside):
        return os.path.relpath(beside, root).replace(os.sep, "/")
    return os.path.normpath(target).replace(os.sep, "/")


def find_faults(root):
    faults = []
    for layer in RANK:
        for folder, _, files in os.walk(os.path.join(root, layer)):
            for name in sorted(files):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.join(folder, name)
                relative = os.path.relpath(path, root).replace(os.sep, "/")
                place = place_of(relative)
                if rank_of(place)[1] is None:
                    faults.append(f"{relative}: {place} has no place in the toolkit's order")
                    continue
                with open(path, encoding="utf-8", errors="replace") as source:
                    for number, line in enumerate(source, 1):
                        match = INCLUDE.match(line)
                        if not match:
                            continue
                        target = resolve(root, path, match.group(1))
                        target_place = place_of(target)
                        if target_place and not allowed(place, target_place):
                            faults.append(f"{relative}:{number}: {place} includes {target} ({target_place})")
    return faults


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", ".."))
    faults = find_faults(root)
    for fault in faults:
        print(fault)
    if faults:
        print(f"check-layers: {len(faults)} include(s) point up the layer order", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
