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
check "invalid UTF-8 argument" 1 'hy-phen-ation\n' 'byte offset 2' hyphenation $'ab\xff'
check "version" 0 "morvane-hyphenate $("$cmd" --version | cut -d' ' -f2)\n" '' --version
[[ $("$cmd" --list-languages | wc -l) -eq 73 ]] && passes=$((passes + 1)) || { echo "FAIL list-languages"; failures=$((failures + 1)); }
[[ $("$cmd" --help) == usage:* ]] && passes=$((passes + 1)) || { echo "FAIL help"; failures=$((failures + 1)); }

input='hyphenation\n  table\nprojects\n\n'
check "--words keeps lines whole" 0 'hy-phen-ation\n  table\nprojects\n\n' '' --words
input='hyphenation\ntable'
check "--words without final line feed" 0 'hy-phen-ation\nta-ble\n' '' --words
input=''
check "--words on empty input" 0 '' '' --words
input='table\nbad\xff\nnever\n'
check "--words stops at invalid UTF-8" 1 'ta-ble\n' 'line 2' --words

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

echo "cli: $passes passed, $failures failed"
[[ $failures -eq 0 ]]
