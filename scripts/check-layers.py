#!/usr/bin/env python3
"""Holds the folders to their layers: fails on any include from a folder into a folder
above it or beside it in the same layer, and on a folder library linked to one that is
not below it. The layers and the links are read from cmake/Brisquelton.cmake
(BRISQUELTON_LAYERS, BRISQUELTON_DEPS_<folder>). tests/ and scripts/ may include anything.

    python3 scripts/check-layers.py [ROOT]"""
import os
import re
import sys

INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]*[<"]([^">]+)[">]', re.M)
SOURCE = (".h", ".hpp", ".c", ".cpp", ".inl", ".rc")


def cmake_lists(text, name):
    """The words of set(name ...) in the cmake text, or None."""
    match = re.search(r'^set\(%s\s+([^)]*)\)' % re.escape(name), text, re.M)
    return match.group(1).replace('"', " ").split() if match else None


def included_folder(root, src, name):
    """The top-level folder of the file an include names (beside the includer first, as
    the compiler looks); None for a file outside the tree, such as a system header."""
    for base in (os.path.dirname(src), root):
        path = os.path.normpath(os.path.join(base, name))
        if os.path.isfile(path):
            rel = os.path.relpath(path, root)
            return None if rel.startswith("..") else rel.split(os.sep)[0]
    return None


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    with open(os.path.join(root, "cmake", "Brisquelton.cmake"), encoding="utf-8") as f:
        cmake = f.read()
    layers = [row.split(",") for row in cmake_lists(cmake, "BRISQUELTON_LAYERS") or []]
    level = {folder: i for i, row in enumerate(layers) for folder in row}
    if not level:
        print("cmake/Brisquelton.cmake names no BRISQUELTON_LAYERS")
        return 1

    faults = []

    def check(what, folder, to):
        if to in level and to != folder and level[to] >= level[folder]:
            faults.append("%s %s (%s is %s %s)" % (what, to, to, "beside" if level[to] == level[folder] else "above",
                                                    folder))

    for folder in level:
        for dirpath, _, files in os.walk(os.path.join(root, folder)):
            for name in sorted(files):
                if not name.endswith(SOURCE):
                    continue
                src = os.path.join(dirpath, name)
                with open(src, encoding="utf-8", errors="replace") as f:
                    text = f.read()
                for match in INCLUDE.finditer(text):
                    line = text.count("\n", 0, match.start()) + 1
                    check("%s:%d: includes %s from" % (os.path.relpath(src, root), line, match.group(1)), folder,
                          included_folder(root, src, match.group(1)))
        for dep in cmake_lists(cmake, "BRISQUELTON_DEPS_" + folder) or []:
            check("cmake/Brisquelton.cmake: the %s library links" % folder, folder, dep)

    order = " < ".join(", ".join(row) for row in layers)
    for fault in faults:
        print(fault)
    if faults:
        print("%d uses point upward or sideways; the layers are %s" % (len(faults), order))
        return 1
    print("Every folder uses only the layers below it: %s" % order)
    return 0


if __name__ == "__main__":
    sys.exit(main())
