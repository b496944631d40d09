"""Pyphen's interface on morvane's engine: change ``import pyphen`` to
``from morvane import pyphen`` and keep the rest.

``Pyphen(lang=..., filename=..., left=2, right=2)`` reads an office-suite
dictionary (``hyph_*.dic``) the way Pyphen reads it — every pattern of the
file scores a word, as in TeX, ignoring the file's minimums, ``NOHYPHEN`` and
``NEXTLEVEL`` — so its answers are Pyphen's, while words are scored by
morvane's compiled engine. ``LANGUAGES`` maps language codes to the
dictionaries installed on the system (``/usr/share/hyphen``); a language with
no dictionary installed falls back to morvane's built-in patterns for it.

Where Pyphen and the office suites differ (Pyphen reads the two levels of a
``NEXTLEVEL`` file as one list), this module gives Pyphen's answers; use
:class:`morvane.Hyphenator` with ``dictionary=`` for the office suites' own.
"""

from __future__ import annotations

import os
import re
from typing import Dict, Iterator, List, Optional, Tuple

from . import _morvane

__all__ = ["LANGUAGES", "DataInt", "Pyphen", "language_fallback"]

DICTIONARY_DIRECTORY = "/usr/share/hyphen"


def _installed() -> Dict[str, str]:
    """Code → file for every dictionary installed: hyph_de_DE.dic gives
    "de_DE", and "de" too when no file claims it."""
    found: Dict[str, str] = {}
    try:
        names = sorted(os.listdir(DICTIONARY_DIRECTORY))
    except OSError:
        return found
    for name in names:
        if name.startswith("hyph_") and name.endswith(".dic"):
            code = name[5:-4]
            path = os.path.join(DICTIONARY_DIRECTORY, name)
            found[code] = path
            found.setdefault(code.split("_")[0], path)
    return found


#: Language code → dictionary file. Callers may read and change it.
LANGUAGES: Dict[str, str] = _installed()
# The codes language_fallback() knows: those installed when the module loaded.
_FALLBACK_CODES = frozenset(LANGUAGES)


def _subtag(index: int, part: str) -> str:
    if index == 0:
        return part.lower()
    return part.title() if len(part) == 4 else part.upper()


def language_fallback(language: str) -> Optional[str]:
    """The installed dictionary's code for ``language`` (``"en-Latn-US"`` →
    ``"en_Latn_US"``, ``"de-CH-1901"`` → ``"de_CH"``), dropping subtags from
    the end until one is installed; None when none is."""
    parts = language.replace("-", "_").split("_")
    while parts:
        candidate = "_".join(_subtag(i, p) for i, p in enumerate(parts))
        if candidate in _FALLBACK_CODES:
            return candidate
        parts.pop()
    return None


class DataInt(int):
    """A break position; ``data`` is ``(change, index, cut)`` where the break
    changes the spelling, else None."""

    def __new__(cls, value: int, data: Optional[Tuple[str, int, int]] = None) -> "DataInt":
        obj = super().__new__(cls, value)
        obj.data = data
        return obj


_PAIRS = re.compile(r"(\d?)(\D?)")


