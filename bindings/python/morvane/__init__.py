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

import os as _os
from collections import namedtuple as _namedtuple

# typing is read by type checkers only: importing it would cost a program
# that hyphenates a word more than the word does.
TYPE_CHECKING = False
if TYPE_CHECKING:
    import typing as _t


def _load_engine():
    """The compiled engine; an ImportError naming both Pythons when it was
    built for another one than this."""
    try:
        from . import _morvane as engine
    except ImportError as e:
        import pathlib
        import re
        import sys

        here = f"{sys.version_info.major}.{sys.version_info.minor}"
        for built in pathlib.Path(__file__).parent.glob("_morvane*.so"):
            tag = re.search(r"\.cpython-(\d)(\d+)", built.name)
            if tag and f"{tag.group(1)}.{tag.group(2)}" != here:
                raise ImportError(
                    f"morvane's engine ({built.name}) was built for Python "
                    f"{tag.group(1)}.{tag.group(2)}, not for this Python {here} "
                    f"({sys.executable}); build or install it with this Python"
                ) from e
        raise
    return engine


_morvane = _load_engine()
Error = _morvane.Error
del _load_engine

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

if TYPE_CHECKING:
    _PathLike = _t.Union[str, bytes, "_os.PathLike[str]"]
    _AnyText = _t.TypeVar("_AnyText", str, bytes)
_BYTES = (bytes, bytearray, memoryview)


class UnknownLanguage(Error, LookupError):
    """No built-in language has that code, name or tag."""


class Language(_namedtuple("Language", ["code", "name", "tags"])):
    """A built-in language: its file code (str), its name (str) and its BCP 47
    tags (a tuple of str)."""

    __slots__ = ()


class Break(_namedtuple("Break", ["position", "before", "after", "standard"])):
    """A place where a word may break: after ``position`` characters (int), with
    ``before`` ending the line (before the hyphen) and ``after`` beginning the
    next (str). ``standard`` is False where the spelling changes at the break,
    as some office dictionaries' breaks do (Hungarian ``asszonnyal``: ``asz``
    and ``szonnyal``)."""

    __slots__ = ()


def languages() -> _t.List[Language]:
    """Every built-in language."""
    return [Language(code, name, tuple(tags)) for code, name, tags in _morvane.languages()]


def _argument_error(name: str, value: object, kind: type = str) -> _t.Optional[Exception]:
    """What is wrong with an argument that should be a `kind`, if anything."""
    if not isinstance(value, kind) or (kind is int and isinstance(value, bool)):
        return TypeError(f"{name} must be {kind.__name__}, not {type(value).__name__}")
    if isinstance(value, str):
        try:
            value.encode("utf-8")
        except UnicodeEncodeError as e:
            return ValueError(f"{name} holds a lone surrogate (U+{ord(value[e.start]):04X}) "
                              f"at index {e.start}, which is no character")
    return None


def _call(method, *arguments: _t.Tuple[str, object, type]):
    """The engine's answer; where the engine refuses an argument, an error
    that names it as the caller does (found only then, so that calls that
    succeed pay nothing for it)."""
    try:
        return method(*(value for _, value, _ in arguments))
    except TypeError:
        for name, value, kind in arguments:
            problem = _argument_error(name, value, kind)
            if problem is not None:
                raise problem from None
        raise


def _path(value: _PathLike, name: str) -> str:
    """A path as a string, absolute, so that it means the same after chdir
    and in another process."""
    try:
        return _os.path.abspath(_os.fsdecode(value))
    except TypeError:
        raise TypeError(f"{name} must be a path (str, bytes or os.PathLike), "
                        f"not {type(value).__name__}") from None


