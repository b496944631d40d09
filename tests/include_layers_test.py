#!/usr/bin/env python3
"""The library's layers, read from its #include lines: no header includes
itself through others (no cycle anywhere in src/ and include/), each folder
of src/ includes only from the folders below it, and the core (common,
engine, formats, languages, install, and its public headers) includes no
ICU header and nothing of the full library, directly or through others.

usage: include_layers_test.py SOURCE_DIR
"""
import os
import re
import sys

# Folders of src/ from the bottom up; a folder may include its own and
# those of a lower rank.
RANKS = {"common": 0, "engine": 1, "formats": 2, "languages": 2, "install": 2,
         "text": 3, "html": 4, "layout": 4}
CORE = {"common", "engine", "formats", "languages", "install"}
FULL_HEADERS = {"morvane/html.hpp", "morvane/lines.hpp", "morvane/text.hpp",
                "morvane/morvane.hpp", "morvane/morvane.h"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def files(root):
    found = {}
    for top in ("src", "include"):
        for folder, _, names in os.walk(os.path.join(root, top)):
            for name in names:
                if name.endswith((".hpp", ".cpp", ".h")):
                    path = os.path.join(folder, name)
                    # The name an #include uses: from src/ or include/.
                    found[os.path.relpath(path, os.path.join(root, top))] = path
    return found


def main():
    root = sys.argv[1]
    known = files(root)
    includes = {}
    for name, path in known.items():
        with open(path, encoding="utf-8") as f:
            text = f.read()
        includes[name] = [(kind, target) for kind, target in INCLUDE.findall(text)]
    problems = []

    def folder(name):
        return name.split("/")[0] if "/" in name and not name.startswith("morvane/") else None

    for name, targets in includes.items():
        here = folder(name)
        for kind, target in targets:
            there = folder(target) if target in known else None
            if here and there and there != here and RANKS[there] >= RANKS[here]:
                problems.append(f"{name} includes {target}: {there} is not below {here}")

    # Everything a file reaches, through project headers.
    def reach(start):
        seen, stack, icu = set(), [start], []
        while stack:
            name = stack.pop()
            for kind, target in includes.get(name, []):
                if target.startswith("unicode/"):
                    icu.append((name, target))
                if target in known and target not in seen:
                    seen.add(target)
                    stack.append(target)
        return seen, icu

    for name in includes:
        seen, icu = reach(name)
        if name in seen:
            problems.append(f"{name} includes itself through others (an include cycle)")
        core = folder(name) in CORE or (name.startswith("morvane/") and name not in FULL_HEADERS)
        if core:
            for via, target in icu:
                problems.append(f"core file {name} reaches the ICU header <{target}> through {via}")
            for target in seen:
                if folder(target) in ("text", "html", "layout") or target in FULL_HEADERS:
                    problems.append(f"core file {name} reaches the full library's {target}")
    for p in sorted(set(problems)):
        print("FAIL", p)
    print(f"{len(includes)} files, {len(set(problems))} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
