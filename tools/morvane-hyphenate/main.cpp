// morvane-hyphenate: hyphenates words, running text or HTML from the command line.

#include <unistd.h>

#include <cstdio>
#include <string>
#include <variant>

#include "morvane/morvane.hpp"
#include "options.hpp"
#include "output.hpp"
#include "stats.hpp"
#include "utf8_check.hpp"

namespace {

using morvane::tools::Input;
using morvane::tools::kFailure;
using morvane::tools::kOk;
using morvane::tools::kUsageError;
using morvane::tools::Options;
using morvane::tools::Output;
using morvane::tools::Stats;
using morvane::tools::Utf8LineCheck;

/// The separator when none is given: "-" between the pieces of words; in
/// text and HTML an invisible soft hyphen, made visible (a middle dot) for a
/// reader at a terminal.
std::string separatorFor(const Options& options) {
  if (options.separator) return *options.separator;
  if (options.mode == Options::Mode::kArguments || options.mode == Options::Mode::kWords) {
    return "-";
  }
  return isatty(1) != 0 ? "\u00B7" : "\u00AD";
}

int listLanguages(Output& out) {
  for (const morvane::Language language : morvane::enumFrom(morvane::kFirstLanguage)) {
    const morvane::Hyphenator& h = morvane::languageHyphenator(language);
    std::string tags;
    for (const std::string_view tag : morvane::languageTags(language)) {
      tags += tags.empty() ? "" : " ";
      tags += tag;
    }
    char line[128];
    std::snprintf(line, sizeof line, "%-15s %-23s %lld %lld  ",
                  std::string(morvane::languageAffix(language)).c_str(),
                  morvane::show(language).c_str(),
                  static_cast<long long>(morvane::hyphenatorLeftMin(h)),
                  static_cast<long long>(morvane::hyphenatorRightMin(h)));
    out.write(line);
    out.write(tags);
    out.write("\n");
  }
  return kOk;
}

/// Every WORD on a line of its own, hyphenated as text: its hyphens stay
/// breaks, and a WORD with spaces is a short text.
int hyphenateArguments(const morvane::Hyphenator& h, const Options& options, Output& out,
                       Stats& stats) {
  const std::string separator = separatorFor(options);
  int status = kOk;
  for (std::size_t i = 0; i < options.words.size(); ++i) {
    const std::string& word = options.words[i];
    Utf8LineCheck check("argument", i + 1);
    check.feed(word);
    check.finish();
    if (check.failed()) status = kFailure;
    std::string line;
    stats.add(morvane::appendHyphenatedText(h, word, separator, line), word.size());
    line += '\n';
    out.write(line);
  }
  return status;
}

/// Standard input through a stream that writes to `out`; in word mode every
/// line is checked, and lines that are not UTF-8 are reported (and copied).
template <class Stream>
int hyphenateInput(Stream& stream, bool checkLines, Stats& stats) {
  Input input;
  Utf8LineCheck check("line");
  std::size_t words = 0;
  for (std::string_view block = input.next(); !block.empty(); block = input.next()) {
    if (checkLines) check.feed(block);
    stream.write(block);
    stats.add(stream.words() - words, block.size());
    words = stream.words();
  }
  stream.finish();
  stats.add(stream.words() - words, 0);
  if (checkLines) check.finish();
  return input.failed() || check.failed() ? kFailure : kOk;
}

int hyphenate(const morvane::Hyphenator& h, const Options& options, Output& out, Stats& stats) {
  const auto write = [&out](std::string_view bytes) { out.write(bytes); };
  switch (options.mode) {
    case Options::Mode::kArguments:
      return hyphenateArguments(h, options, out, stats);
    case Options::Mode::kWords:
    case Options::Mode::kText: {
      morvane::TextStream stream(h, separatorFor(options), write);
      return hyphenateInput(stream, options.mode == Options::Mode::kWords, stats);
    }
    case Options::Mode::kHtml:
    case Options::Mode::kXhtml: {
      morvane::HtmlOptions html;
      html.separator = separatorFor(options);
      if (options.mode == Options::Mode::kXhtml) html.syntax = morvane::HtmlOptions::Syntax::Xhtml;
      morvane::HtmlStream stream(h, html, write);
      return hyphenateInput(stream, false, stats);
    }
  }
  return kOk;
}

}  // namespace

int main(int argc, char** argv) {
  const auto parsed = morvane::tools::parseOptions(argc, argv);
  if (const int* status = std::get_if<int>(&parsed)) return *status;
  const auto& options = std::get<Options>(parsed);

  Output out;
  int status = kOk;
  switch (options.action) {
    case Options::Action::kHelp:
      out.write(morvane::tools::kUsage);
      out.write("\n");
      out.write(morvane::tools::kHelp);
      break;
    case Options::Action::kVersion:
      out.write("morvane-hyphenate " + std::string(morvane::version()) + "\n");
      break;
    case Options::Action::kListLanguages:
      status = listLanguages(out);
      break;
    case Options::Action::kHyphenate: {
      const auto language = morvane::findLanguage(options.language);
      if (!language) {
        std::fprintf(stderr,
                     "morvane-hyphenate: unknown language \"%s\"; morvane-hyphenate "
                     "--list-languages shows the valid ones\n",
                     options.language.c_str());
        return kUsageError;
      }
      Stats stats(options.stats);
      try {
        status = hyphenate(morvane::languageHyphenator(*language), options, out, stats);
      } catch (const std::exception& e) {
        std::fprintf(stderr, "morvane-hyphenate: %s\n", e.what());
        status = kFailure;
      }
      stats.report();
      break;
    }
  }
  if (!out.finish()) status = kFailure;
  return status;
}
