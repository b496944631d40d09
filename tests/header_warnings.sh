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
echo 'int main() { return static_cast<int>(morvane::hyphenate(morvane::english_US, "word").size()); }' >>"$source"
for compiler in g++ clang++; do
  "$compiler" "${flags[@]}" "$source"
  echo "ok $compiler"
done
