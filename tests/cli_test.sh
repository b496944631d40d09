#!/usr/bin/env bash
# End-to-end checks of the morvane-hyphenate command: output, exit statuses,
# and what happens to bad input. usage: cli_test.sh PATH/TO/morvane-hyphenate
set -u
cmd=$1
failures=0
passes=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# check NAME EXPECTED_STATUS EXPECTED_STDOUT [STDERR_PATTERN] -- ARGS... (stdin from $input)
check() {
  local name=$1 want_status=$2 want_out=$3 err_pattern=$4
  shift 4
  printf '%b' "$input" >"$work/in"
  "$cmd" "$@" <"$work/in" >"$work/out" 2>"$work/err"
  local status=$?
  printf '%b' "$want_out" >"$work/want"
  if [[ $status -ne $want_status ]] || ! cmp -s "$work/out" "$work/want" ||
     [[ -n $err_pattern && ! $(cat "$work/err") =~ $err_pattern ]] ||
     [[ -z $err_pattern && -s "$work/err" ]]; then
    echo "FAIL $name: status $status (want $want_status)"
    echo "  stdout: $(od -c "$work/out" | head -5)"
    echo "  stderr: $(cat "$work/err")"
    failures=$((failures + 1))
  else
    passes=$((passes + 1))
  fi
}

input=''
check "words as arguments" 0 'hy-phen-ation\nta-ble\n' '' hyphenation table
check "separator" 0 'hy=phen=ation\n' '' -s = hyphenation
check "language by tag" 0 'Sil-ben-tren-nung\n' '' -l de-DE Silbentrennung
check "language by name" 0 'Sil-ben-tren-nung\n' '' -l German_1996 Silbentrennung
check "unknown language" 2 '' 'list-languages' -l klingon word
check "unknown option" 2 '' 'usage:' --frobnicate
check "missing value" 2 '' 'usage:' -l
check "both modes" 2 '' 'usage:' --words --text
check "words and stdin mode" 2 '' 'usage:' --words hyphenation
check "invalid UTF-8 argument is reported and copied" 1 'hy-phen-ation\nab\xff\nta-ble\n' \
  'argument 2: invalid UTF-8 at byte offset 2' hyphenation $'ab\xff' table
check "long options with =" 0 'Sil/ben/tren/nung\n' '' --language=de --separator=/ Silbentrennung
check "short options joined" 0 'Sil/ben/tren/nung\n' '' -lde -s/ Silbentrennung
check "options after words" 0 'hy=phen=ation\n' '' hyphenation -s =
check "-- ends the options" 0 '--words\n' '' -- --words
check "unknown option after an action" 2 '' 'unknown option --bogus' --list-languages --bogus
check "unknown option before an action" 2 '' 'unknown option --bogus' --bogus --list-languages
check "unknown short option" 2 '' 'unknown option -x' -x hyphenation
check "explicit hyphens stay breaks" 0 'e-mail\nco-op-er-a-tion\n' '' e-mail co-operation
check "U+2010 is a hyphen too" 0 'co\xe2\x80\x90op-er-a-tion\n' '' $'co\xe2\x80\x90operation'
check "a word with spaces is text" 0 'hy-phen-ation ta-ble\n' '' 'hyphenation table'
check "apostrophes as the language sees them" 0 "au-jour-d'hui\n" '' -l fr "aujourd'hui"
check "an apostrophe English does not list" 0 "hy-phen-ation's\n" '' "hyphenation's"
check "decomposed letters" 0 'ма\xd0\xb8\xcc\x86-ский\n' '' -l ru $'ма\xd0\xb8\xcc\x86ский'
check "version" 0 "morvane-hyphenate $("$cmd" --version | cut -d' ' -f2)\n" '' --version
[[ $("$cmd" --list-languages | wc -l) -eq 73 ]] && passes=$((passes + 1)) || { echo "FAIL list-languages"; failures=$((failures + 1)); }
[[ $("$cmd" --help) == usage:* ]] && passes=$((passes + 1)) || { echo "FAIL help"; failures=$((failures + 1)); }

