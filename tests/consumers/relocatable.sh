#!/usr/bin/env bash
# A shared build, installed under one prefix and then moved: the command still
# starts (its run path is relative to itself) and the library reports the
# new place. usage: relocatable.sh SOURCE_DIR [CXX_FLAGS]
set -euo pipefail
source=$1
flags=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake -S "$source" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
  -DMORVANE_BUILD_TESTS=OFF -DCMAKE_CXX_FLAGS="$flags" >"$work/log" 2>&1 ||
  { cat "$work/log"; exit 1; }
cmake --build "$work/build" >>"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
cmake --install "$work/build" --prefix "$work/first" >/dev/null
mv "$work/first" "$work/moved"
got=$(env -u LD_LIBRARY_PATH "$work/moved/bin/morvane-hyphenate" hyphenation)
[[ $got == hy-phen-ation ]] || { echo "FAIL moved command printed '$got'"; exit 1; }
# Read ldd's whole answer first: "grep -q" stopping early would make ldd die of
# SIGPIPE, which pipefail reports as a failure.
libraries=$(ldd "$work/moved/bin/morvane-hyphenate")
grep -q "libmorvane.so.* => $work/moved/" <<<"$libraries" ||
  { echo "FAIL the command does not use the moved library"; echo "$libraries"; exit 1; }
echo "ok relocatable shared install"
