#!/usr/bin/python3
"""Time to a first word, import included, Pyphen(lang=CODE).inserted(word),
with Pyphen and with morvane.pyphen, for every dictionary Pyphen knows (by
the first of its codes); the best of three fresh processes each, all in one
run, so that the file is read as a program reads it.

usage: PYTHONPATH=build/default/python bench/pyphen_load.py"""

import os
import subprocess
import sys

import pyphen

ONE = """
import sys, time
started = time.perf_counter()
if sys.argv[1] == "morvane":
    from morvane import pyphen
else:
    import pyphen
pyphen.Pyphen(lang=sys.argv[2]).inserted("hyphenation")
print(time.perf_counter() - started)
"""


def seconds(which, code):
    best = min(float(subprocess.run([sys.executable, "-c", ONE, which, code], capture_output=True,
                                    text=True, check=True).stdout) for _ in range(3))
    return best


def main():
    rows = []
    first_code = {}
    for code in sorted(pyphen.LANGUAGES):
        first_code.setdefault(os.path.realpath(pyphen.LANGUAGES[code]), code)
    for code in sorted(first_code.values()):
        theirs = seconds("pyphen", code)
        ours = seconds("morvane", code)
        rows.append((code, theirs, ours))
        print(f"{code:12} Pyphen {theirs * 1e3:8.1f} ms   morvane.pyphen {ours * 1e3:7.1f} ms   "
              f"{theirs / ours:6.1f} x", flush=True)
    slower = [code for code, theirs, ours in rows if ours > theirs]
    print(f"{len(rows)} dictionaries; slower than Pyphen: {', '.join(slower) or 'none'}")


if __name__ == "__main__":
    main()
