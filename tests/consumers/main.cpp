// A program that uses morvane as its users do. Installed next to the
// command, it finds morvane's data where the install put it.
#include <iostream>
#include <morvane/morvane.hpp>

int main() {
  std::cout << morvane::version() << ' '
            << morvane::insertHyphens(morvane::english_US, "hyphenation", "-") << ' '
            << morvane::getDataDir() << '\n';
}
