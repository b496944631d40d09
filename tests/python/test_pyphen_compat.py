"""morvane.pyphen against Pyphen itself (Debian's python3-pyphen, used as a
black box): every method, on every word of each dictionary's test list, for
every installed dictionary without NEXTLEVEL (whose two levels Pyphen reads
as one list)."""

import gzip
import os

import pytest

from morvane import pyphen as ours

theirs = pytest.importorskip("pyphen", reason="Pyphen (python3-pyphen) is not installed")

WORDS = os.environ.get("MORVANE_DICTIONARY_WORDS")
DIRECTORY = "/usr/share/hyphen"


def dictionaries():
    if not os.path.isdir(DIRECTORY):
        return []
    found = []
    for name in sorted(os.listdir(DIRECTORY)):
        path = os.path.join(DIRECTORY, name)
        if name.startswith("hyph_") and name.endswith(".dic") and not os.path.islink(path):
            with open(path, "rb") as f:
                if b"NEXTLEVEL" not in f.read():
                    found.append(path)
    return found


def answers(h, word):
    return (
        h.inserted(word, "="),
        [(int(p), p.data) for p in h.positions(word)],
        list(h.iterate(word)),
        h.wrap(word, 6),
        h.wrap(word, 9, hyphen="--"),
    )


@pytest.mark.parametrize("path", dictionaries(), ids=os.path.basename)
def test_every_method_answers_as_pyphen_does(path):
    name = os.path.basename(path)[5:-4]
    with gzip.open(os.path.join(WORDS, name + ".txt.gz"), "rt", encoding="utf-8") as f:
        words = f.read().split()
    # Capitals change how Pyphen writes a changed spelling.
    words += [w.upper() for w in words[:300]] + [w.capitalize() for w in words[300:600]]
    mine, pyphens = ours.Pyphen(filename=path), theirs.Pyphen(filename=path)
    left, right = ours.Pyphen(filename=path, left=1, right=3), theirs.Pyphen(filename=path, left=1, right=3)
    for word in words:
        assert answers(mine, word) == answers(pyphens, word), word
    for word in words[:500]:
        assert answers(left, word) == answers(right, word), word


def test_languages_and_fallbacks_follow_pyphen():
    for code in ["en-US", "EN_us", "en-Latn-US", "de-CH-1901", "fr-FR", "xx", "no", "sr-Latn-RS",
                 "en_us_posix", "de__CH", "", "en-"]:
        assert ours.language_fallback(code) == theirs.language_fallback(code), code
    assert set(ours.LANGUAGES) == set(theirs.LANGUAGES)
    assert ours.LANGUAGES["en_US"] == theirs.LANGUAGES["en_US"]
    with pytest.raises(KeyError):
        ours.Pyphen(lang="xx")
    assert ours.Pyphen(lang="en-US").inserted("hyphenation") == theirs.Pyphen(lang="en-US").inserted(
        "hyphenation")


def test_a_language_without_a_dictionary_uses_the_built_in_patterns():
    assert ours.language_fallback("eo") is None or "eo" in ours.LANGUAGES
    assert ours.Pyphen(lang="eo").inserted("elektronika") == "elek-tro-ni-ka"
