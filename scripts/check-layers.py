#!/usr/bin/env python3
"""Holds the folders to their layers. Fails on:
  - an include from a layer into a layer above it or beside it, or into any folder that is
    no layer (tests/, scripts/, resources/ ...);
  - a folder holding sources that is neither a layer nor a tool folder (TOOLS);
  - a layer's library linked to one that is not below it, wherever a CMake file makes the
    link: set(BRISQUELTON_DEPS_<folder> ...), list(APPEND|PREPEND|INSERT BRISQUELTON_DEPS_<folder> ...)
    or target_link_libraries(<folder> ...).
The layers are read from cmake/Brisquelton.cmake (BRISQUELTON_LAYERS). The tool folders may
include every layer. Hidden folders and build trees (a CMakeCache.txt inside) are not sources.

    python3 scripts/check-layers.py [ROOT]"""
import os
import re
import sys

INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]*[<"]([^">]+)[">]', re.M)
SOURCE = (".h", ".hpp", ".c", ".cpp", ".inl", ".rc")
# Folders above every layer: the tests, the build and bench helpers, the program's resources.
TOOLS = ("tests", "scripts", "resources")
# A CMake command with its arguments (no command of ours nests parentheses in its arguments).
COMMAND = re.compile(r'\b([A-Za-z_][A-Za-z0-9_]*)[ \t]*\(([^()]*)\)', re.S)
LINK_KEYWORDS = {"PUBLIC", "PRIVATE", "INTERFACE", "LINK_PUBLIC", "LINK_PRIVATE", "LINK_INTERFACE_LIBRARIES"}


def strip_comments(text):
    """CMake text with every # comment blanked (line numbers kept)."""
    return re.sub(r'#[^\n]*', lambda m: " " * len(m.group(0)), text)


def cmake_commands(text):
    """(name, words, line) of every command in the cmake text."""
    text = strip_comments(text)
    for match in COMMAND.finditer(text):
        line = text.count("\n", 0, match.start()) + 1
        yield match.group(1).lower(), match.group(2).replace('"', " ").split(), line


def layer_rows(cmake):
    for name, words, _ in cmake_commands(cmake):
        if name == "set" and words and words[0] == "BRISQUELTON_LAYERS":
            return [row.split(",") for row in words[1:]]
    return []


def cmake_files(root):
    for dirpath, dirs, files in walk(root):
        for name in sorted(files):
            if name == "CMakeLists.txt" or name.endswith(".cmake"):
                yield os.path.join(dirpath, name)


def links(text):
    """(library, linked, line) of every link the cmake text makes for a named library."""
    for name, words, line in cmake_commands(text):
        if name == "set" and words and words[0].startswith("BRISQUELTON_DEPS_"):
            deps = words[1:]
            lib = words[0][len("BRISQUELTON_DEPS_"):]
        elif name == "list" and len(words) > 1 and words[0] in ("APPEND", "PREPEND", "INSERT") \
                and words[1].startswith("BRISQUELTON_DEPS_"):
            deps = words[3:] if words[0] == "INSERT" else words[2:]
            lib = words[1][len("BRISQUELTON_DEPS_"):]
        elif name == "target_link_libraries" and words:
            lib, deps = words[0], words[1:]
        else:
            continue
        for dep in deps:
            if dep not in LINK_KEYWORDS:
                yield lib, dep, line


def walk(root):
    """os.walk over the tree without hidden folders and build trees."""
    for dirpath, dirs, files in os.walk(root):
        dirs[:] = sorted(d for d in dirs if not d.startswith(".")
                         and not os.path.isfile(os.path.join(dirpath, d, "CMakeCache.txt")))
        yield dirpath, dirs, files


def included_file(root, src, name):
    """The path (from the root) of the file an include names, beside the includer first as the
    compiler looks; None for a file outside the tree, such as a system header."""
    for base in (os.path.dirname(src), root):
        path = os.path.normpath(os.path.join(base, name))
        if os.path.isfile(path):
            rel = os.path.relpath(path, root)
            return None if rel.startswith("..") else rel
    return None


def check_tree(root):
    """The faults of the tree and the layer order, as (faults, order)."""
    path = os.path.join(root, "cmake", "Brisquelton.cmake")
    if not os.path.isfile(path):
        return ["cmake/Brisquelton.cmake is missing"], ""
    with open(path, encoding="utf-8") as f:
        layers = layer_rows(f.read())
    level = {folder: i for i, row in enumerate(layers) for folder in row}
    if not level:
        return ["cmake/Brisquelton.cmake names no BRISQUELTON_LAYERS"], ""
    order = " < ".join(", ".join(row) for row in layers)
    faults = []

    def relation(folder, to):
        return "beside" if level[to] == level[folder] else "above"

    for top in sorted(os.listdir(root)):
        if top.startswith(".") or not os.path.isdir(os.path.join(root, top)) \
                or os.path.isfile(os.path.join(root, top, "CMakeCache.txt")):
            continue
        sources = [os.path.join(dirpath, name) for dirpath, _, files in walk(os.path.join(root, top))
                   for name in sorted(files) if name.endswith(SOURCE)]
        if sources and top not in level and top not in TOOLS:
            faults.append("%s: %s/ is no layer and no tool folder (%s)" % (
                os.path.relpath(sources[0], root), top, ", ".join(TOOLS)))
        if top not in level:
            continue
        for src in sources:
            rel_src = os.path.relpath(src, root)
            with open(src, encoding="utf-8", errors="replace") as f:
                text = f.read()
            for match in INCLUDE.finditer(text):
                target = included_file(root, src, match.group(1))
                if target is None or os.sep not in target:
                    continue
                to = target.split(os.sep)[0]
                line = text.count("\n", 0, match.start()) + 1
                where = "%s:%d: includes %s" % (rel_src, line, match.group(1))
                if to not in level:
                    faults.append("%s (%s/ is no layer)" % (where, to))
                elif to != top and level[to] >= level[top]:
                    faults.append("%s from %s (%s is %s %s)" % (where, top, to, relation(top, to), top))

    for path in cmake_files(root):
        with open(path, encoding="utf-8", errors="replace") as f:
            text = f.read()
        for lib, dep, line in links(text):
            if lib in level and dep in level and dep != lib and level[dep] >= level[lib]:
                faults.append("%s:%d: the %s library links %s (%s is %s %s)" % (
                    os.path.relpath(path, root), line, lib, dep, dep, relation(lib, dep), lib))
    return faults, order


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    faults, order = check_tree(root)
    for fault in faults:
        print(fault)
    if faults:
        print("%d uses break the layers%s" % (len(faults), "; the layers are " + order if order else ""))
        return 1
    print("Every folder uses only the layers below it: %s" % order)
    return 0


if __name__ == "__main__":
    sys.exit(main())
