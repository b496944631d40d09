#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

namespace morvane::detail {

/// The breaks of recently seen words, by their code units. In running text
/// most long words come again soon ("hyphenation" comes back every page),
/// and finding one here costs a small part of decoding and scoring it
/// again. Direct-mapped, of a fixed size, made on first use; only words of
/// up to kKeyUnits code units with at most kMaxCuts breaks are kept. What it
/// holds depends only on the hyphenator: clear it when that changes.
template <class Char>
class WordCache {
 public:
  using View = std::basic_string_view<Char>;
  static constexpr std::size_t kKeyUnits = 40 / sizeof(Char);
  static constexpr std::size_t kMaxCuts = 24;
  static constexpr std::size_t kEntries = 4096;

  /// What a word was found to be: where it breaks (code units from its
  /// start) and how many words it counted as (more than one in a script
  /// without spaces).
  struct Entry {
    std::array<Char, kKeyUnits> key;
    std::uint32_t generation = 0;  // of the cache when stored
    std::uint8_t length = 0;
    std::uint8_t count = 0;
    std::uint8_t words = 0;
    std::array<std::uint8_t, kMaxCuts> cuts;

    [[nodiscard]] std::span<const std::uint8_t> breaks() const { return {cuts.data(), count}; }
  };

  /// The entry of `word`, or null.
  [[nodiscard]] const Entry* find(View word) const {
    if (entries_.empty() || word.size() > kKeyUnits) return nullptr;
    const Entry& e = entries_[slot(word)];
    if (e.generation != generation_ || e.length != word.size() ||
        std::memcmp(e.key.data(), word.data(), word.size() * sizeof(Char)) != 0) {
      return nullptr;
    }
    return &e;
  }

  /// Keeps `word`'s breaks when they fit, in place of whatever shared its slot.
  void store(View word, std::span<const std::size_t> cuts, std::size_t words) {
    if (word.empty() || word.size() > kKeyUnits || cuts.size() > kMaxCuts || words > 255) return;
    if (entries_.empty()) entries_.resize(kEntries);
    Entry& e = entries_[slot(word)];
    std::copy(word.begin(), word.end(), e.key.begin());
    e.generation = generation_;
    e.length = static_cast<std::uint8_t>(word.size());
    e.count = static_cast<std::uint8_t>(cuts.size());
    e.words = static_cast<std::uint8_t>(words);
    for (std::size_t i = 0; i < e.count; ++i) e.cuts[i] = static_cast<std::uint8_t>(cuts[i]);
  }

  /// Forgets every word, in constant time: a text that switches languages
  /// often clears it often.
  void clear() { ++generation_; }

 private:
  static std::size_t slot(View word) {
    std::uint64_t hash = word.size() * 0x9E3779B97F4A7C15ULL;
    const auto* bytes = reinterpret_cast<const unsigned char*>(word.data());
    const std::size_t size = word.size() * sizeof(Char);
    for (std::size_t at = 0; at < size; at += 8) {
      std::uint64_t chunk = 0;
      std::memcpy(&chunk, bytes + at, std::min<std::size_t>(8, size - at));
      hash = (hash ^ chunk) * 0xFF51AFD7ED558CCDULL;
    }
    return static_cast<std::size_t>(hash >> 52) & (kEntries - 1);
  }

  std::vector<Entry> entries_;
  std::uint32_t generation_ = 1;  // entries of other generations are empty
};

}  // namespace morvane::detail
