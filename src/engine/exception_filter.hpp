#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace morvane::detail {

/// Bit sets over the exception words, so that most words are turned away
/// before they are normalised and looked up: one over the length and the
/// first and last symbols, cheap to ask; then one over all the symbols, for
/// the words the first lets through (natural words share lengths and ends
/// with exceptions often). Symbols, not characters: two words whose
/// characters normalise alike have the same symbols, so no key is ever
/// missed.
class ExceptionFilter {
 public:
  /// Adds a word of `length` letters whose i-th symbol is symbolAt(i).
  template <class SymbolAt>
  void add(std::size_t length, SymbolAt symbolAt) {
    set(ends_, endsBit(length, symbolAt));
    set(words_, wordBit(length, symbolAt));
    empty_ = false;
  }
  /// True when no word was added: no need to find a word's symbols.
  [[nodiscard]] bool empty() const { return empty_; }
  template <class SymbolAt>
  [[nodiscard]] bool mayContain(std::size_t length, SymbolAt symbolAt) const {
    return has(ends_, endsBit(length, symbolAt)) && has(words_, wordBit(length, symbolAt));
  }

 private:
  static constexpr std::size_t kBits = 4096;
  using Bits = std::array<std::uint64_t, kBits / 64>;

  template <class SymbolAt>
  static std::size_t endsBit(std::size_t length, SymbolAt symbolAt) {
    const std::uint64_t first = length == 0 ? 0 : symbolAt(0);
    const std::uint64_t last = length == 0 ? 0 : symbolAt(length - 1);
    const std::uint64_t mix = length * 0x9E3779B1U + first * 0x85EBCA77U + last * 0xC2B2AE3DU;
    return (mix >> 7) % kBits;
  }
  template <class SymbolAt>
  static std::size_t wordBit(std::size_t length, SymbolAt symbolAt) {
    std::uint64_t hash = length * 0x9E3779B97F4A7C15ULL;
    for (std::size_t i = 0; i < length; ++i) {
      hash = (hash ^ std::uint64_t{symbolAt(i)}) * 0xFF51AFD7ED558CCDULL;
    }
    return (hash >> 40) % kBits;
  }
  static void set(Bits& bits, std::size_t b) { bits[b / 64] |= std::uint64_t{1} << (b % 64); }
  static bool has(const Bits& bits, std::size_t b) { return (bits[b / 64] >> (b % 64) & 1U) != 0; }

  Bits ends_{};
  Bits words_{};
  bool empty_ = true;
};

}  // namespace morvane::detail
