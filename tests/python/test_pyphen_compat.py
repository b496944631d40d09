"""morvane.pyphen against Pyphen itself (Debian's python3-pyphen, used as a
black box): every method, on every word of each dictionary's test list, for
every installed dictionary, and every entry of LANGUAGES."""

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
            found.append(path)
    return found


def words_for(path, limit=None):
    """The test words of a dictionary's language (its file's, through links)."""
    name = os.path.basename(os.path.realpath(path))[5:-4]
    list_path = os.path.join(WORDS, name + ".txt.gz")
    if not os.path.exists(list_path):
        return ["hyphenation", "Silbentrennung", "asszonnyal", "монгол", "lettergrepen"]
    with gzip.open(list_path, "rt", encoding="utf-8") as f:
        return f.read().split()[:limit]


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
    words = words_for(path)
    # Capitals change how Pyphen writes a changed spelling.
    words += [w.upper() for w in words[:300]] + [w.capitalize() for w in words[300:600]]
    mine, pyphens = ours.Pyphen(filename=path), theirs.Pyphen(filename=path)
    left, right = ours.Pyphen(filename=path, left=1, right=3), theirs.Pyphen(filename=path, left=1, right=3)
    for word in words:
        assert answers(mine, word) == answers(pyphens, word), word
    for word in words[:500]:
        assert answers(left, word) == answers(right, word), word


def test_every_language_loads_and_answers_as_pyphen_does():
    assert len(theirs.LANGUAGES) > 50
    for code in sorted(theirs.LANGUAGES):
        mine = ours.Pyphen(lang=code)
        # By the file Pyphen's own fallback names: where that differs (Debian's
        # older Pyphen reads "sr-Latn" as the Cyrillic "sr"), ours is right.
        pyphens = theirs.Pyphen(filename=ours.LANGUAGES[ours.language_fallback(code)])
        for word in words_for(theirs.LANGUAGES[code], 200):
            assert answers(mine, word) == answers(pyphens, word), (code, word)


def test_languages_and_fallbacks_follow_pyphen():
    for code in ["en-US", "EN_us", "en-Latn-US", "de-CH-1901", "fr-FR", "xx", "no", "en_us_posix",
                 "de__CH", "", "en-", "sr-Cyrl", "fr-Latn-FR", "en-US_variant1-x"]:
        assert ours.language_fallback(code) == theirs.language_fallback(code), code
    # Serbian in Latin letters is never the Cyrillic "sr", which Debian's
    # older Pyphen gives.
    if "sr-Latn" in ours.LANGUAGES:
        for code in ["sr-Latn", "SR-LATN", "sr_latn"]:
            assert ours.language_fallback(code) == "sr-Latn", code
        assert ours.language_fallback("sr-Latn-RS") in ("sr-Latn_RS", "sr-Latn")
        assert ours.language_fallback("sr-Cyrl") == "sr"
    assert ours.language_fallback("fr-Latn-FR") == "fr"
    assert ours.language_fallback("en-US_variant1-x") == "en_US"
    assert set(ours.LANGUAGES) == set(theirs.LANGUAGES)
    assert ours.LANGUAGES["en_US"] == theirs.LANGUAGES["en_US"]
    with pytest.raises(KeyError) as unknown:
        ours.Pyphen(lang="xx")
    assert unknown.value.args == ("xx",)
    assert ours.Pyphen(lang="en-US").inserted("hyphenation") == theirs.Pyphen(lang="en-US").inserted(
        "hyphenation")


def test_a_language_without_a_dictionary_uses_the_built_in_patterns():
    assert ours.language_fallback("eo") is None or "eo" in ours.LANGUAGES
    assert ours.Pyphen(lang="eo").inserted("elektronika") == "elek-tro-ni-ka"