input='hyphenation\n  table\nprojects\n\n'
check "--words keeps every byte" 0 'hy-phen-ation\n  ta-ble\nprojects\n\n' '' --words
input='hyphenation\ntable'
check "--words without final line feed" 0 'hy-phen-ation\nta-ble' '' --words
input=''
check "--words on empty input" 0 '' '' --words
input='table\nbad\xff\nhyphenation\n\xc3\n'
check "--words reports invalid lines, copies them and goes on" 1 \
  'ta-ble\nbad\xff\nhy-phen-ation\n\xc3\n' 'line 2: invalid UTF-8 at byte offset 3.*line 4: invalid UTF-8 at byte offset 0' --words

input='The hyphenation, of text.\n'
check "--text" 0 'The hy|phen|ation, of text.\n' '' --text -s '|'
check "text is the default" 0 'The hy\xc2\xadphen\xc2\xadation, of text.\n' ''
input='hyphenation'
check "--text without final line feed" 0 'hy-phen-ation' '' --text -s -
input=''
check "--text on empty input" 0 '' '' --text
input='hyphen\xffation \xc3 hyphenation\n'
check "--text copies invalid UTF-8" 0 'hy-phen\xffation \xc3 hy-phen-ation\n' '' -s -
input='one two three\n'
check "--stats" 0 'one two three\n' 'words: 3' --stats -s -

input='<p class="x">hyphenation &amp; caf&eacute;s</p><pre>hyphenation</pre>\n'
check "--html" 0 '<p class="x">hy|phen|ation &amp; caf&eacute;s</p><pre>hyphenation</pre>\n' '' --html -s '|'
input='<p>hyphenation</p>'
check "--html with &shy;" 0 '<p>hy&shy;phen&shy;ation</p>' '' --html -s '&shy;'
input='<?xml version="1.0"?><p>hyphenation<br/>hyphenation</p>'
check "--xml" 0 '<?xml version="1.0"?><p>hy|phen|ation<br/>hy|phen|ation</p>' '' --xml -s '|'
input='<p lang="de">Silbentrennung</p><p lang="tlh">hyphenation</p>'
check "--html follows lang" 0 '<p lang="de">Sil|ben|tren|nung</p><p lang="tlh">hyphenation</p>' '' --html -s '|'
check "modes exclude each other" 2 '' 'exclude each other' --html --text

# Reading a directory or a closed standard input fails in every mode.
for mode in --words --text --html; do
  "$cmd" $mode </ >/dev/null 2>"$work/err"
  status=$?
  if [[ $status -eq 1 ]] && grep -q 'cannot read standard input' "$work/err"; then
    passes=$((passes + 1))
  else
    echo "FAIL $mode reading a directory: status $status, $(cat "$work/err")"; failures=$((failures + 1))
  fi
  "$cmd" $mode <&- >/dev/null 2>"$work/err"
  status=$?
  if [[ $status -eq 1 ]] && grep -q 'cannot read standard input' "$work/err"; then
    passes=$((passes + 1))
  else
    echo "FAIL $mode with standard input closed: status $status, $(cat "$work/err")"; failures=$((failures + 1))
  fi
done

# Every kind of output is checked: a full disk or a closed standard output
# is an error.
for args in "hyphenation" "--help" "--version" "--list-languages"; do
  for target in /dev/full closed; do
    [[ $target == /dev/full && ! -w /dev/full ]] && continue
    if [[ $target == closed ]]; then
      "$cmd" $args </dev/null >&- 2>"$work/err"
    else
      "$cmd" $args </dev/null >/dev/full 2>"$work/err"
    fi
    status=$?
    if [[ $status -eq 1 ]] && grep -q 'cannot write standard output' "$work/err"; then
      passes=$((passes + 1))
    else
      echo "FAIL $args into $target: status $status, $(cat "$work/err")"; failures=$((failures + 1))
    fi
  done
done

# --list-languages names the tags each language answers to.
if "$cmd" --list-languages | grep -q '^de-ch-1901 .*German_Swiss .*de-ch'; then
  passes=$((passes + 1))
else
  echo "FAIL list-languages shows no tags"; failures=$((failures + 1))
fi

# On a terminal the breaks of running text are visible.
printf 'hyphenation\n' >"$work/in"
got=$(script -qec "$cmd --text <$work/in" /dev/null </dev/null | tr -d '\r')
if [[ $got == "hy·phen·ation" ]]; then
  passes=$((passes + 1))
