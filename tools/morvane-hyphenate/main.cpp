// morvane-hyphenate: hyphenates words, running text or HTML from the command line.

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>

#include "morvane/morvane.hpp"
#include "options.hpp"
#include "output.hpp"
#include "parallel_text.hpp"
#include "reformat.hpp"
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

/// True for a line that is one word, nothing around it.
bool isOneWord(std::string_view line) {
  return !line.empty() && line.find_first_of(" \t\r\n\f\v") == std::string_view::npos;
}

/// `word` as a line of word output: with an office dictionary, a single word
/// shows every break as its C library does, the spelling changed where it
/// changes; anything else is hyphenated as text, its hyphens staying breaks.
std::size_t appendWordLine(const morvane::Hyphenator& h, bool spelled, std::string_view word,
                           const std::string& separator, std::string& line) {
  if (spelled && isOneWord(word)) {
    try {
      line += morvane::spellBreaks(h, word, separator);
      return 1;
    } catch (const morvane::Error&) {
      // Not UTF-8: copied as text copies it (the line is reported).
    }
  }
  return morvane::appendHyphenatedText(h, word, separator, line);
}

/// Every WORD on a line of its own; a WORD with spaces is a short text.
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
    stats.add(appendWordLine(h, options.dictionary.has_value(), word, separator, line),
              word.size());
    line += '\n';
    out.write(line);
  }
  return status;
}

/// Standard input a line at a time, each spelled as a word (office
/// dictionaries in word mode). A line longer than any word is text: it
/// streams through as text does, so that memory stays bounded.
int spellLines(const morvane::Hyphenator& h, const Options& options, Output& out, Stats& stats) {
  const std::string separator = separatorFor(options);
  Input input;
  Utf8LineCheck check("line");
  std::string pending;
  std::string line;
  std::optional<morvane::TextStream> longLine;
  const auto flush = [&](std::string_view text, bool newline) {
    line.clear();
    stats.add(appendWordLine(h, true, text, separator, line), text.size() + (newline ? 1 : 0));
    if (newline) line += '\n';
    out.write(line);
  };
  const auto endLongLine = [&](bool newline) {
    longLine->finish();
    stats.add(longLine->words(), 0);
    longLine.reset();
    if (newline) out.write("\n");
  };
  for (std::string_view block = input.next(); !block.empty(); block = input.next()) {
    check.feed(block);
    stats.add(0, longLine ? block.size() : 0);
    for (std::size_t newline; (newline = block.find('\n')) != std::string_view::npos;) {
      if (longLine) {
        longLine->write(block.substr(0, newline));
        endLongLine(true);
      } else {
        pending.append(block.substr(0, newline));
        flush(pending, true);
        pending.clear();
      }
      block.remove_prefix(newline + 1);
    }
    if (longLine) {
      longLine->write(block);
      continue;
    }
    pending.append(block);
    if (pending.size() > morvane::kLongestRun) {
      longLine.emplace(h, separator, [&out](std::string_view bytes) { out.write(bytes); });
      stats.add(0, pending.size());
      longLine->write(pending);
      pending = std::string();
    }
  }
  if (longLine) {
    endLongLine(false);
  } else if (!pending.empty()) {
    flush(pending, false);
  }
  check.finish();
  return input.failed() || check.failed() ? kFailure : kOk;
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

/// The language's hyphenator, or one from the files given, with the
/// exceptions and minimums asked for. Throws `Error` naming what is wrong
/// in a file.
morvane::Hyphenator hyphenatorFor(const Options& options,
                                  std::optional<morvane::Language> language) {
  const morvane::LoadOptions minimums{.leftMin = options.leftMin, .rightMin = options.rightMin};
  morvane::Hyphenator h =
      language ? morvane::languageHyphenator(*language)
      : options.dictionary
          ? morvane::loadDictionary(*options.dictionary, minimums)
          : morvane::loadPatterns(std::vector<std::filesystem::path>(options.patternFiles.begin(),
                                                                     options.patternFiles.end()),
                                  minimums);
  if (language && (options.leftMin || options.rightMin)) {
    h = morvane::withMinimums(h, options.leftMin.value_or(morvane::hyphenatorLeftMin(h)),
                              options.rightMin.value_or(morvane::hyphenatorRightMin(h)));
  }
  for (const std::string& file : options.exceptionFiles) h = morvane::loadExceptions(h, file);
  if (options.minWordLength) h = morvane::withMinWordLength(h, *options.minWordLength);
  return h;
}

int hyphenate(const morvane::Hyphenator& h, const Options& options, Output& out, Stats& stats) {
  const auto write = [&out](std::string_view bytes) { out.write(bytes); };
  const unsigned threads = options.threads.value_or(
      std::min(morvane::tools::availableProcessors(), morvane::tools::kDefaultMostThreads));
  if (options.width) return morvane::tools::reformatInput(h, options, threads, out, stats);
  switch (options.mode) {
    case Options::Mode::kArguments:
      return hyphenateArguments(h, options, out, stats);
    case Options::Mode::kWords:
      if (options.dictionary) return spellLines(h, options, out, stats);
      [[fallthrough]];
    case Options::Mode::kText: {
      const bool checkLines = options.mode == Options::Mode::kWords;
      if (threads > 1) {
        morvane::tools::ParallelTextStream stream(h, separatorFor(options), threads, out);
        return hyphenateInput(stream, checkLines, stats);
      }
      morvane::TextStream stream(h, separatorFor(options), write);
      return hyphenateInput(stream, checkLines, stats);
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

int run(const Options& options, Output& out) {
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
      std::optional<morvane::Language> language;
      if (!options.dictionary && options.patternFiles.empty()) {
        language = morvane::findLanguage(options.language);
        if (!language) {
          std::fprintf(stderr,
                       "morvane-hyphenate: unknown language \"%s\"; morvane-hyphenate "
                       "--list-languages shows the valid ones\n",
                       options.language.c_str());
          return kUsageError;
        }
      }
      Stats stats(options.stats);
      try {
        status = hyphenate(hyphenatorFor(options, language), options, out, stats);
      } catch (const std::exception& e) {
        std::fprintf(stderr, "morvane-hyphenate: %s\n", e.what());
        status = kFailure;
      }
      stats.report();
      break;
    }
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const auto parsed = morvane::tools::parseOptions(argc, argv);
  if (const int* status = std::get_if<int>(&parsed)) return *status;
  const auto& options = std::get<Options>(parsed);

  Output out;
  int status = kOk;
  try {
    status = run(options, out);
  } catch (const morvane::tools::OutputFailed&) {
    return kFailure;  // reported where it failed
  }
  if (!out.finish()) status = kFailure;
  return status;
}
