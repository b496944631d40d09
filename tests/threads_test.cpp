// Many threads taking languages for the first time at once must each see the
// one shared hyphenator, fully built, and get the single-threaded answers.

#include <gtest/gtest.h>

#include <algorithm>
#include <barrier>
#include <fstream>
#include <random>
#include <thread>

#include "morvane/core.hpp"

namespace morvane {
namespace {

using Answers = std::vector<std::vector<std::string>>;

/// The first words of a language's golden file.
std::vector<std::string> wordsOf(Language language) {
  std::ifstream in(std::string(MORVANE_GOLDEN_DIR) + "/" + std::string(languageAffix(language)) +
                   ".tsv");
  std::vector<std::string> words;
  for (std::string line; words.size() < 40 && std::getline(in, line);) {
    words.push_back(line.substr(0, line.find('\t')));
  }
  return words;
}

Answers answersFor(const Hyphenator& h, const std::vector<std::string>& words) {
  Answers answers;
  for (const auto& word : words) answers.push_back(hyphenate(h, word));
  return answers;
}

TEST(Threads, ColdStartOfSameAndDifferentLanguages) {
  constexpr int kThreads = 16;
  const std::vector<Language> all = enumFrom(kFirstLanguage);
  std::vector<std::vector<std::string>> words;
  for (const Language l : all) words.push_back(wordsOf(l));
  std::vector<std::vector<std::pair<Language, const Hyphenator*>>> seen(kThreads);
  std::vector<std::vector<Answers>> results(kThreads);
  std::barrier start(kThreads);
  {
    std::vector<std::jthread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        std::vector<Language> order = all;
        std::shuffle(order.begin(), order.end(), std::mt19937(static_cast<unsigned>(t)));
        // Half the threads start on the same language, the rest on their own.
        if (t % 2 == 0)
          std::iter_swap(order.begin(),
                         std::find(order.begin(), order.end(), Language::German_1996));
        start.arrive_and_wait();
        for (const Language l : order) {
          const Hyphenator& h = languageHyphenator(l);
          seen[t].emplace_back(l, &h);
          results[t].push_back(answersFor(h, words[static_cast<std::size_t>(fromEnum(l))]));
        }
      });
    }
  }
  // The same words, one thread, each language loaded afresh.
  std::vector<Answers> expected;
  for (const Language l : all) {
    expected.push_back(answersFor(loadHyphenator(l), words[static_cast<std::size_t>(fromEnum(l))]));
  }
  for (int t = 0; t < kThreads; ++t) {
    ASSERT_EQ(seen[t].size(), all.size());
    for (std::size_t i = 0; i < seen[t].size(); ++i) {
      const auto [language, pointer] = seen[t][i];
      EXPECT_EQ(pointer, &languageHyphenator(language));
      EXPECT_EQ(results[t][i], expected[static_cast<std::size_t>(fromEnum(language))]) << language;
    }
  }
}

TEST(Threads, OneSharedHyphenatorUsedByManyThreads) {
  const Hyphenator h = loadHyphenator(Language::English_US);
  const std::vector<std::string> words = wordsOf(Language::English_US);
  const Answers expected = answersFor(loadHyphenator(Language::English_US), words);
  std::atomic<int> mismatches{0};
  {
    std::vector<std::jthread> threads;
    for (int t = 0; t < 16; ++t) {
      threads.emplace_back([&] {
        for (int i = 0; i < 50; ++i) {
          if (answersFor(h, words) != expected) ++mismatches;
        }
      });
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// A loaded dictionary compiles its levels on first use and its automaton
// after a thousand words: threads that start on a fresh one together, and
// go on past the warm-up, see the single-threaded answers throughout.
TEST(Threads, AFreshDictionaryFromManyThreads) {
  const std::string dic =
      "UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\nNEXTLEVEL\n"
      "s5sz/sz=,1,1\nn5ny/ny=ny,1,3\n1ba\nab1\nn1n\n";
  const std::vector<std::string> words = {"asszonnyal", "abababa", "bananna", "szonnyab",
                                          "ASSZONY"};
  std::vector<std::string> expected;
  const Hyphenator reference = readDictionary(dic, "x.dic");
  for (const auto& word : words) expected.push_back(spellBreaks(reference, word, "="));
  const Hyphenator h = readDictionary(dic, "x.dic");
  std::atomic<int> mismatches{0};
  {
    std::barrier start(8);
    std::vector<std::jthread> threads;
    for (int t = 0; t < 8; ++t) {
      threads.emplace_back([&] {
        start.arrive_and_wait();
        for (int i = 0; i < 300; ++i) {
          for (std::size_t w = 0; w < words.size(); ++w) {
            if (spellBreaks(h, words[w], "=") != expected[w]) ++mismatches;
          }
        }
      });
    }
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace morvane