else
  echo "FAIL terminal separator: '$got'"; failures=$((failures + 1))
fi

# Memory stays bounded (the maximum resident set of the command, in KB): a
# 100 MB line in word mode, a 10 KB separator on a megabyte of text, a 20 MB
# line of NULs in word mode with a dictionary, and paragraphs of 4 MB set in
# lines, one of them 600,000 lines long.
printf 'UTF-8\nLEFTHYPHENMIN 1\na1b\n' >"$work/tiny.dic"
peak() {
  python3 - "$cmd" "$work" "$@" <<'PY'
import os, resource, subprocess, sys, threading
cmd, work, kind = sys.argv[1], sys.argv[2], sys.argv[3]
words = open(sys.argv[4]).read().split() if len(sys.argv) > 4 else []
if kind == "line":
    args, chunk, count = [cmd, "--words"], b"hyphenation" * 100000, 91
elif kind == "separator":
    args, chunk, count = [cmd, "--text", "-s", "=" * 10000], b"hyphenation " * 87000, 1
elif kind == "dictionary-line":
    args, chunk, count = [cmd, "--words", "--dic", work + "/tiny.dic"], b"\0" * 1000000, 20
elif kind == "narrow-paragraph":
    args, chunk, count = [cmd, "--width", "1"], b"a " * 600000, 1
else:
    text = " ".join(words[i * 7919 % len(words)] for i in range(700000)).encode()
    args, chunk, count = [cmd, "--width", "72"] + (["--greedy"] if kind == "greedy" else []), text, 1
# Under AddressSanitizer freed memory waits in a quarantine of 256 MB: not
# the command's own use, so kept small here.
env = dict(os.environ, ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":quarantine_size_mb=4")
p = subprocess.Popen(args, stdin=subprocess.PIPE, stdout=subprocess.PIPE, env=env)
def feed():
    for _ in range(count):
        p.stdin.write(chunk)
    p.stdin.write(b"\n")
    p.stdin.close()
threading.Thread(target=feed).start()
lines = sum(block.count(b"\n") for block in iter(lambda: p.stdout.read(1 << 16), b""))
status = p.wait()
print(status, resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss, lines)
PY
}
# Under ThreadSanitizer every byte carries shadow memory and metadata several
# times its size, and the command runs many times slower: the bounds are the
# plain build's to keep.
limit_kb=65536 seconds=20
if ldd "$cmd" 2>/dev/null | grep -q libtsan; then limit_kb=$((limit_kb * 8)) seconds=300; fi
for kind in line separator dictionary-line narrow-paragraph paragraph greedy; do
  read -r status kb lines < <(peak "$kind" "$(dirname "$0")/../bench/texts/en.txt")
  if [[ $status -eq 0 && $kb -lt $limit_kb ]] && [[ $kind != narrow-paragraph || $lines -eq 600000 ]]; then
    passes=$((passes + 1))
  else
    echo "FAIL memory for a long $kind: status $status, $kb KB, $lines lines"; failures=$((failures + 1))
  fi
done

# A failed write stops the command at once, in every mode, as cat stops:
# an endless input ends with the first write that fails.
for args in "" --words --html --xml "--width 60" "--words --dic $work/tiny.dic"; do
  for target in /dev/full closed; do
    [[ $target == /dev/full && ! -w /dev/full ]] && continue
    # shellcheck disable=SC2086
    if [[ $target == closed ]]; then
      timeout "$seconds" bash -c "yes hyphenation | \"\$0\" $args >&-" "$cmd" 2>"$work/err"
    else
      timeout "$seconds" bash -c "yes hyphenation | \"\$0\" $args >/dev/full" "$cmd" 2>"$work/err"
    fi
    status=$?
    if [[ $status -eq 1 ]] && grep -q 'cannot write standard output: ' "$work/err"; then
      passes=$((passes + 1))
    else
      echo "FAIL endless input ($args) into $target: status $status, $(cat "$work/err")"; failures=$((failures + 1))
    fi
  done
done

