#include "options.hpp"

#include <getopt.h>

#include <charconv>
#include <cstdio>
#include <string_view>

namespace morvane::tools {

const char* const kUsage =
    "usage: morvane-hyphenate [-l LANG | --dic FILE | --patterns FILE...] [--exceptions FILE]\n"
    "                         [--left-min N] [--right-min N] [--min-word-length N] [-s SEP]\n"
    "                         [--words | --text | --html | --xml] [-j N] [--stats] [WORD...]\n"
    "       morvane-hyphenate --width N [--justify] [--greedy] [-l LANG ...] < TEXT\n"
    "       morvane-hyphenate --list-languages | --help | --version\n";

const char* const kHelp =
    "Hyphenates the WORDs given, one line each, or standard input.\n"
    "\n"
    "  -l, --language=LANG   file code (en-us), name (English_US) or BCP 47 tag (de-CH);\n"
    "                        default en-us\n"
    "  -s, --separator=SEP   put at every break; default \"-\" for words, U+00AD SOFT HYPHEN\n"
    "                        for text and HTML (a middle dot on a terminal)\n"
    "      --words           every input line is hyphenated on its own; invalid lines are\n"
    "                        reported and copied\n"
    "      --text            hyphenates input as running text (the default without WORDs)\n"
    "      --html            hyphenates the text of an HTML or XHTML document, leaving its\n"
    "                        markup alone; lang attributes choose the language\n"
    "      --xml             the same, reading the document as XHTML\n"
    "      --dic=FILE        an office-suite hyphenation dictionary (hyph_*.dic) instead of\n"
    "                        the language; a WORD or --words line that is one word shows\n"
    "                        every break as the office suites' C library does, the spelling\n"
    "                        changed at non-standard ones (asz-szony-nyal)\n"
    "      --patterns=FILE   TeX patterns (hyph-*.tex) or a pattern line file (hyph-*.pat.txt,\n"
    "                        with the .hyp.txt beside it) instead of the language; repeatable\n"
    "      --exceptions=FILE words with hyphens at their breaks, a line each (or a TeX file's\n"
    "                        \\hyphenation), before those of the language or patterns;\n"
    "                        repeatable, the last first\n"
    "      --left-min=N      at least N letters before the first break\n"
    "      --right-min=N     at least N letters after the last break\n"
    "      --min-word-length=N  words of fewer than N letters are left alone\n"
    "      --width=N         sets the paragraphs of the text (blank-line separated) in lines\n"
    "                        of at most N columns, hyphenating where that makes them\n"
    "                        better, the breaks chosen for the whole paragraph at once;\n"
    "                        a paragraph's first-line indent is kept\n"
    "      --justify         with --width: lines but the last of a paragraph are padded to\n"
    "                        exactly N columns\n"
    "      --greedy          with --width: first fit, each line as full as it can be\n"
    "  -j, --threads=N       hyphenates text (--text, --words) and sets paragraphs (--width)\n"
    "                        with N threads, a quarter megabyte at a time; default one per\n"
    "                        processor, up to 8\n"
    "      --stats           words, bytes, seconds and words per second on standard error\n"
    "      --list-languages  one line per language: code, name, minimums and BCP 47 tags\n"
    "  -h, --help            this text\n"
    "      --version         the version\n"
    "\n"
    "Exit status: 0 on success, 1 on invalid input or an I/O error, 2 on a usage error.\n";

namespace {

int usageError(const std::string& message) {
  std::fprintf(stderr, "morvane-hyphenate: %s\n%s", message.c_str(), kUsage);
  return kUsageError;
}

/// The value of a numeric option: a whole number from 0 up.
std::optional<std::int64_t> count(const char* text) {
  const std::string_view digits(text);
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size() || value < 0) {
    return std::nullopt;
  }
  return value;
}

// More would only add memory: each thread keeps buffers of its own.
constexpr std::int64_t kMostThreads = 1024;

}  // namespace

