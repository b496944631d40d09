// Hyphenators: made (the public constructor and the factories the readers
// and the loader use), their fields, and the hyphenators derived from them.
// What they answer is in word_output.cpp; how, in find_breaks.cpp.

#include "morvane/hyphenator.hpp"

#include <utility>

#include "common/utf8.hpp"
#include "engine/hyphenator_state.hpp"
#include "engine/make_hyphenator.hpp"

namespace morvane {

namespace detail {

namespace {

/// A state's scoring parts, made on first use from its fields.
void compileOnFirstUse(HyphenatorState& state, Lazy<std::shared_ptr<const PatternTable>> table) {
  state.compiled =
      SharedOnFirstUse<CompiledPatterns>([table = std::move(table), chars = state.chars] {
        return std::make_shared<const CompiledPatterns>(table.get(), chars.get(),
                                                        HyphenatorState::kAutomatonCells);
      });
}
void indexOnFirstUse(HyphenatorState& state) {
  if (state.office != nullptr) {
    state.exceptionIndex = SharedOnFirstUse<ExceptionIndex>([exceptions = state.exceptions] {
      return std::make_shared<const ExceptionIndex>(exceptions.get(), nullptr);
    });
    return;
  }
  state.exceptionIndex =
      SharedOnFirstUse<ExceptionIndex>([exceptions = state.exceptions, compiled = state.compiled] {
        return std::make_shared<const ExceptionIndex>(exceptions.get(), compiled.get());
      });
}

std::shared_ptr<HyphenatorState> stateOfFields(Lazy<CharFunction> chars, Lazy<Patterns> patterns,
                                               Lazy<Exceptions> exceptions, std::int64_t left,
                                               std::int64_t right) {
  // The compiled parts are set by the caller.
  return std::make_shared<HyphenatorState>(HyphenatorState{std::move(chars),
                                                           std::move(patterns),
                                                           std::move(exceptions),
                                                           Minimums{left, right},
                                                           0,
                                                           {},
                                                           {},
                                                           nullptr});
}

}  // namespace

Hyphenator hyphenatorOf(std::shared_ptr<const HyphenatorState> state) {
  return Hyphenator(std::move(state));
}

Hyphenator hyphenatorOfTable(Lazy<CharFunction> chars, Lazy<Patterns> patterns,
                             Lazy<Exceptions> exceptions, std::int64_t leftMin,
                             std::int64_t rightMin,
                             Lazy<std::shared_ptr<const PatternTable>> table) {
  auto state = stateOfFields(std::move(chars), std::move(patterns), std::move(exceptions), leftMin,
                             rightMin);
  compileOnFirstUse(*state, std::move(table));
  indexOnFirstUse(*state);
  return hyphenatorOf(std::move(state));
}

Hyphenator hyphenatorOfOfficeRules(CharFunction chars, Lazy<Patterns> patterns,
                                   std::shared_ptr<const OfficeRules> rules, std::int64_t leftMin,
                                   std::int64_t rightMin) {
  auto state =
      stateOfFields(std::move(chars), std::move(patterns), Exceptions(), leftMin, rightMin);
  state->office = std::move(rules);
  indexOnFirstUse(*state);
  return hyphenatorOf(std::move(state));
}

std::size_t shortestBreakable(const Hyphenator& h) { return stateOf(h).shortestBreakable(); }

bool sameHyphenator(const Hyphenator& a, const Hyphenator& b) { return &stateOf(a) == &stateOf(b); }

}  // namespace detail

Hyphenator::Hyphenator(std::shared_ptr<const detail::HyphenatorState> state)
    : state_(std::move(state)) {}

Hyphenator::Hyphenator(Lazy<CharFunction> chars, Lazy<Patterns> patterns,
                       Lazy<Exceptions> exceptions, std::int64_t leftMin, std::int64_t rightMin) {
  Lazy<std::shared_ptr<const detail::PatternTable>> table(
      [patterns] { return detail::compiledTable(patterns.get()); });
  *this = detail::hyphenatorOfTable(std::move(chars), std::move(patterns), std::move(exceptions),
                                    leftMin, rightMin, std::move(table));
}

const CharFunction& hyphenatorChars(const Hyphenator& h) { return detail::stateOf(h).chars.get(); }
const Patterns& hyphenatorPatterns(const Hyphenator& h) {
  return detail::stateOf(h).patterns.get();
}
const Exceptions& hyphenatorExceptions(const Hyphenator& h) {
  return detail::stateOf(h).exceptions.get();
}
std::int64_t hyphenatorLeftMin(const Hyphenator& h) { return detail::stateOf(h).minimums.left; }
std::int64_t hyphenatorRightMin(const Hyphenator& h) { return detail::stateOf(h).minimums.right; }

bool breaksMayChangeSpelling(const Hyphenator& h) { return detail::stateOf(h).office != nullptr; }

namespace {

/// A new hyphenator sharing everything of `h`'s but what `change` changes.
template <class Change>
Hyphenator derived(const Hyphenator& h, Change change) {
  auto state = std::make_shared<detail::HyphenatorState>(detail::stateOf(h));
  change(*state);
  return detail::hyphenatorOf(std::move(state));
}

}  // namespace

Hyphenator withExceptions(const Hyphenator& h, std::u32string_view exceptionText) {
  // The user's lines, with their keys in the hyphenator's own spelling, over
  // the hyphenator's entries.
  return derived(h, [&h, text = std::u32string(exceptionText)](detail::HyphenatorState& state) {
    state.exceptions = Lazy<Exceptions>([h, text] {
      const CharFunction& chars = hyphenatorChars(h);
      ExceptionMap entries = hyphenatorExceptions(h).entries();
      ExceptionMap own;
      const Exceptions given = parseExceptions(text);
      for (const auto& [key, scores] : given.entries()) {
        std::u32string normalised(key);
        for (char32_t& c : normalised) c = chars(c);
        auto [at, added] = own.try_emplace(std::move(normalised), scores);
        if (!added) at->second = zipMin(scores, at->second);
      }
      for (auto& [key, scores] : own) entries.insert_or_assign(key, std::move(scores));
      return Exceptions(std::move(entries));
    });
    detail::indexOnFirstUse(state);
  });
}

Hyphenator withExceptions(const Hyphenator& h, std::string_view exceptionText) {
  return withExceptions(h, detail::decodeUtf8(exceptionText));
}

Hyphenator withMinimums(const Hyphenator& h, std::int64_t leftMin, std::int64_t rightMin) {
  return derived(h, [&](detail::HyphenatorState& state) { state.minimums = {leftMin, rightMin}; });
}

Hyphenator withMinWordLength(const Hyphenator& h, std::size_t length) {
  return derived(h, [length](detail::HyphenatorState& state) { state.minWordLength = length; });
}

}  // namespace morvane
