#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace morvane::tools {

inline constexpr int kOk = 0;
inline constexpr int kFailure = 1;
inline constexpr int kUsageError = 2;

/// What the command line asks for.
struct Options {
  enum class Mode { kArguments, kWords, kText, kHtml, kXhtml };
  enum class Action { kHyphenate, kListLanguages, kHelp, kVersion };

  Action action = Action::kHyphenate;
  Mode mode = Mode::kText;
  std::string language = "en-us";
  std::optional<std::string> separator;
  bool stats = false;
  std::vector<std::string> words;
  // Patterns of the user's own instead of the language's, and changes.
  std::optional<std::string> dictionary;
  std::vector<std::string> patternFiles;
  std::vector<std::string> exceptionFiles;
  std::optional<std::int64_t> leftMin;
  std::optional<std::int64_t> rightMin;
  std::optional<std::size_t> minWordLength;
  // Paragraphs set in lines of `width` columns.
  std::optional<std::size_t> width;
  bool justify = false;
  bool greedy = false;
  // Threads for running text; when not given, one per processor.
  std::optional<unsigned> threads;
};

/// The options, or the exit status of a usage error (already reported).
std::variant<Options, int> parseOptions(int argc, char** argv);

/// The usage lines and the help text.
extern const char* const kUsage;
extern const char* const kHelp;

}  // namespace morvane::tools
