#!/usr/bin/env python3
"""Refuses an #include that points up the layer order.

Layers, lowest first: framework < toolkit < feeds < views, companions < app. A file includes its own layer and
those below; views and companions stand side by side and include neither each other nor app. Resource ids under
res/ may be included from anywhere. Tests, benchmarks and tools are not layers and are not checked.
"""
import os
import re
import sys

RANK = {"framework": 0, "toolkit": 1, "feeds": 2, "views": 3, "companions": 3, "app": 4}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".c", ".inl", ".rc")


def layer_of(relative_path):
    top = relative_path.split("/", 1)[0]
    return top if top in RANK else None


def allowed(from_layer, to_layer):
    if to_layer == from_layer:
        return True
    return RANK[to_layer] < RANK[from_layer]


def resolve(root, including_file, target):
    # The build puts the repository root on the include path; a bare name is looked up beside the file first.
    beside = os.path.normpath(os.path.join(os.path.dirname(including_file), target))
    if os.path.exists(beside):
        return os.path.relpath(beside, root).replace(os.sep, "/")
    return os.path.normpath(target).replace(os.sep, "/")


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", ".."))
    faults = []
    for layer in RANK:
        for folder, _, files in os.walk(os.path.join(root, layer)):
            for name in files:
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.join(folder, name)
                relative = os.path.relpath(path, root).replace(os.sep, "/")
                with open(path, encoding="utf-8", errors="replace") as source:
                    for number, line in enumerate(source, 1):
                        match = INCLUDE.match(line)
                        if not match:
                            continue
                        target = resolve(root, path, match.group(1))
                        target_layer = layer_of(target)
                        if target_layer and not allowed(layer, target_layer):
                            faults.append(f"{relative}:{number}: {layer} includes {target} ({target_layer})")
    for fault in faults:
        print(fault)
    if faults:
        print(f"check-layers: {len(faults)} include(s) point up the layer order", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
