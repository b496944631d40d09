"""Hyphenation for 73 languages, with TeX's patterns built in.

>>> import morvane
>>> morvane.Hyphenator("en").inserted("hyphenation", "-")
'hy-phen-ation'

A :class:`Hyphenator` is made from a built-in language (file code, name or
BCP 47 tag), an office-suite dictionary (``hyph_*.dic``) or TeX pattern files,
optionally with your own exceptions. Hyphenators are immutable and may be used
from any number of threads; long texts are hyphenated without holding the GIL.
They pickle, by what they were made from, so they can be sent to worker
processes.
"""

from __future__ import annotations

import os
from typing import Iterator, List, NamedTuple, Optional, Sequence, Tuple, TypeVar, Union

from . import _morvane
from ._morvane import Error

__all__ = [
    "Break",
    "Error",
    "Hyphenator",
    "Language",
    "SOFT_HYPHEN",
    "UnknownLanguage",
    "languages",
]
__version__: str = _morvane.__version__

SOFT_HYPHEN = "\u00ad"

PathLike = Union[str, "os.PathLike[str]"]
AnyText = TypeVar("AnyText", str, bytes)


class UnknownLanguage(Error, LookupError):
    """No built-in language has that code, name or tag."""


class Language(NamedTuple):
    """A built-in language: its file code, its name and its BCP 47 tags."""

    code: str
    name: str
    tags: Tuple[str, ...]


class Break(NamedTuple):
    """A place where a word may break: after ``position`` characters, with
    ``before`` ending the line (before the hyphen) and ``after`` beginning the
    next. ``standard`` is False where the spelling changes at the break, as
    some office dictionaries' breaks do (Hungarian ``asszonnyal``: ``asz`` and
    ``szonnyal``)."""

    position: int
    before: str
    after: str
    standard: bool


def languages() -> List[Language]:
    """Every built-in language."""
    return [Language(code, name, tuple(tags)) for code, name, tags in _morvane.languages()]


def _engine(source: Tuple[str, object]) -> "_morvane.Engine":
    kind, value = source
    if kind == "language":
        engine = _morvane.language(str(value))
        if engine is None:
            raise UnknownLanguage(f'no language "{value}"')
        return engine
    if kind == "dictionary":
        return _morvane.load_dictionary(str(value))
    return _morvane.load_patterns([str(p) for p in value])  # type: ignore[union-attr]


