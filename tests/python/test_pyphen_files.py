"""morvane.pyphen's reader against Pyphen (Debian's python3-pyphen, as a
black box) on hostile dictionaries made at random: comments, keywords,
digit runs, slashes, changes well and badly formed, long lines, white
space of every kind. Either both read a file and answer alike on every word
made of its letters, or both refuse it (but for a file of no patterns, which
Pyphen refuses)."""

import random

import pytest

from morvane import pyphen as ours

theirs = pytest.importorskip("pyphen", reason="Pyphen (python3-pyphen) is not installed")

LETTERS = "abcsz"


def line(rng):
    def letters(n):
        return "".join(rng.choice(LETTERS) for _ in range(n))

    pattern = "".join(rng.choice([rng.choice(LETTERS), str(rng.randrange(10)), "."])
                      for _ in range(rng.randrange(1, 8)))
    kind = rng.random()
    if kind < 0.1:
        return rng.choice(["%", "#", "  #", "% "]) + pattern + rng.choice(["", "/x=y,1,1", " 1/2"])
    if kind < 0.2:
        return rng.choice(["LEFTHYPHENMIN", "RIGHTHYPHENMIN", "COMPOUNDLEFTHYPHENMIN",
                           "COMPOUNDRIGHTHYPHENMIN", "NEXTLEVEL", "NOHYPHEN", "CHARSET"]) + \
            rng.choice([" 2", "2", "", " a1b", "\t3"])
    if kind < 0.4:
        start, cut = rng.randrange(-1, 6), rng.randrange(0, 4)
        return f"{pattern}/{letters(rng.randrange(3))}={letters(rng.randrange(3))},{start},{cut}"
    if kind < 0.45:
        return pattern + rng.choice(["/", "/x", "/x=", "/x=y,1", "/x=y,a,1", "/x=y, 1 ,2,extra",
                                     "//x=y,1,1", "/x=y,1_0,1"])
    if kind < 0.5:
        return rng.choice([" ", "\t", "\u00a0", "\r", "\x0b"]) + pattern + rng.choice(
            [" ", "\r", "\u2028x1y", " # note"])
    if kind < 0.52:
        return letters(120) + "1" + letters(3)  # longer than the C library's pieces
    return pattern


def answers(h, word):
    return (h.inserted(word, "="), [(int(p), p.data) for p in h.positions(word)],
            list(h.iterate(word)), h.wrap(word, 4))


def outcome(module, path, words):
    try:
        h = module.Pyphen(filename=path, left=1, right=1, cache=False) if module is ours else \
            module.Pyphen(filename=path, left=1, right=1, cache=False)
        return [answers(h, w) for w in words]
    except Exception:  # noqa: BLE001 - what matters is that both refuse the file
        return "refused"


@pytest.mark.parametrize("seed", range(6))
def test_random_dictionaries_read_as_pyphen_reads_them(seed, tmp_path):
    rng = random.Random(seed)
    for round_ in range(60):
        lines = ["UTF-8"] + [line(rng) for _ in range(rng.randrange(1, 12))]
        path = tmp_path / f"hyph_{round_}.dic"
        path.write_text("\n".join(lines) + rng.choice(["", "\n"]), encoding="utf-8")
        words = ["".join(rng.choice(LETTERS) for _ in range(rng.randrange(1, 9)))
                 for _ in range(30)]
        mine, pyphens = outcome(ours, str(path), words), outcome(theirs, str(path), words)
        if pyphens == "refused":
            # Pyphen refuses a file of no patterns too; this module reads it
            # as one that breaks nothing.
            assert mine == "refused" or not any(a[1] for a in mine), lines
            continue
        assert mine == pyphens, lines


def test_a_pattern_line_of_sixty_thousand_letters_is_read(tmp_path):
    path = tmp_path / "long.dic"
    path.write_text("UTF-8\n" + "a" * 60000 + "1b\nc1d\n", encoding="utf-8")
    mine = ours.Pyphen(filename=str(path), left=1, right=1)
    pyphens = theirs.Pyphen(filename=str(path), left=1, right=1)
    for word in ["cdab", "ab", "a" * 100 + "b"]:
        assert mine.inserted(word) == pyphens.inserted(word)
    assert mine.inserted("cdab") == "c-dab"


def test_long_words_with_changes_answer_as_pyphen(tmp_path):
    mine, pyphens = ours.Pyphen(lang="hu_HU"), theirs.Pyphen(lang="hu_HU")
    word = "asszonnyal" * 250
    assert mine.inserted(word) == pyphens.inserted(word)
    assert [(int(p), p.data) for p in mine.positions(word)] == \
        [(int(p), p.data) for p in pyphens.positions(word)]
