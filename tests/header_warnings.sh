#!/usr/bin/env bash
# The public headers compile without a warning under the strict flags a
# consumer may use, with g++ and with clang++.
# usage: header_warnings.sh INCLUDE_DIR GENERATED_INCLUDE_DIR
set -euo pipefail
flags=(-std=c++20 -fsyntax-only -Werror -Wall -Wextra -Wpedantic -Wconversion -Wshadow
       -Wsign-conversion -Wold-style-cast -I"$1" -I"$2")
source=$(mktemp --suffix=.cpp)
trap 'rm -f "$source"' EXIT
for header in "$1"/morvane/*.hpp "$2"/morvane/*.hpp; do
  echo "#include <morvane/$(basename "$header")>" >>"$source"
done
echo "#include <morvane/morvane.h>" >>"$source"
echo 'int main() { return static_cast<int>(morvane::hyphenate(morvane::english_US, "word").size()); }' >>"$source"
for compiler in g++ clang++; do
  "$compiler" "${flags[@]}" "$source"
  echo "ok $compiler"
done
# An older standard is told what the headers need, not given a syntax error.
for compiler in g++ clang++; do
  if "$compiler" -std=c++17 -fsyntax-only -I"$1" -I"$2" "$source" 2>"$source.err"; then
    echo "FAIL $compiler compiled the headers as C++17"; exit 1
  fi
  first=$(grep -m1 'error' "$source.err")
  rm -f "$source.err"
  [[ $first == *"morvane needs C++20"* ]] || { echo "FAIL $compiler under C++17: $first"; exit 1; }
  echo "ok $compiler (C++17 told)"
done
# The C interface is C11 as well as C++.
c_source=$(mktemp --suffix=.c)
trap 'rm -f "$source" "$c_source"' EXIT
echo '#include <morvane/morvane.h>' >"$c_source"
echo 'int main(void) { return morvane_language_count() == 73 ? 0 : 1; }' >>"$c_source"
for compiler in gcc clang; do
  "$compiler" -std=c11 -fsyntax-only -Werror -Wall -Wextra -Wpedantic -Wconversion -Wshadow \
    -Wstrict-prototypes -I"$1" "$c_source"
  echo "ok $compiler (C11)"
done
