#!/usr/bin/env python3
"""Writes the word lists the dictionary agreement test hyphenates with the
office suites' dictionaries: tests/dictionaries/words/NAME.txt.gz, one word
a line, for each hyph_NAME.dic of Debian's hyphen-* packages.

Each list has WORDS words the dictionary can spell (its character set, its
patterns' letters), in this order of sources:
  1. the golden words of the language where it is built in (lower case);
  2. the words of Debian's spelling dictionary for the language (hunspell-*:
     the stems, without affix flags), a seeded sample;
  3. words made of pieces of the golden hyphenations (two to four pieces),
     where the first two give too few; for Zulu, which is neither built in
     nor spelled by a Debian package, words of Zulu syllables.

usage: tools/make_dictionary_words.py [--hyphen-dir DIR] [--hunspell-dir DIR]
                                      [--golden-dir DIR] [--out DIR]
"""

import argparse
import gzip
import io
import pathlib
import random
import re

WORDS = 5200

# Dictionary → built-in language of its golden words (None: not built in).
GOLDEN = {
    'af_ZA': 'af', 'as_IN': 'as', 'be_BY': None, 'bg_BG': 'bg', 'bn_IN': 'bn', 'ca_ES': 'ca',
    'cs_CZ': 'cs', 'da_DK': 'da', 'de_DE': 'de-1996', 'el_GR': 'el-monoton', 'en_GB': 'en-gb',
    'en_US': 'en-us', 'es_ES': 'es', 'et_EE': 'et', 'fr': 'fr', 'gl_ES': 'gl', 'gu_IN': 'gu',
    'hi_IN': 'hi', 'hr_HR': 'hr', 'hu_HU': 'hu', 'id_ID': 'id', 'is_IS': 'is', 'it_IT': 'it',
    'kn_IN': 'kn', 'lt_LT': 'lt', 'lv_LV': 'lv', 'ml_IN': 'ml', 'mn_MN': 'mn-cyrl', 'mr_IN': 'mr',
    'nb_NO': 'nb', 'nl_NL': 'nl', 'nn_NO': 'nn', 'or_IN': 'or', 'pa_IN': 'pa', 'pl_PL': 'pl',
    'pt_BR': 'pt', 'pt_PT': 'pt', 'ro_RO': 'ro', 'ru_RU': 'ru', 'sk_SK': 'sk', 'sl_SI': 'sl',
    'sr-Latn_RS': 'sh-latn', 'sr_RS': 'sr-cyrl', 'sv_SE': 'sv', 'ta_IN': 'ta', 'te_IN': 'te',
    'th_TH': 'th', 'uk_UA': 'uk', 'zu_ZA': None,
}

# Dictionary → Debian spelling dictionary of its language (or of a language
# in the same script, for Assamese and Marathi).
HUNSPELL = {
    'as_IN': 'bn_IN', 'mr_IN': 'hi_IN', 'sr-Latn_RS': 'sr_Latn_RS', 'fr': 'fr',
    'kn_IN': None, 'or_IN': None, 'pa_IN': None, 'ta_IN': None, 'zu_ZA': None,
}

ZULU_ONSETS = ['', 'b', 'bh', 'c', 'd', 'dl', 'f', 'g', 'h', 'hh', 'hl', 'j', 'k', 'kh', 'l', 'm',
               'mb', 'mp', 'n', 'nd', 'ng', 'nj', 'nk', 'nt', 'ny', 'p', 'ph', 'q', 's', 'sh', 't',
               'th', 'tsh', 'v', 'w', 'x', 'y', 'z']
ZULU_VOWELS = ['a', 'e', 'i', 'o', 'u']


def charset_of(dic_path):
    with open(dic_path, 'rb') as f:
        name = f.readline().decode('ascii').strip()
    return {'microsoft-cp1251': 'cp1251'}.get(name, name)


def letters_of(dic_path, charset):
    """The characters the dictionary's patterns use, with hyphen and apostrophes."""
    text = pathlib.Path(dic_path).read_bytes().decode(charset, errors='replace')
    letters = set("-'’")
    for line in text.split('\n')[1:]:
        token = line.strip().split(' ')[0]
        if not token or token[0] in '%#' or token.isupper():
            continue
        letters.update(c for c in token.split('/')[0] if not c.isdigit() and c != '.')
    return letters


