"""The Python package against the command and the library's own answers:
the same breaks, errors with the library's messages, pickling, threads."""

import concurrent.futures
import os
import pickle
import subprocess

import pytest

import morvane

COMMAND = os.environ.get("MORVANE_COMMAND")
GOLDEN = os.environ.get("MORVANE_GOLDEN_DIR")


def golden(code, limit=300):
    """(word, hyphenated) pairs of TeX's own answers for a language."""
    with open(os.path.join(GOLDEN, code + ".tsv"), encoding="utf-8") as f:
        pairs = [line.rstrip("\n").split("\t") for line in f]
    return [p for p in pairs if len(p) == 2][:limit]


@pytest.mark.parametrize("code", ["en-us", "de-1996", "fr", "ru", "el-monoton", "hu"])
def test_words_break_as_tex_breaks_them(code):
    h = morvane.Hyphenator(code)
    for word, expected in golden(code):
        assert h.inserted(word, "-") == expected
        assert "".join(h.pieces(word)) == word
        if "-" not in word:
            assert h.positions(word) == [i for i, p in enumerate(_cuts(expected)) if p]


def _cuts(hyphenated):
    """For each character boundary of the word, whether it is a break."""
    marks = [False]
    for c in hyphenated:
        if c == "-":
            marks[-1] = True
        else:
            marks.append(False)
    return marks


def test_a_language_by_code_name_or_tag():
    assert morvane.Hyphenator("German_1996").inserted("Silbentrennung", "-") == "Sil-ben-tren-nung"
    assert morvane.Hyphenator("de-CH").inserted("Strasse", "-") == "Stras-se"
    assert morvane.Hyphenator().inserted("hyphenation", "-") == "hy-phen-ation"
    with pytest.raises(LookupError, match='no language "tlh"'):
        morvane.Hyphenator("tlh")
    codes = [language.code for language in morvane.languages()]
    assert len(codes) == 73 and "en-us" in codes


def test_text_and_html_agree_with_the_command(tmp_path):
    text = "Hyphenation of running text keeps punctuation, digits 123 and URLs http://x.org."
    html = '<p title="hyphenation">Hyphenation <code>hyphenation</code></p>'
    h = morvane.Hyphenator("en-us")
    if COMMAND:
        run = lambda *args, stdin: subprocess.run(  # noqa: E731
            [COMMAND, "-l", "en-us", "-s", "|", *args], input=stdin, capture_output=True, text=True,
            check=True).stdout
        assert h.text(text, "|") == run("--text", stdin=text)
        assert h.html(html, "|") == run("--html", stdin=html)
    assert h.html(html, "|") == '<p title="hyphenation">Hy|phen|ation <code>hyphenation</code></p>'


def test_wrap_and_iterate():
    h = morvane.Hyphenator("en-us")
    assert list(h.iterate("hyphenation")) == [("hyphen", "ation"), ("hy", "phenation")]
    assert h.wrap("hyphenation", 7) == ("hyphen-", "ation")
    assert h.wrap("hyphenation", 6) == ("hy-", "phenation")
    assert h.wrap("hyphenation", 2) is None
    hu = morvane.Hyphenator(dictionary=_dictionary("hu_HU"))
    assert list(hu.iterate("asszonnyal")) == [("asszony", "nyal"), ("asz", "szonnyal")]
    assert hu.wrap("asszonnyal", 5) == ("asz-", "szonnyal")


def _dictionary(name):
    path = f"/usr/share/hyphen/hyph_{name}.dic"
    if not os.path.exists(path):
        pytest.skip(f"{path} is not installed")
    return path


def test_dictionaries_patterns_and_exceptions(tmp_path):
    hu = morvane.Hyphenator(dictionary=_dictionary("hu_HU"))
    assert hu.spelled("asszonnyal") == "asz-szony-nyal"
    assert [b.standard for b in hu.breaks("asszonnyal")] == [False, False]
    patterns = tmp_path / "hyph-xx.pat.txt"
    patterns.write_text("1ba\n")
    assert morvane.Hyphenator(patterns=[patterns]).inserted("abababa", "-") == "aba-baba"
    mine = morvane.Hyphenator("en-us", exceptions="ta-ble\nhyphenation\n", left=1, right=1)
    assert mine.inserted("TABLE", "-") == "TA-BLE"
    assert mine.inserted("hyphenation", "-") == "hyphenation"
    assert (mine.left, mine.right) == (1, 1)
    bad = tmp_path / "hyph_bad.dic"
    bad.write_text("UTF-8\na1b c1d\n")
    with pytest.raises(morvane.Error, match=f"{bad}:2: more than one pattern on a line"):
        morvane.Hyphenator(dictionary=bad)


def test_hyphenators_pickle_by_what_they_were_made_from(tmp_path):
    exceptions = "ta-ble\n"
    for h in [morvane.Hyphenator("de-1996"), morvane.Hyphenator("en", exceptions=exceptions, left=1),
              morvane.Hyphenator(dictionary=_dictionary("hu_HU"))]:
        copy = pickle.loads(pickle.dumps(h))
        for word in ["Silbentrennung", "TABLE", "asszonnyal", "hyphenation"]:
            assert copy.inserted(word, "-") == h.inserted(word, "-")


def test_threads_share_a_hyphenator():
    h = morvane.Hyphenator("en-us")
    text = "hyphenation of a long text " * 20000
    expected = h.text(text, "-")
    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        assert all(r == expected for r in pool.map(lambda _: h.text(text, "-"), range(8)))


def test_bad_arguments_are_named():
    h = morvane.Hyphenator("en")
    with pytest.raises(TypeError, match="word must be str, not int"):
        h.inserted(3)
    with pytest.raises(ValueError, match=r"word holds a lone surrogate \(U\+D800\) at index 2"):
        h.positions("ab\ud800c")
    with pytest.raises(TypeError, match="hyphen must be str, not bytes"):
        h.inserted("word", b"-")
    with pytest.raises(TypeError, match="language must be str, not int"):
        morvane.Hyphenator(3)
    with pytest.raises(TypeError, match="left must be int, not str"):
        morvane.Hyphenator("en", left="2")
    with pytest.raises(morvane.UnknownLanguage):
        morvane.Hyphenator("")
    # Every bytes-like object is bytes.
    assert h.text(memoryview(b"hyphenation"), "-") == b"hy-phen-ation"
    assert h.html(bytearray(b"<p>hyphenation</p>"), "-") == b"<p>hy-phen-ation</p>"


def test_paths_as_bytes_and_relative_paths_that_outlive_a_chdir(tmp_path, monkeypatch):
    (tmp_path / "hyph_x.dic").write_text("UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\na1b\n")
    monkeypatch.chdir(tmp_path)
    h = morvane.Hyphenator(dictionary=b"hyph_x.dic")
    assert h.inserted("ab", "-") == "a-b"
    with pytest.raises(morvane.Error, match="cannot read .*none.dic: No such file"):
        morvane.Hyphenator(dictionary=b"none.dic")
    frozen = pickle.dumps(h)
    monkeypatch.chdir("/")
    assert pickle.loads(frozen).inserted("ab", "-") == "a-b"


def test_the_package_shows_its_own_names():
    assert set(dir(morvane)) == set(morvane.__all__) | {"__version__", "pyphen"}
