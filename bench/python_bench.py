"""The Python package beside Pyphen (Debian's python3-pyphen) on the shared
English and German word lists, in one run: ns per word for morvane's
inserted(), for morvane.pyphen, and for Pyphen's first pass (every word new
to its cache) and its memoised repeat pass.

usage: PYTHONPATH=build/bench/python python3 bench/python_bench.py WORDS_DIR
"""

import sys
import time

import morvane
from morvane import pyphen as compatible

try:
    import pyphen
except ImportError:
    pyphen = None


def ns_per_word(function, words, rounds=3):
    best = float("inf")
    for _ in range(rounds):
        start = time.perf_counter_ns()
        for word in words:
            function(word)
        best = min(best, (time.perf_counter_ns() - start) / len(words))
    return best


def main(words_dir):
    for name, code, lang in [("en", "en-us", "en_US"), ("de", "de-1996", "de_DE")]:
        with open(f"{words_dir}/{name}.txt", encoding="utf-8") as f:
            words = [w for w in f.read().split() if w]
        ours = morvane.Hyphenator(code)
        ours_ns = ns_per_word(lambda w: ours.inserted(w, "-"), words)
        compat = compatible.Pyphen(lang=lang)
        compat_ns = ns_per_word(lambda w: compat.inserted(w), words)
        line = f"python {name}: morvane {ours_ns:.0f} ns/word, morvane.pyphen {compat_ns:.0f} ns/word"
        if pyphen is not None:
            # A fresh instance per timing, so that the first pass meets every
            # word for the first time.
            first = pyphen.Pyphen(lang=lang)
            start = time.perf_counter_ns()
            for w in words:
                first.inserted(w)
            first_ns = (time.perf_counter_ns() - start) / len(words)
            repeat_ns = ns_per_word(lambda w: first.inserted(w), words)
            line += (f"; Pyphen first pass {first_ns:.0f}, repeat {repeat_ns:.0f} ns/word"
                     f" ({first_ns / ours_ns:.0f}x and {repeat_ns / ours_ns:.1f}x morvane)")
        print(line, f"({len(words)} words)")


if __name__ == "__main__":
    main(sys.argv[1])