# Files of the user's own: dictionaries, patterns, exceptions, minimums.
printf 'ISO8859-1\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\ns5sz/sz=,1,1\nn5ny/ny=ny,1,3\n\xe41b\n' >"$work/x.dic"
printf '\\patterns{a1b}\n\\hyphenation{ab-ab-ab}\n' >"$work/x.tex"
printf 'hy-phen-a-tion\nExceptions\n' >"$work/mine.txt"
printf 'UTF-8\nLEFTHYPHENMIN 1\na1b c1d\n' >"$work/bad.dic"
input=''
check "dictionary: changed spelling as the C library shows it" 0 'asz-szony-nyal\nÄ-B\n' '' \
  --dic "$work/x.dic" asszonnyal ÄB
input='asszonnyal\nszép asszonnyal\n'
check "dictionary: word lines spelled, text lines as text" 0 'asz=szony=nyal\nszép asszonnyal\n' '' \
  --dic "$work/x.dic" --words -s =
input=''
check "dictionary error names file and line" 1 '' 'bad.dic:3: more than one pattern on a line' \
  --dic "$work/bad.dic" word
check "missing dictionary" 1 '' 'cannot read' --dic "$work/none.dic" word
check "TeX patterns with minimums" 0 'ab-ab-ab\na-bb\n' '' \
  --patterns "$work/x.tex" --left-min 1 --right-min 1 ababab abb
check "exceptions on top of the language" 0 'hy-phen-a-tion\nEXCEPTIONS\nta-ble\n' '' \
  --exceptions "$work/mine.txt" hyphenation EXCEPTIONS table
check "minimum word length" 0 'hyphenation\nhy-phen-ations\n' '' \
  --min-word-length 12 hyphenation hyphenations
check "language minimums changed" 0 'a-hoy\n' '' --left-min 1 --right-min 1 ahoy
check "bad minimum" 2 '' '--left-min needs a whole number' --left-min x word
check "language and dictionary" 2 '' 'exclude each other' -l de --dic "$work/x.dic" word

# A failed write is an error, not a success.
if [[ -w /dev/full ]]; then
  if "$cmd" hyphenation >/dev/full 2>"$work/err"; then
    echo "FAIL write error exits 0"; failures=$((failures + 1))
  elif ! grep -q 'cannot write' "$work/err"; then
    echo "FAIL write error not reported: $(cat "$work/err")"; failures=$((failures + 1))
  else
    passes=$((passes + 1))
  fi
fi

# A long input streams through in pieces and comes back whole.
python3 -c "import sys; sys.stdout.write('hyphenation ' * 300000 + 'x' * 3000000 + ' end\n')" >"$work/big"
"$cmd" -s '' <"$work/big" | cmp -s - "$work/big" && passes=$((passes + 1)) ||
  { echo "FAIL long input does not round-trip"; failures=$((failures + 1)); }

# Text hyphenated by several threads comes out as one thread writes it, and
# counts the same words: chunks cut at line ends, in order; a line of
# more than a megabyte (beyond what a chunk may hold) goes through whole.
texts=$(dirname "$0")/../bench/texts
{
  for _ in 1 2 3; do cat "$texts/en.txt" "$texts/th.txt" "$texts/de.txt"; done
  python3 -c "import sys; sys.stdout.write('Silbentrennung ' * 100000)"
  printf '\xff\r\n'
  cat "$texts/ru.txt"
  printf 'Silbentrennung'
} >"$work/many"
for threads in 1 3; do
  "$cmd" -l de -j "$threads" --stats <"$work/many" >"$work/many.$threads" 2>"$work/stats.$threads"
done
if cmp -s "$work/many.1" "$work/many.3" &&
   [[ $(grep words: "$work/stats.1") == $(grep words: "$work/stats.3") ]] &&
   [[ $(wc -c <"$work/many.1") -gt $(wc -c <"$work/many") ]]; then
  passes=$((passes + 1))
else
  echo "FAIL text hyphenated by threads differs from one thread's"; failures=$((failures + 1))
fi
check "threads need a number" 2 '' '--threads needs a whole number from 1' -j 0
check "threads need a number (long)" 2 '' '--threads needs a whole number from 1' --threads=many

