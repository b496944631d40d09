#!/usr/bin/env bash
# The command end to end, file in, file out: --text on the prose of
# bench/texts/ and --html on a real HTML document, each repeated to 32 MB,
# in MB/s (best of three), with `wc -w` on the same file as a yardstick:
# as it runs by default (text on a thread per processor) and with -j 1.
# Given the library's benchmark too, it runs the library's figure for the
# same text (BM_Text, BM_Html) between the command's runs, and prints the
# command's share of it: this machine's speed drifts, so only figures taken
# together make a ratio.
#
# usage: bench/command_throughput.sh PATH/TO/morvane-hyphenate [PATH/TO/morvane_bench]
set -euo pipefail
cmd=$1
library=${2:-}
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

# The library's best MB/s on a benchmark of morvane_bench, over three runs.
library_best() {
  local filter=$1 best=0
  for _ in 1 2 3; do
    local figure
    figure=$("$library" --benchmark_filter="^$filter\$" --benchmark_min_time=0.2 2>/dev/null |
      awk '/bytes_per_second/ {for (i = 1; i <= NF; i++) if ($i ~ /^bytes_per_second=/) {
             sub(/bytes_per_second=/, "", $i); v = $i + 0
             if ($i ~ /G\/s/) v *= 1024; if ($i ~ /k\/s/) v /= 1024; print v }}')
    best=$(awk -v a="$best" -v b="${figure:-0}" 'BEGIN {print (b > a ? b : a)}')
  done
  echo "$best"
}

row() {
  local name=$1 file=$2 language=$3 mode=$4 benchmark=$5
  local big=$work/$name
  : >"$big"
  while [[ $(stat -c %s "$big") -lt $((32 << 20)) ]]; do cat "$file" >>"$big"; done
  local megabytes ours one wc speed single
  megabytes=$(awk -v b="$(stat -c %s "$big")" 'BEGIN {print b / 1048576}')
  ours=$(best "$big" "$cmd" "$mode" -l "$language" -s $'\u00AD')
  one=$(best "$big" "$cmd" "$mode" -j 1 -l "$language" -s $'\u00AD')
  wc=$(best "$big" wc -w)
  speed=$(awk -v m="$megabytes" -v s="$ours" 'BEGIN {print m / s}')
  single=$(awk -v m="$megabytes" -v s="$one" 'BEGIN {print m / s}')
  printf '%-22s %7.1f MB/s  -j 1 %7.1f MB/s  wc -w %7.1f MB/s' "$name $mode" "$speed" "$single" \
    "$(awk -v m="$megabytes" -v s="$wc" 'BEGIN {print m / s}')"
  if [[ -n $library ]]; then
    local lib
    lib=$(library_best "$benchmark")
    printf '  library %7.1f MB/s  command %3.0f%% (-j 1 %3.0f%%)' "$lib" \
      "$(awk -v a="$speed" -v b="$lib" 'BEGIN {print (b > 0 ? 100 * a / b : 0)}')" \
      "$(awk -v a="$single" -v b="$lib" 'BEGIN {print (b > 0 ? 100 * a / b : 0)}')"
  fi
  printf '\n'
}

for language in en de ru el th; do
  row "$language" "$here/texts/$language.txt" "$language" --text "BM_Text/$language"
done
row handbook.en "$here/texts/handbook.en.html" en --html BM_Html/en
