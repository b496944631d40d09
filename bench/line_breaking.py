"""Line breaking beside fmt and par (black boxes) on the prose paragraphs of
real texts: lines, lines whose end leaves a gap wider than a tenth of the
width, and the sum of squared gaps (every line but a paragraph's last), in
characters. Also the speed of `--width 72` on 1 MB of text, and a picture of
one paragraph's line fill, first fit against total fit.

usage: python3 bench/line_breaking.py PATH/TO/morvane-hyphenate [SVG_OUT]
"""

import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
TEXTS = [("en", "en-us", os.path.join(HERE, "texts", "en.txt")),
         ("de", "de-1996", os.path.join(HERE, "texts", "de.txt")),
         ("en", "en-us", os.path.join(HERE, "..", "examples", "en.txt")),
         ("de", "de-1996", os.path.join(HERE, "..", "examples", "de.txt")),
         ("fr", "fr", os.path.join(HERE, "..", "examples", "fr.txt"))]


def paragraphs(path, least_words=40):
    """The paragraphs of prose: blank-line separated, of many words, each
    joined into one line."""
    with open(path, encoding="utf-8") as f:
        blocks = f.read().split("\n\n")
    found = []
    for block in blocks:
        words = block.split()
        letters = sum(c.isalpha() for c in block)
        if len(words) >= least_words and letters > 0.7 * len(block.replace(" ", "").replace("\n", "")):
            found.append(" ".join(words))
    return found


def run(command, text):
    return subprocess.run(command, input=text, capture_output=True, text=True, check=True).stdout


def formatters(morvane, language, width):
    return {
        "fmt": ["fmt", "-w", str(width)],
        "par": ["par", f"w{width}"],
        "morvane --greedy": [morvane, "-l", language, "--width", str(width), "--greedy"],
        "morvane": [morvane, "-l", language, "--width", str(width)],
    }


def measure(lines, width):
    """(lines, gappy lines, sum of squared gaps), the last line not counted."""
    gaps = [width - len(line) for line in lines[:-1]]
    return len(lines), sum(g > width / 10 for g in gaps), sum(g * g for g in gaps)


def compare(morvane):
    print("width  formatter          lines  gappy  squared gaps  (prose paragraphs of "
          + ", ".join(sorted({os.path.relpath(p, os.path.join(HERE, '..')) for _, _, p in TEXTS})) + ")")
    for width in (40, 60, 72):
        totals = {}
        for _, language, path in TEXTS:
            for paragraph in paragraphs(path):
                for name, command in formatters(morvane, language, width).items():
                    lines = run(command, paragraph + "\n").rstrip("\n").split("\n")
                    row = measure(lines, width)
                    old = totals.get(name, (0, 0, 0))
                    totals[name] = tuple(a + b for a, b in zip(old, row))
        for name, (lines, gappy, squared) in totals.items():
            print(f"{width:5}  {name:17} {lines:6} {gappy:6} {squared:13}")


def speed(morvane):
    with open(TEXTS[0][2], encoding="utf-8") as f:
        text = f.read()
    big = text * (1 + (1 << 20) // len(text))
    with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
        f.write(big)
        name = f.name
    try:
        for extra in ([], ["--greedy"]):
            best = float("inf")
            for _ in range(3):
                with open(name, "rb") as source, open(os.devnull, "wb") as sink:
                    start = time.perf_counter()
                    subprocess.run([morvane, "--width", "72", *extra], stdin=source, stdout=sink,
                                   stderr=subprocess.DEVNULL, check=True)
                    best = min(best, time.perf_counter() - start)
            mb = len(big.encode()) / 1e6
            print(f"speed: --width 72 {' '.join(extra)}: {mb:.1f} MB in {best:.2f} s, "
                  f"{mb / best:.1f} MB/s")
    finally:
        os.unlink(name)


def picture(morvane, out, width=40):
    """Bars of each line's length for the English paragraph where first and
    total fit differ most, first fit above total fit."""
    commands = formatters(morvane, "en-us", width)
    best = None
    for paragraph in paragraphs(TEXTS[0][2])[:60]:
        rows = [(name, run(commands[name], paragraph + "\n").rstrip("\n").split("\n"))
                for name in ("morvane --greedy", "morvane")]
        difference = measure(rows[0][1], width)[2] - measure(rows[1][1], width)[2]
        if best is None or difference > best[0]:
            best = (difference, rows)
    rows = best[1]
    scale, bar, gap = 6, 12, 4
    height = sum(len(lines) for _, lines in rows) * (bar + gap) + 60 * len(rows)
    svg = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{width * scale + 220}" '
           f'height="{height}" font-family="sans-serif" font-size="12">']
    y = 20
    for name, lines in rows:
        label = "first fit (--greedy)" if "greedy" in name else "total fit (default)"
        _, gappy, squared = measure(lines, width)
        svg.append(f'<text x="0" y="{y}">{label}: {len(lines)} lines, {gappy} gappy, '
                   f'squared gaps {squared}</text>')
        y += 12
        for i, line in enumerate(lines):
            last = i == len(lines) - 1
            colour = "#bbbbbb" if last else "#4a7ab5"
            svg.append(f'<rect x="0" y="{y}" width="{len(line) * scale}" height="{bar}" '
                       f'fill="{colour}"/>')
            svg.append(f'<text x="{width * scale + 8}" y="{y + bar - 2}">{len(line)}</text>')
            y += bar + gap
        svg.append(f'<line x1="{width * scale}" y1="{y - len(lines) * (bar + gap) - 4}" '
                   f'x2="{width * scale}" y2="{y}" stroke="#c33"/>')
        y += 40
    svg.append("</svg>")
    with open(out, "w", encoding="utf-8") as f:
        f.write("\n".join(svg) + "\n")
    print(f"picture: {out}")


def main(argv):
    morvane = argv[0]
    compare(morvane)
    speed(morvane)
    if len(argv) > 1:
        picture(morvane, argv[1])


if __name__ == "__main__":
    main(sys.argv[1:])
