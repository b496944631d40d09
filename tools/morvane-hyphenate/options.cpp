#include "options.hpp"

#include <getopt.h>

#include <cstdio>
#include <string_view>

namespace morvane::tools {

const char* const kUsage =
    "usage: morvane-hyphenate [-l LANG] [-s SEP] [--words | --text | --html | --xml] [--stats]\n"
    "                         [WORD...]\n"
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

}  // namespace

std::variant<Options, int> parseOptions(int argc, char** argv) {
  enum : int { kWords = 256, kText, kHtml, kXml, kStats, kList, kVersion };
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
      {nullptr, 0, nullptr, 0},
  };
  Options options;
  std::optional<Options::Mode> mode;
  std::optional<Options::Action> action;
  opterr = 0;  // reported here, with the usage
  optind = 1;
  // NOLINTNEXTLINE(concurrency-mt-unsafe): options are read before any thread starts
  for (int c; (c = getopt_long(argc, argv, ":l:s:h", kLong, nullptr)) != -1;) {
    switch (c) {
      case 'l':
        options.language = optarg;
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
  if (action) {
    options.action = *action;
    return options;
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