def _engine(source: _t.Tuple[str, object]) -> "_morvane.Engine":
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
        language: _t.Optional[str] = None,
        *,
        dictionary: _t.Optional[_PathLike] = None,
        patterns: _t.Optional[_t.Sequence[_PathLike]] = None,
        exceptions: _t.Optional[str] = None,
        left: _t.Optional[int] = None,
        right: _t.Optional[int] = None,
    ) -> None:
        given = [x is not None for x in (language, dictionary, patterns)]
        if sum(given) > 1:
            raise ValueError("give one of language, dictionary and patterns")
        if dictionary is not None:
            source: _t.Tuple[str, object] = ("dictionary", _path(dictionary, "dictionary"))
        elif patterns is not None:
            if isinstance(patterns, (str, bytes, _os.PathLike)):
                patterns = [patterns]
            source = ("patterns", tuple(_path(p, "patterns") for p in patterns))
        else:
            if language is None:
                language = "en-us"
            problem = _argument_error("language", language)
            if problem is not None:
                raise problem
            code = _morvane.language_code(language)
            source = ("language", code if code is not None else language)
        for name, value, kind in (("left", left, int), ("right", right, int),
                                  ("exceptions", exceptions, str)):
            problem = None if value is None else _argument_error(name, value, kind)
            if problem is not None:
                raise problem
        self._arguments = (source, exceptions, left, right)
        engine = _engine(source)
        if exceptions is not None:
            engine = _call(engine.with_exceptions, ("exceptions", exceptions, str))
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

    def positions(self, word: str) -> _t.List[int]:
        """Where ``word`` may break: the number of characters before each break."""
        return _call(self._engine.positions, ("word", word, str))

    def pieces(self, word: str) -> _t.List[str]:
        """The pieces between the breaks: ``["hy", "phen", "ation"]``."""
        return _call(self._engine.pieces, ("word", word, str))

    def inserted(self, word: str, hyphen: str = SOFT_HYPHEN) -> str:
        """``word`` with ``hyphen`` at every break."""
        return _call(self._engine.inserted, ("word", word, str), ("hyphen", hyphen, str))

    def breaks(self, word: str) -> _t.List[Break]:
        """Every break with the text on each side, including those where the
        spelling changes."""
        return [Break(*b) for b in _call(self._engine.breaks, ("word", word, str))]

    def spelled(self, word: str, hyphen: str = "-") -> str:
        """``word`` with ``hyphen`` at every break, spelled at each as the
        break spells it (``"asz-szony-nyal"``)."""
        return _call(self._engine.spelled, ("word", word, str), ("hyphen", hyphen, str))

    def text(self, s: _AnyText, hyphen: str = SOFT_HYPHEN) -> _AnyText:
        """Running text with ``hyphen`` at every break of every word, and
        everything else as it was. Given ``bytes`` (UTF-8; or a bytearray or
        memoryview), answers ``bytes``, and bytes that are not UTF-8 pass
        through untouched."""
        if isinstance(s, _BYTES):
            return _call(self._engine.text_bytes, ("s", bytes(s), bytes), ("hyphen", hyphen, str))
        return _call(self._engine.text, ("s", s, str), ("hyphen", hyphen, str))

    def html(self, s: _AnyText, hyphen: str = SOFT_HYPHEN,
             xhtml: _t.Optional[bool] = None) -> _AnyText:
        """An HTML or XHTML document with ``hyphen`` in the words of its text;
        tags, attributes, comments and the content of ``script``, ``style``,
        ``pre``, ``code`` and the like untouched. ``lang`` attributes choose
        the language; ``xhtml`` forces XML syntax (by default it is detected).
        Given ``bytes`` (UTF-8; or a bytearray or memoryview), answers
        ``bytes``."""
        if isinstance(s, _BYTES):
            return _call(self._engine.html_bytes, ("s", bytes(s), bytes), ("hyphen", hyphen, str),
                         ("xhtml", bool(xhtml), bool))
        return _call(self._engine.html, ("s", s, str), ("hyphen", hyphen, str), ("xhtml", bool(xhtml), bool))

    def iterate(self, word: str) -> _t.Iterator[_t.Tuple[str, str]]:
        """Every way to split ``word`` in two, the longest first part first."""
        for b in reversed(_call(self._engine.breaks, ("word", word, str))):
            yield b[1], b[2]

    def wrap(self, word: str, width: int, hyphen: str = "-") -> _t.Optional[_t.Tuple[str, str]]:
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


def __dir__() -> _t.List[str]:
    return sorted(__all__ + ["__version__", "pyphen"])
