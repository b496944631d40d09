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

#include "formats/pyphen_dictionary.hpp"
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
  using morvane::detail::PyphenDictionary;
  py::class_<PyphenDictionary>(m, "PyphenDictionary")
      .def(py::init([](const std::filesystem::path& file) {
        const py::gil_scoped_release release;
        return morvane::detail::loadPyphenDictionary(file.string());
      }))
      .def("engine", &PyphenDictionary::hyphenator)
      .def_property_readonly("has_changes", &PyphenDictionary::hasChanges)
      .def("changes", [](const PyphenDictionary& d, const std::u32string& word,
                         const std::vector<std::size_t>& positions) {
        py::list out;
        for (const auto& change : d.changesAt(word, positions)) {
          if (change) {
            out.append(py::make_tuple(change->replacement, change->index, change->cut));
          } else {
            out.append(py::none());
          }
        }
        return out;
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
