#!/usr/bin/env bash
# The command end to end, file in, file out: --text on the prose of
# bench/texts/ and --html on a real HTML document, each repeated to 32 MB,
# in MB/s (best of three), with `wc -w` on the same file as a yardstick.
#
# usage: bench/command_throughput.sh PATH/TO/morvane-hyphenate
set -euo pipefail
cmd=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Seconds taken by the best of three runs of "$@" < $1 > /dev/null... output to a file.
best() {
  local input=$1 best=
  shift
  for _ in 1 2 3; do
    local start end
    start=$(date +%s.%N)
    "$@" <"$input" >"$work/out"
    end=$(date +%s.%N)
    best=$(echo "$start $end ${best:-1e9}" | awk '{d = $2 - $1; print (d < $3 ? d : $3)}')
  done
  echo "$best"
}

row() {
  local name=$1 file=$2 language=$3 mode=$4
  local big=$work/$name
  : >"$big"
  while [[ $(stat -c %s "$big") -lt $((32 << 20)) ]]; do cat "$file" >>"$big"; done
  local megabytes ours wc
  megabytes=$(awk -v b="$(stat -c %s "$big")" 'BEGIN {print b / 1048576}')
  ours=$(best "$big" "$cmd" "$mode" -l "$language" -s $'\u00AD')
  wc=$(best "$big" wc -w)
  printf '%-22s %8.1f MB/s   wc -w %8.1f MB/s\n' "$name $mode" \
    "$(awk -v m="$megabytes" -v s="$ours" 'BEGIN {print m / s}')" \
    "$(awk -v m="$megabytes" -v s="$wc" 'BEGIN {print m / s}')"
}

for language in en de ru el th; do
  row "$language" "$here/texts/$language.txt" "$language" --text
done
row handbook.en "$here/texts/handbook.en.html" en --html
