#pragma once

#include <concepts>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

#include "morvane/cxx20.hpp"

namespace morvane {

/// A map from code point to code point with constant-time look-up: a page
/// table over 256-code-point pages, holding only the pages in use.
class CharMap {
 public:
  CharMap() = default;
  /// Later pairs replace earlier ones with the same key.
  explicit CharMap(std::span<const std::pair<char32_t, char32_t>> pairs);

  [[nodiscard]] std::optional<char32_t> find(char32_t c) const {
    const std::uint32_t page = static_cast<std::uint32_t>(c) >> 8;
    if (page >= pageIndex_.size()) return findRare(c);
    const std::uint32_t slot = pageIndex_[page];
    if (slot == 0) return findRare(c);
    const char32_t mapped = values_[((slot - 1) << 8) | (c & 0xFF)];
    if (mapped == kAbsent) return findRare(c);
    return mapped;
  }
  /// The mapped character, or `c` itself when it is not a key.
  char32_t operator()(char32_t c) const { return find(c).value_or(c); }

  [[nodiscard]] std::size_t size() const { return size_; }
  /// The pairs in ascending key order.
  [[nodiscard]] std::vector<std::pair<char32_t, char32_t>> pairs() const;

 private:
  static constexpr char32_t kAbsent = 0xFFFFFFFF;
  [[nodiscard]] std::optional<char32_t> findRare(char32_t c) const {
    if (rare_.empty()) return std::nullopt;
    return findRareSlow(c);
  }
  [[nodiscard]] std::optional<char32_t> findRareSlow(char32_t c) const;

  std::vector<std::uint32_t> pageIndex_;  // page → 1 + slot, or 0 when unused
  std::vector<char32_t> values_;          // 256 entries per used page
  // Keys beyond Unicode, or mapped to kAbsent, would blow up or clash with the
  // pages: kept aside, sorted by key.
  std::vector<std::pair<char32_t, char32_t>> rare_;
  std::size_t size_ = 0;
};

/// A character normalisation function. Holds either a `CharMap` (the fast,
/// tabulated form every loaded language uses) or any callable; the default is
/// the identity.
class CharFunction {
 public:
  CharFunction() = default;
  explicit CharFunction(CharMap map) : map_(std::make_shared<const CharMap>(std::move(map))) {}
  template <class F>
  requires std::invocable<const F&, char32_t> &&
      std::convertible_to < std::invoke_result_t<const F&, char32_t>,
  char32_t > &&(!std::same_as<std::remove_cvref_t<F>, CharFunction>)&&(
                 !std::same_as<std::remove_cvref_t<F>, CharMap>)
                 CharFunction(
                     F function)  // NOLINT(google-explicit-constructor): any callable is a function
      : function_(std::move(function)) {}

  char32_t operator()(char32_t c) const {
    if (map_) return (*map_)(c);
    if (function_) return function_(c);
    return c;
  }

  /// The table behind this function, when it is one.
  [[nodiscard]] const CharMap* table() const { return map_.get(); }
  /// The same, shared: what keeps it alive.
  [[nodiscard]] std::shared_ptr<const CharMap> sharedTable() const { return map_; }
  /// True for the default, which maps every character to itself.
  [[nodiscard]] bool isIdentity() const { return !map_ && !function_; }

 private:
  std::shared_ptr<const CharMap> map_;
  std::function<char32_t(char32_t)> function_;
};

}  // namespace morvane
