// The compiled half of the Python package: morvane's hyphenators as a
// Python type, text and documents hyphenated with the GIL released. The
// package's Python half (morvane/__init__.py) builds the public interface on it.

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "morvane/morvane.hpp"

namespace py = pybind11;

namespace {

/// Each break as (position, before, after, standard).
using BreakTuple = std::tuple<std::size_t, std::u32string, std::u32string, bool>;

std::vector<BreakTuple> breaksOf(const morvane::Hyphenator& h, const std::u32string& word) {
  std::vector<BreakTuple> out;
  for (const morvane::WordBreak& b : morvane::hyphenationBreaks(h, word)) {
    out.emplace_back(b.position, b.before, b.after, b.standard);
  }
  return out;
}

/// A pattern's letters and the scores of the boundaries from its start on.
using ScoredPattern = std::pair<std::u32string, morvane::ScoreList>;

/// The trie of `patterns[begin, end)`, sorted by letters and sharing their
/// first `depth`, distinct.
morvane::Patterns trieOf(const std::vector<ScoredPattern>& patterns, std::size_t begin,
                         std::size_t end, std::size_t depth) {
  morvane::ScoreList scores;
  morvane::PatternChildren children;
  std::size_t at = begin;
  if (at < end && patterns[at].first.size() == depth) scores = patterns[at++].second;
  while (at < end) {
    const char32_t letter = patterns[at].first[depth];
    std::size_t next = at;
    while (next < end && patterns[next].first[depth] == letter) ++next;
    children.emplace(letter, trieOf(patterns, at, next, depth + 1));
    at = next;
  }
  return {std::move(scores), std::move(children)};
}

morvane::HtmlOptions htmlOptions(const std::string& hyphen, bool xhtml) {
  morvane::HtmlOptions options(hyphen);
  if (xhtml) options.syntax = morvane::HtmlOptions::Syntax::Xhtml;
  return options;
}

/// `transform` of the bytes of `input`, run without the GIL, as bytes.
template <class Transform>
py::bytes onBytes(const py::bytes& input, Transform transform) {
  const std::string_view view = input;
  std::string result;
  {
    const py::gil_scoped_release release;
    result = transform(view);
  }
  return {result};
}

}  // namespace

PYBIND11_MODULE(_morvane, m) {
  m.doc() = "morvane's hyphenation engine; use the morvane package.";
  py::register_exception<morvane::Error>(m, "Error", PyExc_ValueError);

  py::class_<morvane::Hyphenator>(m, "Engine")
      .def("positions",
           [](const morvane::Hyphenator& h, const std::u32string& word) {
             return morvane::hyphenationPoints(h, word);
           })
      .def("pieces", [](const morvane::Hyphenator& h,
                        const std::u32string& word) { return morvane::hyphenate(h, word); })
      .def("breaks", &breaksOf)
      .def("inserted",
           [](const morvane::Hyphenator& h, const std::u32string& word,
              const std::u32string& hyphen) { return morvane::insertHyphens(h, word, hyphen); })
      .def("spelled",
           [](const morvane::Hyphenator& h, const std::u32string& word,
              const std::u32string& hyphen) { return morvane::spellBreaks(h, word, hyphen); })
      .def("text_bytes",
           [](const morvane::Hyphenator& h, const py::bytes& text, const std::string& hyphen) {
             return onBytes(
                 text, [&](std::string_view t) { return morvane::hyphenateText(h, t, hyphen); });
           })
      .def("html_bytes",
           [](const morvane::Hyphenator& h, const py::bytes& document, const std::string& hyphen,
              bool xhtml) {
             return onBytes(document, [&](std::string_view d) {
               return morvane::hyphenateHtml(h, d, htmlOptions(hyphen, xhtml));
             });
           })
      .def("text",
           [](const morvane::Hyphenator& h, const std::string& text, const std::string& hyphen) {
             const py::gil_scoped_release release;
             return morvane::hyphenateText(h, text, hyphen);
           })
      .def("html",
           [](const morvane::Hyphenator& h, const std::string& document, const std::string& hyphen,
              bool xhtml) {
             const py::gil_scoped_release release;
             return morvane::hyphenateHtml(h, document, htmlOptions(hyphen, xhtml));
           })
      .def("with_exceptions",
           [](const morvane::Hyphenator& h, const std::string& text) {
             return morvane::withExceptions(h, text);
           })
      .def("with_minimums", &morvane::withMinimums)
      .def_property_readonly("left_min", &morvane::hyphenatorLeftMin)
      .def_property_readonly("right_min", &morvane::hyphenatorRightMin);
  m.def("language", [](const std::string& name) -> std::optional<morvane::Hyphenator> {
    const auto found = morvane::findLanguage(name);
    if (!found) return std::nullopt;
    return morvane::languageHyphenator(*found);
  });
  m.def("language_code", [](const std::string& name) -> std::optional<std::string> {
    const auto found = morvane::findLanguage(name);
    if (!found) return std::nullopt;
    return std::string(morvane::languageAffix(*found));
  });
  m.def("languages", [] {
    std::vector<std::tuple<std::string, std::string, std::vector<std::string>>> out;
    for (const morvane::Language l : morvane::enumFrom(morvane::kFirstLanguage)) {
      std::vector<std::string> tags;
      for (const std::string_view tag : morvane::languageTags(l)) tags.emplace_back(tag);
      out.emplace_back(std::string(morvane::languageAffix(l)), morvane::show(l), std::move(tags));
    }
    return out;
  });
  m.def("from_scored_patterns", [](std::vector<ScoredPattern> patterns, std::int64_t left,
                                   std::int64_t right) {
    // Every matching pattern counts, as in TeX.
    std::sort(patterns.begin(), patterns.end(),
              [](const ScoredPattern& a, const ScoredPattern& b) { return a.first < b.first; });
    return morvane::Hyphenator(morvane::CharFunction(), trieOf(patterns, 0, patterns.size(), 0),
                               morvane::Exceptions(), left, right);
  });
  m.def("load_dictionary", [](const std::filesystem::path& file) {
    const py::gil_scoped_release release;
    return morvane::loadDictionary(file);
  });
  m.def("load_patterns", [](const std::vector<std::filesystem::path>& files) {
    const py::gil_scoped_release release;
    return morvane::loadPatterns(files);
  });
  m.attr("__version__") = std::string(morvane::version());
}