# Paragraphs set in lines: indent kept, blank lines copied, words broken
# where that makes the paragraph better, padded with --justify.
input='  Typesetting justified text is a quiet negotiation\nbetween the width of a column and the length of its words.\n\nSecond one.\n'
check "width" 0 '  Typesetting justified text\nis a quiet negotiation be-\ntween the width of a column\nand the length of its words.\n\nSecond one.\n' '' --width 28
check "width justified" 0 '  Typesetting justified text\nis  a  quiet negotiation be-\ntween  the width of a column\nand the length of its words.\n\nSecond one.\n' '' --width 28 --justify
input='one two\r\nthree\r\n\r\nfour\r\n'
check "width with CRLF line ends" 0 'one two three\n\nfour\n' '' --width 20
input='a bbbbbbbbbbbbbbb c\n'
check "width word too long" 0 'a\nbbbbbbbbbbbbbbb\nc\n' 'wider than 10 columns' --width 10 -l de
check "width needs a number" 2 '' 'usage:' --width 0
check "justify needs width" 2 '' 'usage:' --justify
check "width is for text" 2 '' 'usage:' --width 20 --html
# Every line of a real text within the width, and the same words once the
# hyphens at line ends are joined up.
for mode in "" --greedy --justify; do
  # shellcheck disable=SC2086
  "$cmd" --width 36 $mode <"$(dirname "$0")/../examples/en.txt" >"$work/set"
  if awk 'length($0) > 36 { bad = 1 } END { exit bad }' "$work/set" &&
     diff <(tr -s ' \n' '\n\n' <"$(dirname "$0")/../examples/en.txt" | tr -d '-' | grep .) \
          <(sed -e ':a' -e '/-$/N; s/-\n//; ta' "$work/set" | tr -s ' \n' '\n\n' | tr -d '-' | grep .) >/dev/null; then
    passes=$((passes + 1))
  else
    echo "FAIL --width 36 $mode loses words or overflows"; failures=$((failures + 1))
  fi
done

# Paragraphs set by several threads come out as one thread sets them, the
# words too wide reported at the same output lines: chunks cut after blank
# lines (CRLF ones included), in order.
{
  for _ in 1 2 3; do
    cat "$texts/en.txt" "$texts/de.txt"
    printf '   indented\r\nwith CRLF\r\n\r\n \t \n%s\n\n' "$(printf 'x%.0s' {1..60})"
  done
  printf 'a last line without its end'
} >"$work/paragraphs"
for threads in 1 3; do
  "$cmd" --width 40 -l de -j "$threads" <"$work/paragraphs" >"$work/set.$threads" 2>"$work/set-err.$threads"
done
# Each report names a line that is too wide (in bytes, at least).
reported=$(grep -o 'output line [0-9]*' "$work/set-err.3" | grep -o '[0-9]*$' | tr '\n' ' ')
misreported=$(awk -v lines="$reported" 'BEGIN { split(lines, n, " "); for (k in n) want[n[k]] = 1 }
  (NR in want) && length($0) <= 40 { print NR }' "$work/set.3")
if cmp -s "$work/set.1" "$work/set.3" && cmp -s "$work/set-err.1" "$work/set-err.3" &&
   [[ $(wc -w <<<"$reported") -ge 3 && -z $misreported ]]; then
  passes=$((passes + 1))
else
  echo "FAIL paragraphs set by threads differ from one thread's"; failures=$((failures + 1))
fi
# A paragraph longer than a chunk stays one paragraph: set as it is when
# its lines come as one (which no chunk can cut).
python3 -c "import sys; sys.stdout.write(('hyphenation ' * 6 + '\n') * 6000 + 'end\n\nnext\n')" \
  >"$work/long-paragraph"
python3 -c "import sys; sys.stdout.write(('hyphenation ' * 6 + ' ') * 6000 + 'end\n\nnext\n')" \
  >"$work/long-line"
"$cmd" --width 40 -j 2 <"$work/long-paragraph" >"$work/long-set"
"$cmd" --width 40 -j 2 <"$work/long-line" >"$work/long-line-set"
if cmp -s "$work/long-set" "$work/long-line-set" && [[ $(wc -l <"$work/long-set") -gt 1000 ]]; then
  passes=$((passes + 1))
else
  echo "FAIL a paragraph longer than a chunk was cut"; failures=$((failures + 1))
fi

echo "cli: $passes passed, $failures failed"
[[ $failures -eq 0 ]]