class Hyphenator:
    """Finds where words may break.

    Give exactly one of ``language`` (a file code such as ``"de-1996"``, a name
    such as ``"German_1996"`` or a BCP 47 tag such as ``"de-CH"``; English by
    default), ``dictionary`` (an office-suite ``.dic`` file) or ``patterns``
    (TeX pattern files or ``hyph-*.pat.txt`` line files). ``exceptions`` is
    exception text, a word a line with hyphens at its breaks, looked up before
    the language's own; ``left`` and ``right`` replace the minimums of the
    first and last piece.

    Raises :class:`UnknownLanguage` for an unknown language and :class:`Error`
    (with the file, line and reason) for a file that cannot be read.
    """

    def __init__(
        self,
        language: Optional[str] = None,
        *,
        dictionary: Optional[PathLike] = None,
        patterns: Optional[Sequence[PathLike]] = None,
        exceptions: Optional[str] = None,
        left: Optional[int] = None,
        right: Optional[int] = None,
    ) -> None:
        given = [x is not None for x in (language, dictionary, patterns)]
        if sum(given) > 1:
            raise ValueError("give one of language, dictionary and patterns")
        if dictionary is not None:
            source: Tuple[str, object] = ("dictionary", os.fspath(dictionary))
        elif patterns is not None:
            if isinstance(patterns, (str, os.PathLike)):
                patterns = [patterns]
            source = ("patterns", tuple(os.fspath(p) for p in patterns))
        else:
            code = _morvane.language_code(language or "en-us")
            source = ("language", code if code is not None else language)
        self._arguments = (source, exceptions, left, right)
        engine = _engine(source)
        if exceptions is not None:
            engine = engine.with_exceptions(exceptions)
        if left is not None or right is not None:
            engine = engine.with_minimums(
                engine.left_min if left is None else left,
                engine.right_min if right is None else right,
            )
        self._engine = engine

    def __reduce__(self):
        source, exceptions, left, right = self._arguments
        return (_rebuild, (source, exceptions, left, right))

    def __repr__(self) -> str:
        kind, value = self._arguments[0]
        return f"morvane.Hyphenator({kind}={value!r})"

    @property
    def left(self) -> int:
        """At least this many characters before the first break."""
        return self._engine.left_min

    @property
    def right(self) -> int:
        """At least this many characters after the last break."""
        return self._engine.right_min

    def positions(self, word: str) -> List[int]:
        """Where ``word`` may break: the number of characters before each break."""
        return self._engine.positions(word)

    def pieces(self, word: str) -> List[str]:
        """The pieces between the breaks: ``["hy", "phen", "ation"]``."""
        return self._engine.pieces(word)

    def inserted(self, word: str, hyphen: str = SOFT_HYPHEN) -> str:
        """``word`` with ``hyphen`` at every break."""
        return self._engine.inserted(word, hyphen)

    def breaks(self, word: str) -> List[Break]:
        """Every break with the text on each side, including those where the
        spelling changes."""
        return [Break(*b) for b in self._engine.breaks(word)]

    def spelled(self, word: str, hyphen: str = "-") -> str:
        """``word`` with ``hyphen`` at every break, spelled at each as the
        break spells it (``"asz-szony-nyal"``)."""
        return self._engine.spelled(word, hyphen)

    def text(self, s: AnyText, hyphen: str = SOFT_HYPHEN) -> AnyText:
        """Running text with ``hyphen`` at every break of every word, and
        everything else as it was. Given ``bytes`` (UTF-8), answers ``bytes``,
        and bytes that are not UTF-8 pass through untouched."""
        if isinstance(s, (bytes, bytearray)):
            return self._engine.text_bytes(bytes(s), hyphen)
        return self._engine.text(s, hyphen)

    def html(self, s: AnyText, hyphen: str = SOFT_HYPHEN, xhtml: Optional[bool] = None) -> AnyText:
        """An HTML or XHTML document with ``hyphen`` in the words of its text;
        tags, attributes, comments and the content of ``script``, ``style``,
        ``pre``, ``code`` and the like untouched. ``lang`` attributes choose
        the language; ``xhtml`` forces XML syntax (by default it is detected).
        Given ``bytes`` (UTF-8), answers ``bytes``."""
        if isinstance(s, (bytes, bytearray)):
            return self._engine.html_bytes(bytes(s), hyphen, bool(xhtml))
        return self._engine.html(s, hyphen, bool(xhtml))

    def iterate(self, word: str) -> Iterator[Tuple[str, str]]:
        """Every way to split ``word`` in two, the longest first part first."""
        for b in reversed(self._engine.breaks(word)):
            yield b[1], b[2]

    def wrap(self, word: str, width: int, hyphen: str = "-") -> Optional[Tuple[str, str]]:
        """The longest first part that fits in ``width`` characters with
        ``hyphen`` after it, with the hyphen, and the rest; None when no first
        part fits."""
        for before, after in self.iterate(word):
            if len(before) + len(hyphen) <= width:
                return before + hyphen, after
        return None


def _rebuild(source, exceptions, left, right) -> Hyphenator:
    kind, value = source
    if kind == "language":
        return Hyphenator(value, exceptions=exceptions, left=left, right=right)
    if kind == "dictionary":
        return Hyphenator(dictionary=value, exceptions=exceptions, left=left, right=right)
    return Hyphenator(patterns=value, exceptions=exceptions, left=left, right=right)
