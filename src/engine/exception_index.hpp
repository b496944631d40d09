#pragma once

#include <string_view>
#include <utility>

#include "engine/compiled_patterns.hpp"
#include "engine/exception_filter.hpp"
#include "morvane/exceptions.hpp"

namespace morvane::detail {

/// A hyphenator's exceptions as its words are looked up in them: most words
/// are no exception, and a filter over the symbols of the keys (which the
/// character map cannot make differ where the words are alike) turns them
/// away before they are normalised; the others are found by their
/// normalised form.
class ExceptionIndex {
 public:
  /// Filtered by the symbols of `patterns`, or not filtered when null.
  ExceptionIndex(Exceptions exceptions, const CompiledPatterns* patterns)
      : exceptions_(std::move(exceptions)), entries_(exceptions_.entries()) {
    if (patterns == nullptr) {
      filtered_ = false;
      return;
    }
    for (const auto& entry : entries_) {
      const std::u32string& key = entry.first;
      filter_.add(key.size(), [&](std::size_t i) { return patterns->table().symbol(key[i]); });
    }
  }

  /// Whether `word` (as written) may be an exception, by the symbols
  /// `patterns` gives its characters.
  [[nodiscard]] bool mayContain(std::u32string_view word, const CompiledPatterns& patterns) const {
    if (!filtered_) return !entries_.empty();
    if (filter_.empty()) return false;
    if (const auto dense = patterns.dense()) {
      return filter_.mayContain(word.size(), [&](std::size_t i) { return (*dense)(word[i]); });
    }
    return filter_.mayContain(word.size(),
                              [&](std::size_t i) { return patterns.symbolOf(word[i]); });
  }

  /// The score list of the exception `key` (normalised), or null.
  [[nodiscard]] const ScoreList* find(std::u32string_view key) const {
    if (entries_.empty()) return nullptr;
    const auto found = entries_.find(key);
    return found == entries_.end() ? nullptr : &found->second;
  }

 private:
  Exceptions exceptions_;  // which shares its table with the hyphenator's
  const ExceptionMap& entries_;
  ExceptionFilter filter_;
  bool filtered_ = true;
};

}  // namespace morvane::detail
