#!/usr/bin/env bash
# Installs the build into a scratch prefix, then builds and runs three small
# projects that use morvane: through find_package, pkg-config and add_subdirectory.
# usage: run.sh SOURCE_DIR BUILD_DIR [CXX_FLAGS]   (the flags the build used, sanitizers included)
set -euo pipefail
source=$1
build=$2
flags=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
mkdir -p "$work/prefix/bin"  # (a build of the core alone installs no command there)
version=$(sed -n 's/^#define MORVANE_VERSION "\(.*\)"$/\1/p' "$build/include/morvane/version.hpp")
# Run from PREFIX/bin, the program finds the data under PREFIX.
expected="$version hy-phen-ation $work/prefix/share/morvane"

# check NAME KIND [CMAKE_ARGS...]: KIND core or full, the library it links.
check() {
  local name=$1 kind=$2
  shift 2
  local dir="$work/$name-$kind"
  cmake -S "$source/tests/consumers/$name" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS="$flags" "$@" >"$dir.log" 2>&1 ||
    { cat "$dir.log"; echo "FAIL $name ($kind): configure"; return 1; }
  cmake --build "$dir" >>"$dir.log" 2>&1 || { cat "$dir.log"; echo "FAIL $name ($kind): build"; return 1; }
  local got
  cp "$dir/app" "$work/prefix/bin/$name-$kind-app"
  got=$("$work/prefix/bin/$name-$kind-app")
  [[ $got == "$expected" ]] || { echo "FAIL $name ($kind): printed '$got', wanted '$expected'"; return 1; }
  echo "ok $name ($kind)"
}

pc_path="$work/prefix/lib/pkgconfig:$work/prefix/lib64/pkgconfig"
check find_package core -DCMAKE_PREFIX_PATH="$work/prefix" -DMORVANE_TARGET=morvane::core
PKG_CONFIG_PATH=$pc_path check pkg_config core -DMORVANE_MODULE=morvane-core
# A build of the core alone installs nothing more.
if [[ ! -f "$work/prefix/include/morvane/morvane.hpp" ]]; then
  [[ ! -e "$work/prefix/bin/morvane-hyphenate" ]] || { echo "FAIL a core build installed the command"; exit 1; }
  echo "ok the core alone"
  exit 0
fi
check find_package full -DCMAKE_PREFIX_PATH="$work/prefix" -DMORVANE_TARGET=morvane::morvane
PKG_CONFIG_PATH=$pc_path check pkg_config full -DMORVANE_MODULE=morvane
check add_subdirectory full -DMORVANE_SOURCE_DIR="$source"

# A C11 program, every warning an error, against the installed header and
# library as pkg-config describes them.
# shellcheck disable=SC2046,SC2086
gcc -std=c11 -Wall -Wextra -Werror -pedantic $flags "$source/tests/c_interface/c_interface_test.c" \
  -o "$work/prefix/bin/c-app" $(PKG_CONFIG_PATH=$pc_path pkg-config --cflags --libs morvane) ||
  { echo "FAIL C program: build"; exit 1; }
mkdir -p "$work/c-scratch"
"$work/prefix/bin/c-app" "$work/c-scratch" || { echo "FAIL C program: run"; exit 1; }

# The Python package is installed where Debian's Python finds packages
# under the prefix.
if [[ -d "$build/python/morvane" ]]; then
  got=$(PYTHONPATH="$work/prefix/lib/python3/dist-packages" /usr/bin/python3 -c \
    'import morvane; print(morvane.Hyphenator("en").inserted("hyphenation", "-"))')
  [[ $got == hy-phen-ation ]] || { echo "FAIL installed Python package printed '$got'"; exit 1; }
  echo "ok Python package"
fi

# The manual page is installed.
[[ -f "$work/prefix/share/man/man1/morvane-hyphenate.1" ]] || { echo "FAIL no manual page"; exit 1; }
echo "ok manual page"
