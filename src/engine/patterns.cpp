#include "morvane/patterns.hpp"

#include <algorithm>
#include <ostream>
#include <variant>

#include "common/ascii.hpp"
#include "common/show_text.hpp"
#include "common/utf8.hpp"
#include "engine/pattern_builder.hpp"
#include "engine/pattern_table.hpp"
#include "morvane/error.hpp"
#include "morvane/lazy.hpp"

namespace morvane {

struct Patterns::Node {
  Node() = default;
  Node(ScoreList s, PatternChildren c) : scores(std::move(s)), children(std::move(c)) {}
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;
  ~Node();

  ScoreList scores;
  PatternChildren children;
  // Compiled on the first lookup against this node as a root.
  detail::OnceCell<std::shared_ptr<const detail::PatternTable>> table;
};

// Releasing a long chain recursively would take one stack frame per level:
// children owned by nobody else are detached and released from a list instead.
Patterns::Node::~Node() {
  std::vector<std::shared_ptr<const Node>> orphans;
  const auto detach = [&orphans](PatternChildren& children) {
    for (auto& entry : children) {
      if (entry.second.node_.use_count() == 1) orphans.push_back(std::move(entry.second.node_));
    }
  };
  detach(children);
  while (!orphans.empty()) {
    std::shared_ptr<const Node> node = std::move(orphans.back());
    orphans.pop_back();
    // Nodes are created mutable (make_shared<Node>) and only shared as const.
    detach(const_cast<Node&>(*node).children);
  }
}

namespace {

const std::shared_ptr<const Patterns::Node>& emptyNode();

}  // namespace

Patterns::Patterns() : Patterns(emptyNode()) {}

Patterns::Patterns(ScoreList scores, PatternChildren children)
    : node_(std::make_shared<Node>(std::move(scores), std::move(children))) {}

Patterns::Patterns(std::shared_ptr<const Node> node) : node_(std::move(node)) {}

const ScoreList& Patterns::scores() const { return node_->scores; }
const PatternChildren& Patterns::children() const { return node_->children; }

// Tries can be as deep as their longest pattern: every walk over two of them
// keeps its own stack instead of recursing.
bool operator==(const Patterns& a, const Patterns& b) {
  std::vector<std::pair<const Patterns*, const Patterns*>> pending{{&a, &b}};
  while (!pending.empty()) {
    const auto [x, y] = pending.back();
    pending.pop_back();
    if (x->node_ == y->node_) continue;
    if (x->scores() != y->scores() || x->children().size() != y->children().size()) return false;
    for (auto i = x->children().begin(), j = y->children().begin(); i != x->children().end();
         ++i, ++j) {
      if (i->first != j->first) return false;
      pending.emplace_back(&i->second, &j->second);
    }
  }
  return true;
}

namespace {

const std::shared_ptr<const Patterns::Node>& emptyNode() {
  static const std::shared_ptr<const Patterns::Node> empty = std::make_shared<Patterns::Node>();
  return empty;
}

std::u32string lettersOf(std::u32string_view pattern) {
  std::u32string letters;
  letters.reserve(pattern.size());
  for (const char32_t c : pattern) {
    if (!detail::isAsciiDigit(c)) letters.push_back(c);
  }
  return letters;
}

}  // namespace

ScoreList scorePattern(std::u32string_view pattern) {
  ScoreList scores;
  scores.reserve(pattern.size() + 1);
  detail::forEachPatternScore(pattern, [&scores](Score score) { scores.push_back(score); });
  return scores;
}

Patterns insertPattern(std::u32string_view pattern, const Patterns& trie) {
  const std::u32string letters = lettersOf(pattern);
  // The existing nodes along the path, from the root.
  std::vector<const Patterns*> path{&trie};
  while (path.size() <= letters.size()) {
    const PatternChildren& children = path.back()->children();
    auto next = children.find(letters[path.size() - 1]);
    if (next == children.end()) break;
    path.push_back(&next->second);
  }
  const std::size_t reached = path.size() - 1;  // letters matched by existing nodes
  const std::size_t length = letters.size();

  // The new node at the end of the letters, with a fresh chain above it down
  // to the first missing child; `top` is the depth of the chain's head.
  Patterns rebuilt(scorePattern(pattern),
                   reached == length ? path.back()->children() : PatternChildren{});
  const std::size_t top = reached == length ? length : reached + 1;
  for (std::size_t depth = length - 1; depth + 1 > top; --depth) {
    rebuilt = Patterns({}, {{letters[depth], std::move(rebuilt)}});
  }
  // Copy each existing node above it with that one child replaced.
  for (std::size_t depth = top; depth-- > 0;) {
    PatternChildren children = path[depth]->children();
    children.insert_or_assign(letters[depth], std::move(rebuilt));
    rebuilt = Patterns(path[depth]->scores(), std::move(children));
  }
  return rebuilt;
}

namespace {

/// Adds every score list of `trie` to `builder`, at the same letters.
void addTrie(detail::PatternBuilder& builder, const Patterns& trie,
             detail::PatternBuilder::OnConflict onConflict) {
  std::vector<std::pair<const Patterns*, std::uint32_t>> pending{{&trie, 0}};
  while (!pending.empty()) {
    const auto [node, at] = pending.back();
    pending.pop_back();
    if (!node->scores().empty()) builder.setScores(at, node->scores(), onConflict);
    for (const auto& [letter, child] : node->children()) {
      pending.emplace_back(&child, builder.child(at, letter));
    }
  }
}

}  // namespace

Patterns parsePatterns(std::u32string_view text) {
  detail::PatternBuilder builder;
  builder.addText(text);
  return detail::freeze(builder);
}

Patterns parsePatterns(std::string_view utf8Text) {
  return parsePatterns(detail::decodeUtf8(utf8Text));
}

namespace detail {

Patterns freeze(const detail::PatternBuilder& builder) {
  const auto& nodes = builder.nodes();
  // Children always have higher numbers than their parents: build bottom-up.
  std::vector<Patterns> built(nodes.size());
  for (std::size_t i = nodes.size(); i-- > 0;) {
    PatternChildren children;
    for (std::uint32_t c = nodes[i].firstChild; c != detail::PatternBuilder::kNone;
         c = nodes[c].nextSibling) {
      children.emplace(nodes[c].letter, std::move(built[c]));
    }
    ScoreList scores;
    if (nodes[i].scoreList != detail::PatternBuilder::kNone) {
      const auto list = builder.scores(nodes[i].scoreList);
      scores.assign(list.begin(), list.end());
    }
    built[i] = Patterns(std::move(scores), std::move(children));
  }
  return std::move(built[0]);
}

std::shared_ptr<const PatternTable> compiledTable(const Patterns& trie) {
  return trie.node_->table.get([&trie] {
    PatternBuilder builder;
    addTrie(builder, trie, PatternBuilder::OnConflict::kTakeMaximum);
    return std::make_shared<const PatternTable>(builder);
  });
}

}  // namespace detail

ScoreList lookupPattern(std::u32string_view word, const Patterns& trie) {
  const auto table = detail::compiledTable(trie);
  const std::size_t m = word.size() + 2;
  std::vector<std::uint32_t> dotted(m);
  dotted.front() = dotted.back() = table->dotSymbol();
  for (std::size_t i = 0; i < word.size(); ++i) dotted[i + 1] = table->symbol(word[i]);
  ScoreList raw = table->rawScores(dotted);

  const auto failure = [&](const char* where) {
    return Error(std::string("lookupPattern.") + where + ": Impossible (" +
                 detail::encodeUtf8(word) + ")");
  };
  if (raw.empty()) throw failure("scores0");
  raw.erase(raw.begin());  // the boundary before the leading "."
  auto split = unsnoc(raw);
  if (!split) throw failure("scores1");
  return std::move(split->first);
}

ScoreList lookupPattern(std::string_view utf8Word, const Patterns& trie) {
  return lookupPattern(detail::decodeUtf8(utf8Word), trie);
}

Patterns combine(const Patterns& a, const Patterns& b) {
  // A pair that needs no merging: combining is idempotent, and the empty
  // trie is its identity.
  const auto trivial = [](const Patterns& x, const Patterns& y) -> const Patterns* {
    if (x.node_ == y.node_ || y.node_ == emptyNode()) return &x;
    if (x.node_ == emptyNode()) return &y;
    return nullptr;
  };
  if (const Patterns* done = trivial(a, b)) return *done;

  // One frame per pair of nodes being merged, deepest last.
  struct Frame {
    const Patterns* a;
    const Patterns* b;
    PatternChildren children;      // the merged children so far
    std::vector<char32_t> shared;  // keys both have, still to merge
    Patterns* into = nullptr;      // where the parent wants the result
  };
  const auto open = [&](const Patterns& x, const Patterns& y, Patterns* into) {
    Frame frame{&x, &y, x.children(), {}, into};
    for (const auto& [key, child] : y.children()) {
      auto [at, added] = frame.children.try_emplace(key, child);
      if (added) continue;
      if (const Patterns* done = trivial(at->second, child)) {
        at->second = *done;
      } else {
        frame.shared.push_back(key);
      }
    }
    return frame;
  };
  Patterns result;
  std::vector<Frame> frames;
  frames.push_back(open(a, b, &result));
  while (!frames.empty()) {
    Frame& top = frames.back();
    if (!top.shared.empty()) {
      const char32_t key = top.shared.back();
      top.shared.pop_back();
      Patterns* slot = &top.children.at(key);
      const Patterns& fromB = top.b->children().at(key);
      frames.push_back(open(*slot, fromB, slot));  // *slot still holds a's child
      continue;
    }
    Patterns merged(detail::maxScores(top.a->scores(), top.b->scores()), std::move(top.children));
    Patterns* into = top.into;
    frames.pop_back();
    *into = std::move(merged);
  }
  return result;
}

Patterns sconcat(std::span<const Patterns> tries) {
  if (tries.empty()) throw Error("sconcat: empty list");
  if (tries.size() == 1) return tries.front();
  // Combining is associative and commutative: merge them all in one pass
  // rather than copying a growing trie once per element.
  detail::PatternBuilder builder;
  for (const Patterns& trie : tries) {
    addTrie(builder, trie, detail::PatternBuilder::OnConflict::kTakeMaximum);
  }
  return detail::freeze(builder);
}

Patterns stimes(long long count, const Patterns& trie) {
  if (count < 1) throw Error("stimes: positive multiplier expected");
  return trie;  // combining a trie with itself gives the same trie
}

namespace {

void appendShow(std::string& out, int precedence, const Patterns& trie) {
  // Text still to write, last first: a node to show, or literal text.
  std::vector<std::variant<const Patterns*, std::string>> pending;
  if (precedence > 10) out.push_back('(');
  pending.emplace_back(&trie);
  while (!pending.empty()) {
    auto next = std::move(pending.back());
    pending.pop_back();
    if (auto* text = std::get_if<std::string>(&next)) {
      out += *text;
      continue;
    }
    const Patterns& node = *std::get<const Patterns*>(next);
    out += "Patterns ";
    detail::appendScores(out, node.scores());
    out += " (fromList [";
    pending.emplace_back("])");
    const auto& children = node.children();
    for (auto child = children.rbegin(); child != children.rend(); ++child) {
      // Pushed last to first: every child but the last is followed by a comma.
      pending.emplace_back(child == children.rbegin() ? ")" : "),");
      pending.emplace_back(&child->second);
      std::string key(1, '(');
      key += std::to_string(static_cast<unsigned long>(child->first));
      key += ',';
      pending.emplace_back(std::move(key));
    }
  }
  if (precedence > 10) out.push_back(')');
}

}  // namespace

using Shows = detail::Shows<Patterns, appendShow>;

std::string showsPrec(int precedence, const Patterns& trie, std::string_view rest) {
  return Shows::showsPrec(precedence, trie, rest);
}

std::string show(const Patterns& trie) { return showsPrec(0, trie); }

std::string showList(std::span<const Patterns> tries, std::string_view rest) {
  return Shows::showList(tries, rest);
}

std::ostream& operator<<(std::ostream& out, const Patterns& trie) { return out << show(trie); }

}  // namespace morvane
