#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace morvane::detail {

/// A bit set over the length and the first and last symbols of the exception
/// words, so that most words are turned away before they are normalised and
/// looked up. Symbols, not characters: two words whose first characters
/// normalise alike have the same first symbol, so no key is ever missed.
class ExceptionFilter {
 public:
  void add(std::size_t length, std::uint32_t first, std::uint32_t last) {
    const std::size_t b = bit(length, first, last);
    bits_[b / 64] |= std::uint64_t{1} << (b % 64);
    empty_ = false;
  }
  /// True when no word was added: no need to find a word's symbols.
  [[nodiscard]] bool empty() const { return empty_; }
  [[nodiscard]] bool mayContain(std::size_t length, std::uint32_t first, std::uint32_t last) const {
    const std::size_t b = bit(length, first, last);
    return (bits_[b / 64] >> (b % 64) & 1U) != 0;
  }

 private:
  static constexpr std::size_t kBits = 4096;
  static std::size_t bit(std::size_t length, std::uint32_t first, std::uint32_t last) {
    const std::size_t mix =
        length * 0x9E3779B1U + std::size_t{first} * 0x85EBCA77U + std::size_t{last} * 0xC2B2AE3DU;
    return (mix >> 7) % kBits;
  }
  std::array<std::uint64_t, kBits / 64> bits_{};
  bool empty_ = true;
};

}  // namespace morvane::detail