std::variant<Options, int> parseOptions(int argc, char** argv) {
  enum : int {
    kWords = 256,
    kText,
    kHtml,
    kXml,
    kStats,
    kList,
    kVersion,
    kDic,
    kPatterns,
    kExceptions,
    kLeftMin,
    kRightMin,
    kMinWordLength,
    kWidth,
    kJustify,
    kGreedy
  };
  static const option kLong[] = {
      {"language", required_argument, nullptr, 'l'},
      {"separator", required_argument, nullptr, 's'},
      {"words", no_argument, nullptr, kWords},
      {"text", no_argument, nullptr, kText},
      {"html", no_argument, nullptr, kHtml},
      {"xml", no_argument, nullptr, kXml},
      {"stats", no_argument, nullptr, kStats},
      {"list-languages", no_argument, nullptr, kList},
      {"help", no_argument, nullptr, 'h'},
      {"version", no_argument, nullptr, kVersion},
      {"dic", required_argument, nullptr, kDic},
      {"patterns", required_argument, nullptr, kPatterns},
      {"exceptions", required_argument, nullptr, kExceptions},
      {"left-min", required_argument, nullptr, kLeftMin},
      {"right-min", required_argument, nullptr, kRightMin},
      {"min-word-length", required_argument, nullptr, kMinWordLength},
      {"width", required_argument, nullptr, kWidth},
      {"justify", no_argument, nullptr, kJustify},
      {"greedy", no_argument, nullptr, kGreedy},
      {"threads", required_argument, nullptr, 'j'},
      {nullptr, 0, nullptr, 0},
  };
  Options options;
  bool languageGiven = false;
  std::optional<Options::Mode> mode;
  std::optional<Options::Action> action;
  opterr = 0;  // reported here, with the usage
  optind = 1;
  // NOLINTNEXTLINE(concurrency-mt-unsafe): options are read before any thread starts
  for (int c; (c = getopt_long(argc, argv, ":l:s:j:h", kLong, nullptr)) != -1;) {
    switch (c) {
      case 'l':
        options.language = optarg;
        languageGiven = true;
        break;
      case kDic:
        options.dictionary = optarg;
        break;
      case kPatterns:
        options.patternFiles.emplace_back(optarg);
        break;
      case kExceptions:
        options.exceptionFiles.emplace_back(optarg);
        break;
      case kLeftMin:
      case kRightMin:
      case kMinWordLength:
      case kWidth:
      case 'j': {
        const auto value = count(optarg);
        const bool fromOne = c == kWidth || c == 'j';
        if (!value || (fromOne && *value == 0) || (c == 'j' && *value > kMostThreads)) {
          const char* name = c == kLeftMin    ? "--left-min"
                             : c == kRightMin ? "--right-min"
                             : c == kWidth    ? "--width"
                             : c == 'j'       ? "--threads"
                                              : "--min-word-length";
          return usageError(std::string(name) + " needs a whole number" +
                            (c == 'j'  ? " from 1 to " + std::to_string(kMostThreads)
                             : fromOne ? " from 1"
                                       : "") +
                            ", not \"" + optarg + "\"");
        }
        if (c == 'j') options.threads = static_cast<unsigned>(*value);
        if (c == kLeftMin) options.leftMin = *value;
        if (c == kRightMin) options.rightMin = *value;
        if (c == kMinWordLength) options.minWordLength = static_cast<std::size_t>(*value);
        if (c == kWidth) options.width = static_cast<std::size_t>(*value);
        break;
      }
      case kJustify:
        options.justify = true;
        break;
      case kGreedy:
        options.greedy = true;
        break;
      case 's':
        options.separator = optarg;
        break;
      case kWords:
      case kText:
      case kHtml:
      case kXml: {
        const Options::Mode m = c == kWords  ? Options::Mode::kWords
                                : c == kText ? Options::Mode::kText
                                : c == kHtml ? Options::Mode::kHtml
                                             : Options::Mode::kXhtml;
        if (mode && *mode != m) {
          return usageError("--words, --text, --html and --xml exclude each other");
        }
        mode = m;
        break;
      }
      case kStats:
        options.stats = true;
        break;
      case kList:
        action = Options::Action::kListLanguages;
        break;
      case 'h':
        action = Options::Action::kHelp;
        break;
      case kVersion:
        action = Options::Action::kVersion;
        break;
      case ':':
        return usageError(std::string(argv[optind - 1]) + " needs a value");
      default:
        return usageError(optopt != 0
                              ? "unknown option -" + std::string(1, static_cast<char>(optopt))
                              : "unknown option " + std::string(argv[optind - 1]));
    }
  }
  for (int i = optind; i < argc; ++i) options.words.emplace_back(argv[i]);
  if (static_cast<int>(languageGiven) + static_cast<int>(options.dictionary.has_value()) +
          static_cast<int>(!options.patternFiles.empty()) >
      1) {
    return usageError("--language, --dic and --patterns exclude each other");
  }
  if (action) {
    options.action = *action;
    return options;
  }
  if ((options.justify || options.greedy) && !options.width) {
    return usageError("--justify and --greedy set lines: they need --width");
  }
  if (options.width && (!options.words.empty() || (mode && *mode != Options::Mode::kText))) {
    return usageError("--width sets the paragraphs of standard input as text");
  }
  if (!options.words.empty()) {
    if (mode) return usageError("words come either as arguments or from standard input, not both");
    options.mode = Options::Mode::kArguments;
  } else {
    options.mode = mode.value_or(Options::Mode::kText);
  }
  return options;
}

}  // namespace morvane::tools
