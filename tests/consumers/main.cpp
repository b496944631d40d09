// A program that uses morvane as its users do.
#include <iostream>
#include <morvane/morvane.hpp>

int main() {
  std::cout << morvane::version() << ' '
            << morvane::insertHyphens(morvane::english_US, "hyphenation", "-") << '\n';
}
