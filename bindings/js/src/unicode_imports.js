// What the engine asks the JavaScript engine of Unicode (src/unicode_js.cpp)
// and of character sets (src/charset_js.cpp): an Emscripten library, linked
// with --js-library.
mergeInto(LibraryManager.library, {
  // The text layer's class bits of one character (text/unicode.hpp).
  morvane_class_of: function (c) {
    const k = Module.morvaneClasses || (Module.morvaneClasses = {
      letter: /^[\p{L}\p{M}]$/u,
      space: /^\p{White_Space}$/u,
      mark: /^\p{M}$/u,
      // Scripts written without spaces (the line-break class SA).
      unspaced: /^[\p{Script=Thai}\p{Script=Lao}\p{Script=Khmer}\p{Script=Myanmar}\p{Script=Tai_Tham}\p{Script=Tai_Viet}\p{Script=New_Tai_Lue}\p{Script=Tai_Le}\p{Script=Ahom}]$/u,
      // Characters that may join a grapheme cluster of several (more than
      // Unicode's list, never fewer): marks, controls and format characters,
      // joiners, regional indicators, Hangul jamo and syllables, prepended
      // concatenation marks, emoji modifiers and tags.
      cluster: /^[\p{M}\p{Cc}\p{Cf}\p{Zl}\p{Zp}\u200d\u{1F1E6}-\u{1F1FF}\u1100-\u11ff\ua960-\ua97f\uac00-\ud7a3\ud7b0-\ud7ff\u0600-\u0605\u06dd\u070f\u0890\u0891\u08e2\u0d4e\u{110bd}\u{110cd}\u{111c2}\u{111c3}\u{1193f}\u{11941}\u{11a3a}\u{11a84}-\u{11a89}\u{11d46}\u{1F3FB}-\u{1F3FF}\u{E0020}-\u{E007F}]$/u,
    });
    if (c >= 0xD800 && c <= 0xDFFF) return 16 | 32;  // as ICU has them: NFC, a control
    const s = String.fromCodePoint(c);
    let bits = 0;
    const letter = k.letter.test(s);
    if (letter) bits |= 1;
    if (k.space.test(s)) bits |= 2;
    if (c >= 0x0E00 && letter && k.unspaced.test(s)) bits |= 4;
    if (c === 0x40 || c === 0x3A || c === 0x2E) bits |= 8;
    // In NFC by itself and not joined by NFC with what comes before.
    const hangulVowelOrFinal = (c >= 0x1160 && c <= 0x11FF) || (c >= 0xD7B0 && c <= 0xD7FF);
    if (c < 0x300 || (!k.mark.test(s) && !hangulVowelOrFinal && s.normalize("NFC") === s)) bits |= 16;
    if (c >= 0x300 && k.cluster.test(s)) bits |= 32;
    return bits;
  },

  // Whether NFC never joins c with what comes before it: its decomposition
  // begins with a character that combines with none before it (neither a
  // mark nor a Hangul vowel or final). U+09DF, say, is not in NFC by itself
  // but begins afresh.
  morvane_nfc_boundary_before: function (c) {
    const first = String.fromCodePoint(c).normalize("NFD").codePointAt(0);
    if ((first >= 0x1160 && first <= 0x11FF) || (first >= 0xD7B0 && first <= 0xD7FF)) return 0;
    return /^\p{M}$/u.test(String.fromCodePoint(first)) ? 0 : 1;
  },

  morvane_needs_nfc: function (word, length) {
    const s = String.fromCodePoint.apply(null, HEAPU32.subarray(word >> 2, (word >> 2) + length));
    return s.normalize("NFC") === s ? 0 : 1;
  },

  // `piece` in NFC into `out` (room for `room` code points); how many.
  morvane_nfc: function (piece, length, out, room) {
    const s = String.fromCodePoint.apply(null, HEAPU32.subarray(piece >> 2, (piece >> 2) + length));
    let n = 0;
    for (const ch of s.normalize("NFC")) {
      if (n < room) HEAPU32[(out >> 2) + n] = ch.codePointAt(0);
      ++n;
    }
    return n;
  },

  // starts[i] = 1 where a segment (kind 0 a grapheme cluster, 1 a word)
  // begins at code point i of the text.
  morvane_segments: function (text, length, kind, starts) {
    const codes = HEAPU32.subarray(text >> 2, (text >> 2) + length);
    const s = String.fromCodePoint.apply(null, codes);
    const indexOfUnit = new Map();
    for (let i = 0, unit = 0; i < length; ++i) {
      indexOfUnit.set(unit, i);
      unit += codes[i] > 0xFFFF ? 2 : 1;
    }
    const granularity = kind === 0 ? "grapheme" : "word";
    const segmenters = Module.morvaneSegmenters || (Module.morvaneSegmenters = {});
    const segmenter = segmenters[granularity] ||
        (segmenters[granularity] = new Intl.Segmenter(undefined, { granularity: granularity }));
    for (const part of segmenter.segment(s)) {
      const i = indexOfUnit.get(part.index);
      if (i !== undefined) HEAPU8[starts + i] = 1;
    }
  },

  // An office dictionary's bytes in its character set, as code points into
  // `out`: how many; -1 for a set TextDecoder does not know; -2 - N when
  // byte N is no character in it. ISO8859-1 is read, as browsers read it,
  // as windows-1252, which differs only in bytes 0x80-0x9F.
  morvane_decode: function (charset, charsetLength, bytes, length, out) {
    let label = UTF8ToString(charset, charsetLength).toLowerCase();
    if (label === "microsoft-cp1251") label = "windows-1251";
    let decoder;
    try {
      decoder = new TextDecoder(label, { fatal: true });
    } catch (e) {
      return -1;
    }
    const input = HEAPU8.slice(bytes, bytes + length);
    let text;
    try {
      text = decoder.decode(input);
    } catch (e) {
      // Where: the first byte after which the bytes so far are no text.
      const stepper = new TextDecoder(label, { fatal: true });
      for (let i = 0; i < length; ++i) {
        try {
          stepper.decode(input.subarray(i, i + 1), { stream: true });
        } catch (e2) {
          return -2 - i;
        }
      }
      return -2 - length;
    }
    let n = 0;
    for (const ch of text) HEAPU32[(out >> 2) + n++] = ch.codePointAt(0);
    return n;
  },
});
