#include "morvane/char_map.hpp"

#include <algorithm>

namespace morvane {

namespace {
constexpr char32_t kLastCodePoint = 0x10FFFF;
}

CharMap::CharMap(std::span<const std::pair<char32_t, char32_t>> pairs) {
  const auto rareSlot = [this](char32_t key) {
    return std::lower_bound(rare_.begin(), rare_.end(), key,
                            [](const auto& pair, char32_t k) { return pair.first < k; });
  };
  for (const auto& [key, value] : pairs) {
    const bool paged = key <= kLastCodePoint && value != kAbsent;
    auto rare = rareSlot(key);
    const bool inRare = rare != rare_.end() && rare->first == key;
    if (!paged) {
      if (inRare) {
        rare->second = value;
      } else {
        rare_.insert(rare, {key, value});
      }
    } else if (inRare) {
      rare_.erase(rare);  // the later pair wins
    }
    if (key > kLastCodePoint) continue;
    const std::uint32_t page = static_cast<std::uint32_t>(key) >> 8;
    if (page >= pageIndex_.size()) pageIndex_.resize(page + 1, 0);
    if (pageIndex_[page] == 0) {
      values_.resize(values_.size() + 256, kAbsent);
      pageIndex_[page] = static_cast<std::uint32_t>(values_.size() >> 8);
    }
    values_[((pageIndex_[page] - 1) << 8) | (key & 0xFF)] = paged ? value : kAbsent;
  }
  size_ =
      rare_.size() + static_cast<std::size_t>(std::count_if(
                         values_.begin(), values_.end(), [](char32_t v) { return v != kAbsent; }));
}

std::optional<char32_t> CharMap::findRareSlow(char32_t c) const {
  auto at = std::lower_bound(rare_.begin(), rare_.end(), c,
                             [](const auto& pair, char32_t k) { return pair.first < k; });
  if (at == rare_.end() || at->first != c) return std::nullopt;
  return at->second;
}

std::vector<std::pair<char32_t, char32_t>> CharMap::pairs() const {
  std::vector<std::pair<char32_t, char32_t>> result;
  result.reserve(size_);
  for (std::uint32_t page = 0; page < pageIndex_.size(); ++page) {
    if (pageIndex_[page] == 0) continue;
    for (std::uint32_t low = 0; low < 256; ++low) {
      const char32_t value = values_[((pageIndex_[page] - 1) << 8) | low];
      if (value != kAbsent) result.emplace_back(static_cast<char32_t>((page << 8) | low), value);
    }
  }
  result.insert(result.end(), rare_.begin(), rare_.end());
  std::sort(result.begin(), result.end());
  return result;
}

}  // namespace morvane
