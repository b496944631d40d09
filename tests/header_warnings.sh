#!/usr/bin/env bash
# The public headers compile without a warning under the strict flags a
# consumer may use, with g++ and with clang++; an older C++ is told what they
# need. KIND core checks the core's headers alone.
# usage: header_warnings.sh INCLUDE_DIR GENERATED_INCLUDE_DIR [full|core]
set -euo pipefail
kind=${3:-full}
flags=(-std=c++20 -fsyntax-only -Werror -Wall -Wextra -Wpedantic -Wconversion -Wshadow
       -Wsign-conversion -Wold-style-cast -I"$1" -I"$2")
source=$(mktemp --suffix=.cpp)
c_source=$(mktemp --suffix=.c)
trap 'rm -f "$source" "$source.err" "$c_source"' EXIT
full_only=" html.hpp lines.hpp text.hpp morvane.hpp "
for header in "$1"/morvane/*.hpp "$2"/morvane/*.hpp; do
  name=$(basename "$header")
  [[ $kind == core && $full_only == *" $name "* ]] && continue
  echo "#include <morvane/$name>" >>"$source"
done
[[ $kind == full ]] && echo "#include <morvane/morvane.h>" >>"$source"
echo 'int main() { return static_cast<int>(morvane::hyphenate(morvane::english_US, "word").size()); }' >>"$source"
for compiler in g++ clang++; do
  "$compiler" "${flags[@]}" "$source"
  echo "ok $compiler ($kind)"
done
for compiler in g++ clang++; do
  if "$compiler" -std=c++17 -fsyntax-only -I"$1" -I"$2" "$source" 2>"$source.err"; then
    echo "FAIL $compiler compiled the headers as C++17"; exit 1
  fi
  first=$(grep -m1 'error' "$source.err")
  [[ $first == *"morvane needs C++20"* ]] || { echo "FAIL $compiler under C++17: $first"; exit 1; }
  echo "ok $compiler (C++17 told)"
done
[[ $kind == core ]] && exit 0
# The C interface is C11 as well as C++.
echo '#include <morvane/morvane.h>' >"$c_source"
echo 'int main(void) { return morvane_language_count() == 73 ? 0 : 1; }' >>"$c_source"
for compiler in gcc clang; do
  "$compiler" -std=c11 -fsyntax-only -Werror -Wall -Wextra -Wpedantic -Wconversion -Wshadow \
    -Wstrict-prototypes -I"$1" "$c_source"
  echo "ok $compiler (C11)"
done
