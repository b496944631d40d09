// A program that uses morvane as its users do. Installed next to the
// command, it finds morvane's data where the install put it. Built against
// the core (morvane::core) or, with MORVANE_FULL, the full library.
#include <iostream>
#ifdef MORVANE_FULL
#include <morvane/morvane.hpp>
#else
#include <morvane/core.hpp>
#endif

int main() {
  std::cout << morvane::version() << ' '
#ifdef MORVANE_FULL
            << morvane::hyphenateText(morvane::english_US, "hyphenation", "-") << ' '
#else
            << morvane::insertHyphens(morvane::english_US, "hyphenation", "-") << ' '
#endif
            << morvane::getDataDir() << '\n';
}
