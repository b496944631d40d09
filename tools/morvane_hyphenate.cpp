// morvane-hyphenate: hyphenates words or running text from the command line.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "morvane/morvane.hpp"
#include "text_stream.hpp"

namespace {

constexpr int kOk = 0;
constexpr int kFailure = 1;
constexpr int kUsageError = 2;

constexpr const char* kUsage =
    "usage: morvane-hyphenate [-l LANG] [-s SEP] [--words | --text] [--stats] [WORD...]\n"
    "       morvane-hyphenate --list-languages | --help | --version\n";

constexpr const char* kHelp =
    "Hyphenates the WORDs given, one line each, or standard input.\n"
    "\n"
    "  -l, --language LANG  file code (en-us), name (English_US) or BCP 47 tag (de-CH);\n"
    "                       default en-us\n"
    "  -s, --separator SEP  put between pieces; default \"-\" for words, U+00AD SOFT HYPHEN\n"
    "                       for --text\n"
    "      --words          every input line is one word; prints its pieces joined by SEP\n"
    "      --text           hyphenates input as running text (the default without WORDs)\n"
    "      --stats          words, bytes, seconds and words per second on standard error\n"
    "      --list-languages one line per language: code, name, left and right minimum\n"
    "      --help           this text\n"
    "      --version        the version\n"
    "\n"
    "Exit status: 0 on success, 1 on invalid input or an I/O error, 2 on a usage error.\n";

struct Options {
  std::string language = "en-us";
  std::optional<std::string> separator;
  enum class Mode { Unset, Words, Text } mode = Mode::Unset;
  bool stats = false;
  std::vector<std::string> words;
};

/// Counts and reports what went through, with a progress line every second
/// when standard error is a terminal.
class Stats {
 public:
  explicit Stats(bool enabled) : enabled_(enabled), progress_(enabled && isatty(2) != 0) {}

  void add(std::size_t words, std::size_t bytes) {
    words_ += words;
    bytes_ += bytes;
    if (!progress_) return;
    const auto now = Clock::now();
    if (now - lastProgress_ >= std::chrono::seconds(1)) {
      lastProgress_ = now;
      std::fprintf(stderr, "\r%zu words, %zu bytes...", words_, bytes_);
    }
  }

  void report() const {
    if (!enabled_) return;
    const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    std::fprintf(stderr, "%swords: %zu\nbytes: %zu\nseconds: %.3f\nwords per second: %.0f\n",
                 progress_ ? "\r" : "", words_, bytes_, seconds,
                 seconds > 0 ? static_cast<double>(words_) / seconds : 0.0);
  }

