// Prints, for every UTF-8 word on standard input, "word<TAB>spelled", the
// word with "=" at every break of the office dictionary DICT, in the C
// library's own notation; for comparing the two.
//
// usage: morvane_spell_words DICT < words

#include <iostream>
#include <string>

#include "morvane/core.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: morvane_spell_words DICT < words\n";
    return 2;
  }
  try {
    const morvane::Hyphenator h = morvane::loadDictionary(argv[1]);
    for (std::string word; std::getline(std::cin, word);) {
      std::cout << word << '\t' << morvane::spellBreaks(h, word, "=") << '\n';
    }
  } catch (const std::exception& e) {
    std::cerr << "morvane_spell_words: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
