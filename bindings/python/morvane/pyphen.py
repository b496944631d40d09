"""Pyphen's interface on morvane's engine: change ``import pyphen`` to
``from morvane import pyphen`` and keep the rest.

``Pyphen(lang=..., filename=..., left=2, right=2)`` reads an office-suite
dictionary (``hyph_*.dic``) the way Pyphen reads it — every pattern of the
file scores a word, as in TeX, ignoring the file's minimums, ``NOHYPHEN`` and
``NEXTLEVEL`` — so its answers are Pyphen's, while the file is read and words
are scored by morvane's compiled engine. ``LANGUAGES`` maps language codes to the
dictionaries installed on the system (``/usr/share/hyphen``); a language with
no dictionary installed falls back to morvane's built-in patterns for it.

Where Pyphen and the office suites differ (Pyphen reads the two levels of a
``NEXTLEVEL`` file as one list), this module gives Pyphen's answers; use
:class:`morvane.Hyphenator` with ``dictionary=`` for the office suites' own.
"""

from __future__ import annotations as _annotations

import os as _os

TYPE_CHECKING = False  # typing is read by type checkers only, as in __init__
if TYPE_CHECKING:
    import typing as _t

from . import _morvane

__all__ = ["LANGUAGES", "DataInt", "Pyphen", "language_fallback"]

DICTIONARY_DIRECTORY = "/usr/share/hyphen"


def _installed() -> _t.Dict[str, str]:
    """Code → file for every dictionary installed: hyph_de_DE.dic gives
    "de_DE", and "de" too when no file claims it."""
    found: _t.Dict[str, str] = {}
    try:
        names = sorted(_os.listdir(DICTIONARY_DIRECTORY))
    except OSError:
        return found
    for name in names:
        if name.startswith("hyph_") and name.endswith(".dic"):
            code = name[5:-4]
            path = _os.path.join(DICTIONARY_DIRECTORY, name)
            found[code] = path
            found.setdefault(code.split("_")[0], path)
    return found


#: Language code → dictionary file. Callers may read and change it.
LANGUAGES: _t.Dict[str, str] = _installed()
# The codes language_fallback() knows: those installed when the module
# loaded, found by their letters in lower case with "_" for "-".
_FALLBACK_CODES = {code.lower().replace("-", "_"): code for code in LANGUAGES}


def language_fallback(language: str) -> _t.Optional[str]:
    """The installed dictionary's code for ``language`` (``"en-Latn-US"`` →
    ``"en"``, ``"de-CH-1901"`` → ``"de_CH"``, ``"sr-Latn"`` → Serbian in Latin
    letters), dropping subtags from the end until one is installed; None when
    none is. Tags match without regard to case or to "-" and "_"."""
    parts = language.replace("-", "_").split("_")
    while parts:
        code = _FALLBACK_CODES.get("_".join(parts).lower())
        if code is not None:
            return code
        parts.pop()
    return None


class DataInt(int):
    """A break position; ``data`` is ``(change, index, cut)`` where the break
    changes the spelling, else None."""

    def __new__(cls, value: int, data: _t.Optional[_t.Tuple[str, int, int]] = None) -> "DataInt":
        obj = super().__new__(cls, value)
        obj.data = data
        return obj


_cache: _t.Dict[str, "_morvane.PyphenDictionary"] = {}


class Pyphen:
    """Hyphenation by an office-suite dictionary, with Pyphen's interface and
    answers. ``filename`` names the .dic file, else ``lang`` a language
    (``LANGUAGES``, or morvane's built-in patterns); ``left`` and ``right``
    are the minimums of the first and last piece. An unknown language raises
    KeyError."""

    def __init__(
        self,
        filename: _t.Optional[str] = None,
        lang: _t.Optional[str] = None,
        left: int = 2,
        right: int = 2,
        cache: bool = True,
    ) -> None:
        self.left = left
        self.right = right
        self._dictionary: _t.Optional["_morvane.PyphenDictionary"] = None
        if filename is None:
            code = language_fallback(lang) if lang is not None else None
            if code is not None and code in LANGUAGES:
                filename = LANGUAGES[code]
            else:
                builtin = _morvane.language(lang) if lang is not None else None
                if builtin is None:
                    raise KeyError(lang)
                self._engine = builtin.with_minimums(max(left, 1), max(right, 1))
                return
        filename = _os.path.abspath(_os.fsdecode(filename))
        dictionary = _cache.get(filename) if cache else None
        if dictionary is None:
            dictionary = _morvane.PyphenDictionary(filename)
            if cache:
                _cache[filename] = dictionary
        self._dictionary = dictionary
        self._engine = dictionary.engine(max(left, 1), max(right, 1))

    def positions(self, word: str) -> _t.List[DataInt]:
        """Where ``word`` may break, as positions that carry the spelling
        change (``data``) of breaks that change it."""
        lower = word.lower()
        points = self._engine.positions(lower)
        dictionary = self._dictionary
        if dictionary is None or not dictionary.has_changes:
            return [DataInt(p) for p in points]
        return [DataInt(p, c) for p, c in zip(points, dictionary.changes(lower, points))]

    def iterate(self, word: str) -> _t.Iterator[_t.Tuple[str, str]]:
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

    def wrap(self, word: str, width: int, hyphen: str = "-") -> _t.Optional[_t.Tuple[str, str]]:
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


def __dir__() -> _t.List[str]:
    return sorted(__all__ + ["DICTIONARY_DIRECTORY"])