def spellable(word, letters, charset):
    if len(word) < 2 or not set(word) <= letters:
        return False
    try:
        word.encode(charset)
    except UnicodeEncodeError:
        return False
    return True


def golden_words(golden_dir, code):
    words, pieces = [], []
    if code is None:
        return words, pieces
    with open(golden_dir / f'{code}.tsv', encoding='utf-8') as f:
        for line in f:
            word, _, hyphenated = line.rstrip('\n').partition('\t')
            words.append(word.lower())
            if hyphenated == hyphenated.lower():
                pieces.extend(hyphenated.split('-'))
    return words, [p for p in pieces if p]


def hunspell_words(hunspell_dir, name):
    if name is None:
        return []
    path = hunspell_dir / f'{name}.dic'
    if not path.exists():
        return []
    aff = hunspell_dir / f'{name}.aff'
    encoding = 'utf-8'
    if aff.exists():
        match = re.search(rb'^SET\s+(\S+)', aff.read_bytes(), re.M)
        if match:
            encoding = match.group(1).decode('ascii')
    lines = path.read_bytes().decode(encoding, errors='replace').split('\n')[1:]
    stems = {line.split('/')[0].split('\t')[0].strip().lower() for line in lines}
    return sorted(s for s in stems if s)


def made_words(rng, pieces, count):
    out = set()
    for _ in range(count * 20):
        if len(out) >= count or not pieces:
            break
        out.add(''.join(rng.choice(pieces) for _ in range(rng.randint(2, 4))))
    return sorted(out)


def zulu_words(rng, count):
    syllables = [o + v for o in ZULU_ONSETS for v in ZULU_VOWELS]
    out = set()
    while len(out) < count:
        out.add(''.join(rng.choice(syllables) for _ in range(rng.randint(2, 5))))
    return sorted(out)


def words_for(name, dic_path, args):
    rng = random.Random(name)
    charset = charset_of(dic_path)
    letters = letters_of(dic_path, charset)
    chosen, seen = [], set()

    def take(words, limit=WORDS):
        for word in words:
            if len(chosen) >= limit:
                return
            if word not in seen and spellable(word, letters, charset):
                seen.add(word)
                chosen.append(word)

    golden, pieces = golden_words(args.golden_dir, GOLDEN[name])
    take(golden)
    spelling = hunspell_words(args.hunspell_dir, HUNSPELL.get(name, name))
    rng.shuffle(spelling)
    take(spelling)
    if name == 'zu_ZA':
        take(zulu_words(rng, WORDS * 2))
    take(made_words(rng, pieces, WORDS * 2))
    return chosen


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    root = pathlib.Path(__file__).resolve().parent.parent
    parser.add_argument('--hyphen-dir', type=pathlib.Path, default=pathlib.Path('/usr/share/hyphen'))
    parser.add_argument('--hunspell-dir', type=pathlib.Path,
                        default=pathlib.Path('/usr/share/hunspell'))
    parser.add_argument('--golden-dir', type=pathlib.Path, default=root / 'tests/golden')
    parser.add_argument('--out', type=pathlib.Path, default=root / 'tests/dictionaries/words')
    args = parser.parse_args()
    args.out.mkdir(parents=True, exist_ok=True)
    for dic_path in sorted(args.hyphen_dir.glob('hyph_*.dic')):
        if dic_path.is_symlink():
            continue
        name = dic_path.name[len('hyph_'):-len('.dic')]
        words = words_for(name, dic_path, args)
        buffer = io.BytesIO()
        with gzip.GzipFile(fileobj=buffer, mode='wb', mtime=0) as out:
            out.write(''.join(w + '\n' for w in words).encode('utf-8'))
        (args.out / f'{name}.txt.gz').write_bytes(buffer.getvalue())
        print(f'{name:12} {len(words):5} words')


if __name__ == '__main__':
    main()
