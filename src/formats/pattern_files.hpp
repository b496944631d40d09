#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "morvane/files.hpp"
#include "morvane/hyphenator.hpp"

namespace morvane::detail {

/// What pattern files give, gathered across files: patterns and exceptions
/// as written, and the minimums the first file names.
struct PatternFileContent {
  std::vector<std::u32string> patterns;
  std::vector<std::u32string> exceptions;
  std::optional<std::int64_t> leftMin;
  std::optional<std::int64_t> rightMin;
  // Where each pattern's letters were first given, for the error that
  // names a second.
  std::unordered_map<std::u32string, std::string> patternPlaces;

  /// Adds a pattern as a file writes it, or throws `fileError`.
  void addPattern(std::u32string_view pattern, std::string_view name, std::size_t line);
  /// Adds an exception as a file writes it, or throws `fileError`.
  void addException(std::u32string_view word, std::string_view name, std::size_t line);
};

/// The files `\input` reads while one set of patterns is read: each read
/// once (a second `\input` of it reads nothing), no more than kMostBytes in
/// all, and only files beside the file that names them or in folders below
/// it, unless `anywhere`.
class TexInputs {
 public:
  explicit TexInputs(bool anywhere) : anywhere_(anywhere) {}

  static constexpr std::size_t kMostBytes = std::size_t{1} << 26;

  /// Notes a file read otherwise (one named by the caller), so that an
  /// `\input` of it reads nothing.
  void note(const std::string& path);
  /// The file `\input` names in `from` (".tex" added when it has no
  /// extension and is not found without): its bytes and the name errors
  /// give it, or nothing when it has been read already. Throws `Error`
  /// saying what is wrong (the caller adds where the `\input` is).
  std::optional<std::pair<std::string, std::string>> read(std::u32string_view file,
                                                          std::string_view from);

 private:
  bool anywhere_;
  std::size_t bytes_ = 0;
  std::vector<std::string> read_;  // canonical paths
};

/// Adds what a TeX pattern file gives to `content`; `input` reads the
/// files of `\input` (null: an `\input` is an error). Throws `Error`
/// "NAME:LINE: what" for what is malformed.
void readTex(std::string_view bytes, std::string_view name, PatternFileContent& content,
             TexInputs* input, int depth = 0);

/// Adds the patterns of a line file (one a line, as `hyph-CODE.pat.txt`).
void readPatternLines(std::string_view bytes, std::string_view name, PatternFileContent& content);

/// Adds the exceptions of a line file (a word a line with hyphens at its
/// breaks, as `hyph-CODE.hyp.txt`).
void readExceptionLines(std::string_view bytes, std::string_view name, PatternFileContent& content);

/// A hyphenator of `content`: capitals map to the letters it uses; the
/// minimums are the options', else the files', else TeX's 2 and 3.
[[nodiscard]] Hyphenator hyphenatorOf(const PatternFileContent& content,
                                      const LoadOptions& options);

/// The bytes of a file, unpacked when its name ends in ".gz".
[[nodiscard]] std::string readPatternFile(const std::string& path);

}  // namespace morvane::detail