class _Dictionary:
    """A .dic file as Pyphen reads it: every line a pattern, read as pairs of
    an optional digit and an optional letter (so each digit of a run scores
    the next boundary), later lines for the same letters replacing earlier
    ones, lines that score nothing ignored."""

    def __init__(self, path: str) -> None:
        with open(path, "rb") as f:
            raw = f.read()
        first, _, body = raw.partition(b"\n")
        encoding = first.strip().decode("ascii", "replace") or "utf-8"
        try:
            text = body.decode(encoding)
        except LookupError:
            text = body.decode("cp1251" if "1251" in encoding else "latin-1")
        patterns: Dict[str, Tuple[List[int], Optional[Tuple[str, int, int]]]] = {}
        for line in text.splitlines():
            line = line.strip()
            if not line or line.startswith("%"):
                continue
            pattern, slash, change = line.partition("/")
            pairs = _PAIRS.findall(pattern)
            values = [int(digit) if digit else 0 for digit, _ in pairs]
            if max(values) == 0:
                continue
            letters = "".join(letter for _, letter in pairs)
            data = None
            if slash:
                fields = change.split(",")
                start = int(fields[1]) - 1 + (1 if letters.startswith(".") else 0)
                data = (fields[0], start, int(fields[2]))
            patterns[letters] = (values, data)
        self.patterns = patterns
        self.changes = any(data is not None for _, data in patterns.values())
        self.longest = max((len(k) for k in patterns), default=0)
        self.scored = [(letters, values) for letters, (values, _) in patterns.items()]

    def change_at(self, word: str, position: int) -> Optional[Tuple[str, int, int]]:
        """The change of the break after ``position`` letters of ``word``
        (lower case): that of the last pattern, by where it starts in
        ".word." and then by length, to give the boundary its score."""
        dotted = "." + word + "."
        boundary = position + 1
        best = -1
        data = None
        for start in range(boundary, -1, -1):
            # A pattern's scores may reach past its letters (digits in a row).
            for end in range(min(len(dotted), start + self.longest), start, -1):
                found = self.patterns.get(dotted[start:end])
                if found is None:
                    continue
                values = found[0]
                value = values[boundary - start] if boundary - start < len(values) else 0
                if value > best:
                    best, data = value, None
                    if found[1] is not None:
                        change, first, cut = found[1]
                        data = (change, first - (boundary - start), cut)
        return data


_cache: Dict[str, _Dictionary] = {}


class Pyphen:
    """Hyphenation by an office-suite dictionary, with Pyphen's interface and
    answers. ``filename`` names the .dic file, else ``lang`` a language
    (``LANGUAGES``, or morvane's built-in patterns); ``left`` and ``right``
    are the minimums of the first and last piece. An unknown language raises
    KeyError."""

    def __init__(
        self,
        filename: Optional[str] = None,
        lang: Optional[str] = None,
        left: int = 2,
        right: int = 2,
        cache: bool = True,
    ) -> None:
        self.left = left
        self.right = right
        self._dictionary: Optional[_Dictionary] = None
        if filename is None:
            code = language_fallback(lang) if lang is not None else None
            if code is not None and code in LANGUAGES:
                filename = LANGUAGES[code]
            else:
                builtin = _morvane.language(lang) if lang is not None else None
                if builtin is None:
                    raise KeyError(code)
                self._engine = builtin.with_minimums(max(left, 1), max(right, 1))
                return
        filename = os.fspath(filename)
        dictionary = _cache.get(filename) if cache else None
        if dictionary is None:
            dictionary = _Dictionary(filename)
            if cache:
                _cache[filename] = dictionary
        self._dictionary = dictionary
        self._engine = _morvane.from_scored_patterns(dictionary.scored, max(left, 1), max(right, 1))

    def positions(self, word: str) -> List[DataInt]:
        """Where ``word`` may break, as positions that carry the spelling
        change (``data``) of breaks that change it."""
        lower = word.lower()
        points = self._engine.positions(lower)
        dictionary = self._dictionary
        if dictionary is None or not dictionary.changes:
            return [DataInt(p) for p in points]
        return [DataInt(p, dictionary.change_at(lower, p)) for p in points]

    def iterate(self, word: str) -> Iterator[Tuple[str, str]]:
        """Every way to split ``word`` in two, the longest first part first."""
        upper = word.isupper()
        for position in reversed(self.positions(word)):
            if position.data:
                change, index, cut = position.data
                change = change.upper() if upper else change
                before, _, after = change.partition("=")
                yield word[: position + index] + before, after + word[position + index + cut :]
            else:
                yield word[:position], word[position:]

    def wrap(self, word: str, width: int, hyphen: str = "-") -> Optional[Tuple[str, str]]:
        """The longest first part that fits in ``width`` with ``hyphen``, with
        it, and the rest; None when none fits."""
        width -= len(hyphen)
        for w1, w2 in self.iterate(word):
            if len(w1) <= width:
                return w1 + hyphen, w2
        return None

    def inserted(self, word: str, hyphen: str = "-") -> str:
        """``word`` with ``hyphen`` at every break, spelled as the breaks spell it."""
        letters = list(word)
        upper = word.isupper()
        for position in reversed(self.positions(word)):
            if position.data:
                change, index, cut = position.data
                change = change.upper() if upper else change
                letters[position + index : position + index + cut] = change.replace("=", hyphen)
            else:
                letters.insert(position, hyphen)
        return "".join(letters)

    __call__ = inserted
