#include "text/word_joiners.hpp"

#include <memory>
#include <mutex>

#include "text/unicode.hpp"

namespace morvane::detail {

WordJoiners::WordJoiners(const CharMap& map) {
  const auto consider = [this](char32_t c) {
    if (c != U'-' && c != U'\u2010' && c != kSoftHyphen && !isLetterOrMark(c)) {
      joiners_.push_back(c);
    }
  };
  for (const auto& [from, to] : map.pairs()) {
    consider(from);
    consider(to);
  }
  std::sort(joiners_.begin(), joiners_.end());
  joiners_.erase(std::unique(joiners_.begin(), joiners_.end()), joiners_.end());
  for (const char32_t c : joiners_) {
    if (c < 0x80) ascii_ += static_cast<char>(c);
  }
}

namespace {

/// The joiners of a character map, while the map lives.
struct Memo {
  const CharMap* map = nullptr;
  std::weak_ptr<const CharMap> owner;
  std::shared_ptr<const WordJoiners> joiners;
  [[nodiscard]] bool holds(const CharMap* m) const { return map == m && !owner.expired(); }
};

const WordJoiners& memoised(const std::shared_ptr<const CharMap>& map) {
  static std::mutex mutex;
  static std::vector<Memo> memos;
  const std::lock_guard lock(mutex);
  for (const Memo& memo : memos) {
    if (memo.holds(map.get())) return *memo.joiners;
  }
  std::erase_if(memos, [](const Memo& memo) { return memo.owner.expired(); });
  memos.push_back({map.get(), map, std::make_shared<const WordJoiners>(*map)});
  return *memos.back().joiners;
}

}  // namespace

const WordJoiners& wordJoinersOf(const Hyphenator& h) {
  static const WordJoiners kNone;
  const CharFunction& chars = hyphenatorChars(h);
  const CharMap* map = chars.table();
  if (map == nullptr) return kNone;
  // A thread asks of one hyphenator again and again: its last answer first
  // (the memo keeps the joiners while the map lives).
  thread_local struct {
    const CharMap* map = nullptr;
    std::weak_ptr<const CharMap> owner;
    const WordJoiners* joiners = nullptr;
  } last;
  if (last.map == map && !last.owner.expired()) return *last.joiners;
  const std::shared_ptr<const CharMap> owner = chars.sharedTable();
  const WordJoiners& joiners = memoised(owner);
  last.map = map;
  last.owner = owner;
  last.joiners = &joiners;
  return joiners;
}

}  // namespace morvane::detail
