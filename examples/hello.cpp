#include <iostream>
#include <morvane/morvane.hpp>

int main() {
  using namespace morvane;
  for (const std::string& piece : hyphenate(english_US, "hyphenation")) std::cout << piece << ' ';
  std::cout << '\n' << hyphenateText(german_1996, "Silbentrennung ist schön.", "-") << '\n';
  const Hyphenator& french = languageHyphenator(*findLanguage("fr-CA"));
  std::cout << insertHyphens(french, "anticonstitutionnellement", "-") << '\n';
}