 private:
  using Clock = std::chrono::steady_clock;
  bool enabled_;
  bool progress_;
  std::size_t words_ = 0;
  std::size_t bytes_ = 0;
  Clock::time_point start_ = Clock::now();
  Clock::time_point lastProgress_ = start_;
};

bool writeOut(std::string_view bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
}

int usageError(const std::string& message) {
  std::cerr << "morvane-hyphenate: " << message << "\n" << kUsage;
  return kUsageError;
}

int listLanguages() {
  for (const morvane::Language language : morvane::enumFrom(morvane::kFirstLanguage)) {
    const morvane::Hyphenator& h = morvane::languageHyphenator(language);
    std::printf("%-15s %-23s %lld %lld\n", std::string(morvane::languageAffix(language)).c_str(),
                morvane::show(language).c_str(),
                static_cast<long long>(morvane::hyphenatorLeftMin(h)),
                static_cast<long long>(morvane::hyphenatorRightMin(h)));
  }
  return kOk;
}

/// Writes `word` with `separator` at its breaks and a line feed. Invalid
/// UTF-8 is reported, naming `where`, after everything before it was written.
bool writeWord(const morvane::Hyphenator& h, std::string_view word, std::string_view separator,
               const std::string& where) {
  try {
    return writeOut(morvane::insertHyphens(h, word, separator) + "\n");
  } catch (const morvane::Error& e) {
    std::fflush(stdout);
    std::cerr << "morvane-hyphenate: " << where << ": " << e.what() << "\n";
    return false;
  }
}

int hyphenateArguments(const morvane::Hyphenator& h, const Options& options, Stats& stats) {
  const std::string separator = options.separator.value_or("-");
  for (const std::string& word : options.words) {
    if (!writeWord(h, word, separator, "argument \"" + word + "\"")) return kFailure;
    stats.add(1, word.size());
  }
  return kOk;
}

int hyphenateLines(const morvane::Hyphenator& h, const Options& options, Stats& stats) {
  const std::string separator = options.separator.value_or("-");
  std::string line;
  std::size_t number = 0;
  while (true) {
    line.clear();
    int c = 0;
    while ((c = std::getchar()) != EOF && c != '\n') line.push_back(static_cast<char>(c));
    if (c == EOF && line.empty()) break;
    ++number;
    if (!writeWord(h, line, separator, "line " + std::to_string(number))) return kFailure;
    stats.add(1, line.size() + (c == '\n' ? 1 : 0));
    if (c == EOF) break;
  }
  return std::ferror(stdin) != 0 ? kFailure : kOk;
}

int hyphenateStream(const morvane::Hyphenator& h, const Options& options, Stats& stats) {
  const std::string separator = options.separator.value_or("\u00AD");
  constexpr std::size_t kBlock = std::size_t{1} << 16;
  constexpr std::size_t kLongestRun = std::size_t{1} << 20;
  std::string pending;
  std::string out;
  std::vector<char> block(kBlock);
  bool atEnd = false;
  while (!atEnd) {
    const std::size_t got = std::fread(block.data(), 1, block.size(), stdin);
    if (got < block.size()) {
      if (std::ferror(stdin) != 0) {
        std::cerr << "morvane-hyphenate: cannot read standard input\n";
        return kFailure;
      }
      atEnd = true;
    }
    pending.append(block.data(), got);
    const std::size_t cut = morvane::tools::safeCut(pending, kLongestRun, atEnd);
    if (cut == 0) continue;
    out.clear();
    const std::size_t words =
        morvane::appendHyphenatedText(h, std::string_view(pending).substr(0, cut), separator, out);
    if (!writeOut(out)) return kFailure;
    stats.add(words, cut);
    pending.erase(0, cut);
  }
  return kOk;
}

/// Parses the command line; returns an exit status when the run ends here.
std::optional<int> parse(int argc, char** argv, Options& options) {
  bool onlyWords = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= argc) return std::nullopt;
      return std::string(argv[++i]);
    };
    if (onlyWords || arg.empty() || arg[0] != '-' || arg == "-") {
      options.words.emplace_back(arg);
    } else if (arg == "--") {
      onlyWords = true;
    } else if (arg == "-l" || arg == "--language") {
      auto v = value();
      if (!v) return usageError(std::string(arg) + " needs a language");
      options.language = *v;
    } else if (arg == "-s" || arg == "--separator") {
      auto v = value();
      if (!v) return usageError(std::string(arg) + " needs a separator");
      options.separator = *v;
    } else if (arg == "--words" || arg == "--text") {
      const auto mode = arg == "--words" ? Options::Mode::Words : Options::Mode::Text;
      if (options.mode != Options::Mode::Unset && options.mode != mode) {
        return usageError("--words and --text exclude each other");
      }
      options.mode = mode;
    } else if (arg == "--stats") {
      options.stats = true;
    } else if (arg == "--list-languages") {
      return listLanguages();
    } else if (arg == "--help" || arg == "-h") {
      std::cout << kUsage << "\n" << kHelp;
      return kOk;
    } else if (arg == "--version") {
      std::cout << "morvane-hyphenate " << morvane::version() << "\n";
      return kOk;
    } else {
      return usageError("unknown option " + std::string(arg));
    }
  }
  if (!options.words.empty() && options.mode != Options::Mode::Unset) {
    return usageError("words come either as arguments or from standard input, not both");
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const auto status = parse(argc, argv, options)) return *status;

  const auto language = morvane::findLanguage(options.language);
  if (!language) {
    std::cerr << "morvane-hyphenate: unknown language \"" << options.language
              << "\"; morvane-hyphenate --list-languages shows the valid ones\n";
    return kUsageError;
  }
  const morvane::Hyphenator& h = morvane::languageHyphenator(*language);
  Stats stats(options.stats);
  int status = kOk;
  try {
    if (!options.words.empty()) {
      status = hyphenateArguments(h, options, stats);
    } else if (options.mode == Options::Mode::Words) {
      status = hyphenateLines(h, options, stats);
    } else {
      status = hyphenateStream(h, options, stats);
    }
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::cerr << "morvane-hyphenate: " << e.what() << "\n";
    status = kFailure;
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    std::cerr << "morvane-hyphenate: cannot write standard output\n";
    status = kFailure;
  }
  stats.report();
  return status;
}
