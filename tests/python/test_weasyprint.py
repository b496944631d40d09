"""A real client of Pyphen's interface: WeasyPrint renders a document in
five languages with CSS hyphens: auto, once with Pyphen and once with
morvane.pyphen in its place, and the two PDFs hold the same text."""

import shutil
import subprocess
import sys
import time

import pytest

pytest.importorskip("weasyprint", reason="WeasyPrint is not installed")
pytest.importorskip("pyphen", reason="Pyphen is not installed")
if shutil.which("pdftotext") is None:
    pytest.skip("pdftotext (poppler-utils) is not installed", allow_module_level=True)

DOCUMENT = """<!DOCTYPE html>
<html><head><meta charset="utf-8"><style>
  body { width: 9em; font-size: 12pt; hyphens: auto; text-align: justify }
</style></head><body>
<p lang="en">Typesetting justified text is a negotiation between the width of a
column and the length of its words: hyphenation characteristically helps.</p>
<p lang="de">Die Silbentrennung verbessert den Blocksatz erheblich, besonders in
schmalen Spalten mit Donaudampfschifffahrtsgesellschaften.</p>
<p lang="fr">La typographie française demande des coupures soigneusement
choisies, anticonstitutionnellement placées.</p>
<p lang="hu">Az elválasztás a sorkizárt szövegben különösen fontos,
asszonnyal és hosszú összetett szavakkal.</p>
<p lang="nl">Woordafbreking maakt uitgevulde tekst in smalle kolommen
aanzienlijk gelijkmatiger.</p>
</body></html>
"""

RENDER = """
import sys, time
if sys.argv[1] == "morvane":
    import morvane.pyphen
    sys.modules["pyphen"] = morvane.pyphen
import weasyprint
started = time.perf_counter()
weasyprint.HTML(string=open(sys.argv[2], encoding="utf-8").read()).write_pdf(sys.argv[3])
print(time.perf_counter() - started)
"""


def render(tmp_path, which):
    source = tmp_path / "document.html"
    source.write_text(DOCUMENT, encoding="utf-8")
    pdf = tmp_path / f"{which}.pdf"
    run = subprocess.run([sys.executable, "-c", RENDER, which, str(source), str(pdf)],
                         capture_output=True, text=True, check=True)
    text = subprocess.run(["pdftotext", "-layout", str(pdf), "-"], capture_output=True,
                          text=True, check=True).stdout
    return text, float(run.stdout.split()[-1])


def test_weasyprint_sets_the_same_text_with_either_pyphen(tmp_path):
    started = time.perf_counter()
    theirs, their_time = render(tmp_path, "pyphen")
    ours, our_time = render(tmp_path, "morvane")
    print(f"render: Pyphen {their_time:.2f} s, morvane.pyphen {our_time:.2f} s "
          f"(both with start-up {time.perf_counter() - started:.2f} s)")
    assert "\u00ad" not in ours
    assert ours.count("\u2010\n") + ours.count("-\n") >= 5, ours  # the narrow column is hyphenated
    assert ours == theirs
